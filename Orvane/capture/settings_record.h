#pragma once
// The one settings record of every capture: capture, decode, filter, trigger
// and display settings, 466 bytes, stored byte for byte in the header of
// every sampling data file. The in-memory layout is the file layout.

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "Orvane/capture/little_endian.h"

namespace orvane {

struct SettingsRecord {
  uint8_t m_AnalyzeBusChannel;   // 0 SPI, 1 I2C #0 (main), 2 I2C #1 (sub)
  uint8_t SamplePeriodCode;      // 2 = 50 MHz, 5 = 20 MHz, 10 = 10 MHz
  uint8_t PowerSupply;           // 0 off, 1 1.8 V, 2 2.5 V, 3 3.3 V, 4 5.0 V
  uint8_t FreeRun;               // 0 oneshot, 1 free run
  uint8_t NoiseFilter;           // 0 none, 1..3 = 2..4-clock filter
  uint8_t ForcedDisplay;         // waveform-only mode
  uint8_t MonitorMode;           // 0 bus analyzer, 1 monitor
  uint8_t DriverBufferSize;      // MB
  le_u32 m_sizeSamplingBuf;      // bytes
  uint8_t SpiSamplingEdge;       // 1 SCLK rising, 2 falling
  uint8_t SpiSsMode;             // 0 not monitored, 1 active LOW, 2 active HIGH
  uint8_t SpiBitFlags;           // bit 0 MSB first, bit 7 ignore first clock edge
  le_u32 SpiSclkTimeout;         // ms, 0 none
  le_u32 SpiDataLength;          // bytes per transaction
  // I2C timing limits in 10 ns units.
  le_u32 tHD_STA;
  le_u32 tSU_STA;
  le_u32 tSU_STO;
  le_u32 tBUF;
  le_u32 tLOW;
  le_u32 tHIGH;
  le_u32 tHD_DAT;                // maximum
  le_u32 tSU_DAT;
  uint8_t IgnoreNackBeforeStop;
  uint8_t TrgInEnable;
  uint8_t TrgInLevels;
  uint8_t TrgInEnables;
  uint8_t TriggerEnable;
  uint8_t reserved60;
  le_u16 TriggerPosition;        // percent recorded after the trigger
  uint8_t reserved63[2];
  uint8_t DataPatternEnable;
  uint8_t DataLength;            // 1..8
  uint8_t DataPattern[8];
  uint8_t DataMask[8];
  uint8_t reserved83[4];
  uint8_t AddressEnable;
  uint8_t AddressCondition;      // 0 equal, 1 not equal
  uint8_t Address10Bit;
  le_u16 AddressValue;
  le_u16 AddressMask;
  uint8_t reserved94[6];
  uint8_t SubAddressEnable;
  uint8_t SubAddressCondition;
  uint8_t SubAddressLength;      // 1..4
  uint8_t SubAddressData[4];
  uint8_t SubAddressMask[4];
  uint8_t reserved111[6];
  uint8_t NackDetect;
  uint8_t reserved118[2];
  uint8_t DataOp;                // 0 OR, 1 AND
  uint8_t AddressOp;
  uint8_t NackOp;
  uint8_t TrgOutEnable;
  uint8_t TrgOutAddressEnable;
  uint8_t TrgOut10Bit;
  le_u16 TrgOutAddress;
  uint8_t TrgOutSubAddressEnable;
  uint8_t TrgOutSubAddressLength;  // 1..4
  uint8_t TrgOutSubAddressData[4];
  uint8_t TrgOutNackIgnore;
  le_u16 ForcedDisplayWindow;    // ms
  uint8_t FilterEnable;
  uint8_t FilterRangeEnable;
  le_u32 FilterRangeStart;
  le_u32 FilterRangeEnd;
  uint8_t FilterSubAddressEnable;
  uint8_t FilterSubAddressLength;  // 1..4
  uint8_t FilterSubAddressData[4];
  uint8_t FilterSubAddressMask[4];
  uint8_t FilterAddressEnable;
  uint8_t FilterAddress10Bit;
  le_u16 FilterAddressValue;
  le_u16 FilterAddressMask;
  uint8_t FilterRead;
  uint8_t FilterWrite;
  uint8_t FilterFromSubAddress;
  uint8_t FilterFromWrite;
  uint8_t FilterWriteForRead;
  uint8_t FilterOmitWriteForRead;
  uint8_t FilterChangesOnly;
  uint8_t reserved170[4];
  uint8_t HsMarker;              // 'H' when the HS limits below are present
  uint8_t HsEnable;
  le_u32 tHD_STA_HS;
  le_u32 tSU_STA_HS;
  le_u32 tSU_STO_HS;
  le_u32 reserved188;            // there is no HS bus free time
  le_u32 tLOW_HS;
  le_u32 tHIGH_HS;
  le_u32 tHD_DAT_HS;
  le_u32 tSU_DAT_HS;
  uint8_t reserved208[258];
};

inline constexpr size_t kSettingsRecordSize = 466;
inline constexpr uint8_t kHsMarker = 'H';

// A record with every default of a new application.
SettingsRecord DefaultSettingsRecord();

// Repairs a record just read from a file: masks and lengths that cannot be
// right are reset, and a record written before the HS limits existed gets
// the HS defaults with HS mode off.
void RepairLoadedSettings(SettingsRecord& record);

#define ORVANE_SETTINGS_OFFSET(field, offset) \
  static_assert(offsetof(SettingsRecord, field) == (offset), #field " offset")
ORVANE_SETTINGS_OFFSET(m_AnalyzeBusChannel, 0);
ORVANE_SETTINGS_OFFSET(SamplePeriodCode, 1);
ORVANE_SETTINGS_OFFSET(PowerSupply, 2);
ORVANE_SETTINGS_OFFSET(FreeRun, 3);
ORVANE_SETTINGS_OFFSET(NoiseFilter, 4);
ORVANE_SETTINGS_OFFSET(ForcedDisplay, 5);
ORVANE_SETTINGS_OFFSET(MonitorMode, 6);
ORVANE_SETTINGS_OFFSET(DriverBufferSize, 7);
ORVANE_SETTINGS_OFFSET(m_sizeSamplingBuf, 8);
ORVANE_SETTINGS_OFFSET(SpiSamplingEdge, 12);
ORVANE_SETTINGS_OFFSET(SpiSsMode, 13);
ORVANE_SETTINGS_OFFSET(SpiBitFlags, 14);
ORVANE_SETTINGS_OFFSET(SpiSclkTimeout, 15);
ORVANE_SETTINGS_OFFSET(SpiDataLength, 19);
ORVANE_SETTINGS_OFFSET(tHD_STA, 23);
ORVANE_SETTINGS_OFFSET(tSU_STA, 27);
ORVANE_SETTINGS_OFFSET(tSU_STO, 31);
ORVANE_SETTINGS_OFFSET(tBUF, 35);
ORVANE_SETTINGS_OFFSET(tLOW, 39);
ORVANE_SETTINGS_OFFSET(tHIGH, 43);
ORVANE_SETTINGS_OFFSET(tHD_DAT, 47);
ORVANE_SETTINGS_OFFSET(tSU_DAT, 51);
ORVANE_SETTINGS_OFFSET(IgnoreNackBeforeStop, 55);
ORVANE_SETTINGS_OFFSET(TrgInEnable, 56);
ORVANE_SETTINGS_OFFSET(TrgInLevels, 57);
ORVANE_SETTINGS_OFFSET(TrgInEnables, 58);
ORVANE_SETTINGS_OFFSET(TriggerEnable, 59);
ORVANE_SETTINGS_OFFSET(TriggerPosition, 61);
ORVANE_SETTINGS_OFFSET(DataPatternEnable, 65);
ORVANE_SETTINGS_OFFSET(DataLength, 66);
ORVANE_SETTINGS_OFFSET(DataPattern, 67);
ORVANE_SETTINGS_OFFSET(DataMask, 75);
ORVANE_SETTINGS_OFFSET(AddressEnable, 87);
ORVANE_SETTINGS_OFFSET(AddressCondition, 88);
ORVANE_SETTINGS_OFFSET(Address10Bit, 89);
ORVANE_SETTINGS_OFFSET(AddressValue, 90);
ORVANE_SETTINGS_OFFSET(AddressMask, 92);
ORVANE_SETTINGS_OFFSET(SubAddressEnable, 100);
ORVANE_SETTINGS_OFFSET(SubAddressCondition, 101);
ORVANE_SETTINGS_OFFSET(SubAddressLength, 102);
ORVANE_SETTINGS_OFFSET(SubAddressData, 103);
ORVANE_SETTINGS_OFFSET(SubAddressMask, 107);
ORVANE_SETTINGS_OFFSET(NackDetect, 117);
ORVANE_SETTINGS_OFFSET(DataOp, 120);
ORVANE_SETTINGS_OFFSET(AddressOp, 121);
ORVANE_SETTINGS_OFFSET(NackOp, 122);
ORVANE_SETTINGS_OFFSET(TrgOutEnable, 123);
ORVANE_SETTINGS_OFFSET(TrgOutAddressEnable, 124);
ORVANE_SETTINGS_OFFSET(TrgOut10Bit, 125);
ORVANE_SETTINGS_OFFSET(TrgOutAddress, 126);
ORVANE_SETTINGS_OFFSET(TrgOutSubAddressEnable, 128);
ORVANE_SETTINGS_OFFSET(TrgOutSubAddressLength, 129);
ORVANE_SETTINGS_OFFSET(TrgOutSubAddressData, 130);
ORVANE_SETTINGS_OFFSET(TrgOutNackIgnore, 134);
ORVANE_SETTINGS_OFFSET(ForcedDisplayWindow, 135);
ORVANE_SETTINGS_OFFSET(FilterEnable, 137);
ORVANE_SETTINGS_OFFSET(FilterRangeEnable, 138);
ORVANE_SETTINGS_OFFSET(FilterRangeStart, 139);
ORVANE_SETTINGS_OFFSET(FilterRangeEnd, 143);
ORVANE_SETTINGS_OFFSET(FilterSubAddressEnable, 147);
ORVANE_SETTINGS_OFFSET(FilterSubAddressLength, 148);
ORVANE_SETTINGS_OFFSET(FilterSubAddressData, 149);
ORVANE_SETTINGS_OFFSET(FilterSubAddressMask, 153);
ORVANE_SETTINGS_OFFSET(FilterAddressEnable, 157);
ORVANE_SETTINGS_OFFSET(FilterAddress10Bit, 158);
ORVANE_SETTINGS_OFFSET(FilterAddressValue, 159);
ORVANE_SETTINGS_OFFSET(FilterAddressMask, 161);
ORVANE_SETTINGS_OFFSET(FilterRead, 163);
ORVANE_SETTINGS_OFFSET(FilterWrite, 164);
ORVANE_SETTINGS_OFFSET(FilterFromSubAddress, 165);
ORVANE_SETTINGS_OFFSET(FilterFromWrite, 166);
ORVANE_SETTINGS_OFFSET(FilterWriteForRead, 167);
ORVANE_SETTINGS_OFFSET(FilterOmitWriteForRead, 168);
ORVANE_SETTINGS_OFFSET(FilterChangesOnly, 169);
ORVANE_SETTINGS_OFFSET(HsMarker, 174);
ORVANE_SETTINGS_OFFSET(HsEnable, 175);
ORVANE_SETTINGS_OFFSET(tHD_STA_HS, 176);
ORVANE_SETTINGS_OFFSET(tSU_STA_HS, 180);
ORVANE_SETTINGS_OFFSET(tSU_STO_HS, 184);
ORVANE_SETTINGS_OFFSET(reserved188, 188);
ORVANE_SETTINGS_OFFSET(tLOW_HS, 192);
ORVANE_SETTINGS_OFFSET(tHIGH_HS, 196);
ORVANE_SETTINGS_OFFSET(tHD_DAT_HS, 200);
ORVANE_SETTINGS_OFFSET(tSU_DAT_HS, 204);
ORVANE_SETTINGS_OFFSET(reserved208, 208);
#undef ORVANE_SETTINGS_OFFSET
static_assert(sizeof(SettingsRecord) == kSettingsRecordSize);
static_assert(alignof(SettingsRecord) == 1);
static_assert(std::is_trivially_copyable_v<SettingsRecord>);

}  // namespace orvane

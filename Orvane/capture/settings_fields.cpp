#include "Orvane/capture/settings_fields.h"

#include <cstdio>
#include <cstring>

namespace orvane {
namespace {

#define U8(f) {#f, offsetof(SettingsRecord, f), 1, FieldKind::kU8}
#define U16(f) {#f, offsetof(SettingsRecord, f), 2, FieldKind::kU16}
#define U32(f) {#f, offsetof(SettingsRecord, f), 4, FieldKind::kU32}
#define BYTES(f) {#f, offsetof(SettingsRecord, f), sizeof(SettingsRecord::f), FieldKind::kBytes}

constexpr SettingsField kFields[] = {
    U8(m_AnalyzeBusChannel), U8(SamplePeriodCode), U8(PowerSupply), U8(FreeRun),
    U8(NoiseFilter), U8(ForcedDisplay), U8(MonitorMode), U8(DriverBufferSize),
    U32(m_sizeSamplingBuf), U8(SpiSamplingEdge), U8(SpiSsMode), U8(SpiBitFlags),
    U32(SpiSclkTimeout), U32(SpiDataLength),
    U32(tHD_STA), U32(tSU_STA), U32(tSU_STO), U32(tBUF), U32(tLOW), U32(tHIGH), U32(tHD_DAT),
    U32(tSU_DAT),
    U8(IgnoreNackBeforeStop), U8(TrgInEnable), U8(TrgInLevels), U8(TrgInEnables),
    U8(TriggerEnable), U16(TriggerPosition), U8(DataPatternEnable), U8(DataLength),
    BYTES(DataPattern), BYTES(DataMask),
    U8(AddressEnable), U8(AddressCondition), U8(Address10Bit), U16(AddressValue),
    U16(AddressMask),
    U8(SubAddressEnable), U8(SubAddressCondition), U8(SubAddressLength),
    BYTES(SubAddressData), BYTES(SubAddressMask),
    U8(NackDetect), U8(DataOp), U8(AddressOp), U8(NackOp),
    U8(TrgOutEnable), U8(TrgOutAddressEnable), U8(TrgOut10Bit), U16(TrgOutAddress),
    U8(TrgOutSubAddressEnable), U8(TrgOutSubAddressLength), BYTES(TrgOutSubAddressData),
    U8(TrgOutNackIgnore),
    U16(ForcedDisplayWindow),
    U8(FilterEnable), U8(FilterRangeEnable), U32(FilterRangeStart), U32(FilterRangeEnd),
    U8(FilterSubAddressEnable), U8(FilterSubAddressLength), BYTES(FilterSubAddressData),
    BYTES(FilterSubAddressMask), U8(FilterAddressEnable), U8(FilterAddress10Bit),
    U16(FilterAddressValue), U16(FilterAddressMask), U8(FilterRead), U8(FilterWrite),
    U8(FilterFromSubAddress), U8(FilterFromWrite), U8(FilterWriteForRead),
    U8(FilterOmitWriteForRead), U8(FilterChangesOnly),
    U8(HsMarker), U8(HsEnable),
    U32(tHD_STA_HS), U32(tSU_STA_HS), U32(tSU_STO_HS), U32(tLOW_HS), U32(tHIGH_HS),
    U32(tHD_DAT_HS), U32(tSU_DAT_HS),
};

#undef U8
#undef U16
#undef U32
#undef BYTES

const uint8_t* Bytes(const SettingsRecord& record) {
  return reinterpret_cast<const uint8_t*>(&record);
}

}  // namespace

std::span<const SettingsField> SettingsFields() { return kFields; }

const SettingsField* FindSettingsField(std::string_view name) {
  for (const SettingsField& field : kFields) {
    if (name == field.name) return &field;
  }
  return nullptr;
}

uint32_t GetSettingsNumber(const SettingsRecord& record, const SettingsField& field) {
  uint32_t value = 0;
  for (size_t i = 0; i < field.width && i < 4; ++i) {
    value |= uint32_t(Bytes(record)[field.offset + i]) << (8 * i);
  }
  return value;
}

void SetSettingsNumber(SettingsRecord& record, const SettingsField& field, uint32_t value) {
  auto* bytes = reinterpret_cast<uint8_t*>(&record);
  for (size_t i = 0; i < field.width && i < 4; ++i) {
    bytes[field.offset + i] = static_cast<uint8_t>(value >> (8 * i));
  }
}

std::string FormatSettingsField(const SettingsRecord& record, const SettingsField& field) {
  if (field.kind != FieldKind::kBytes) return std::to_string(GetSettingsNumber(record, field));
  std::string text;
  for (size_t i = 0; i < field.width; ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", Bytes(record)[field.offset + i]);
    if (i != 0) text += ' ';
    text += hex;
  }
  return text;
}

}  // namespace orvane

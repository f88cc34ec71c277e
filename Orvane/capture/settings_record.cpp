#include "Orvane/capture/settings_record.h"

#include <cstring>

namespace orvane {
namespace {

void SetHsDefaults(SettingsRecord& r) {
  r.HsMarker = kHsMarker;
  r.HsEnable = 0;
  r.tHD_STA_HS = 16;
  r.tSU_STA_HS = 16;
  r.tSU_STO_HS = 16;
  r.tLOW_HS = 16;
  r.tHIGH_HS = 6;
  r.tHD_DAT_HS = 7;
  r.tSU_DAT_HS = 1;
}

}  // namespace

SettingsRecord DefaultSettingsRecord() {
  SettingsRecord r{};
  r.SamplePeriodCode = 2;
  r.SpiSamplingEdge = 1;
  r.SpiSsMode = 1;
  r.SpiBitFlags = 1;
  r.SpiSclkTimeout = 1000;
  r.SpiDataLength = 1024;
  r.tHD_STA = 60;
  r.tSU_STA = 60;
  r.tSU_STO = 60;
  r.tBUF = 130;
  r.tLOW = 130;
  r.tHIGH = 60;
  r.tHD_DAT = 90;
  r.tSU_DAT = 10;
  r.IgnoreNackBeforeStop = 1;
  r.TriggerPosition = 1;
  r.DataLength = 4;
  std::memset(r.DataMask, 0xFF, sizeof r.DataMask);
  r.AddressMask = 1023;
  r.SubAddressLength = 2;
  std::memset(r.SubAddressMask, 0xFF, sizeof r.SubAddressMask);
  r.TrgOutSubAddressLength = 2;
  r.ForcedDisplayWindow = 200;
  r.FilterSubAddressLength = 1;
  std::memset(r.FilterSubAddressMask, 0xFF, sizeof r.FilterSubAddressMask);
  r.FilterAddressMask = 1023;
  r.FilterRead = 1;
  r.FilterWrite = 1;
  r.FilterFromSubAddress = 1;
  r.FilterFromWrite = 1;
  r.FilterWriteForRead = 1;
  SetHsDefaults(r);
  return r;
}

void RepairLoadedSettings(SettingsRecord& r) {
  for (uint8_t& mask : r.FilterSubAddressMask) {
    if (mask == 0) mask = 0xFF;
  }
  if (r.FilterAddressMask == 0) r.FilterAddressMask = 1023;
  if (r.FilterSubAddressLength < 1 || r.FilterSubAddressLength > 4) r.FilterSubAddressLength = 1;
  if (r.HsMarker != kHsMarker) SetHsDefaults(r);
}

}  // namespace orvane

#include "ModeChange/flash_record.h"

namespace velix::modechange {

void SetOperationIdentity(FlashRecord& record) {
  record[0] = 0x9A;
  record[1] = 0x1D;
  record[2] = 0x0A;
  record[3] = 0x03;
}

void SetCpldVersion(FlashRecord& record, uint8_t major, uint8_t minor) {
  record[8] = major;
  record[9] = minor;
}

bool ReadAndEraseRecord(FirmwareAccess& firmware, FlashRecord& record) {
  return firmware.FlashRead(kFlashRecordAddress, record) && firmware.FlashErase(kFlashRecordBlock);
}

bool WriteRecord(FirmwareAccess& firmware, const FlashRecord& record) {
  return firmware.FlashWrite(kFlashRecordAddress, record);
}

}  // namespace velix::modechange

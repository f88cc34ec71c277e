// The "Update" worker: check the image file, ask about an old version,
// write the image in chunks and the flash record, then hand the dialog back.
#include <cstdint>

#include "ModeChange/cpld_image.h"
#include "ModeChange/cpld_writer.h"
#include "ModeChange/mode_change_machine.h"

namespace velix::modechange {
namespace {

constexpr uint16_t kUnknownVersion = 0xFFFF;

uint16_t Version(uint8_t major, uint8_t minor) { return static_cast<uint16_t>((major << 8) | minor); }

}  // namespace

void ModeChangeMachine::RunUpdate(const UpdateRequest& request) {
  const ImageFile file = ReadImageFile(request.firmware_path);
  if (file.result == ImageRead::kTooLarge) return RejectImage(TextId::kCpldFileNg1);
  if (file.result == ImageRead::kMissing || file.bytes.empty()) return RejectImage(TextId::kCpldFileNotFound);
  const std::span<const uint8_t> image(file.bytes);
  // A file too short to hold its trailer has the wrong size as well.
  if (!HasTrailer(image)) return RejectImage(TextId::kCpldFileNg1);
  if (!ChecksumMatches(image)) return RejectImage(TextId::kCpldFileNg2);
  if (!IdentityMatches(image)) return RejectImage(TextId::kCpldFileNg3);
  if (!ConfirmVersion(request, image)) {
    Apply([](DialogState& s) { s.switch_flag = false; });
    return FinishUpdate(request);
  }
  if (!FileTypeMatches(image)) return RejectImage(TextId::kCpldFileNg4);

  Apply([](DialogState& s) { s.status = TextId::kSwitchingMode; });
  // The record's other bytes are the device's; without them in hand
  // nothing is erased or written.
  FlashRecord record{};
  if (!ReadAndEraseRecord(firmware_, record)) return FailUpdate();
  if (!WriteImage(image)) return FailUpdate();
  SetOperationIdentity(record);
  SetCpldVersion(record, ImageVersionMajor(image), ImageVersionMinor(image));
  if (!WriteRecord(firmware_, record)) return FailUpdate();
  FinishUpdate(request);
}

bool ModeChangeMachine::ConfirmVersion(const UpdateRequest& request, std::span<const uint8_t> image) {
  // A reply that cannot be read leaves the bytes as they are: an unknown
  // version, which is never asked about.
  FirmVersions device{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  firmware_.GetFirmVersion(device);
  const uint16_t device_version = Version(device.cpld_major, device.cpld_minor);
  const uint16_t file_version = Version(ImageVersionMajor(image), ImageVersionMinor(image));
  const bool ask = !request.force && file_version <= device_version && device_version != kUnknownVersion &&
                   request.selected == request.current;
  return !ask || view_.ShowMessage(TextId::kSameOrOlderVersion);
}

bool ModeChangeMachine::WriteImage(std::span<const uint8_t> image) {
  Apply([](DialogState& s) { s.status_red = true; });
  const int step = ChunkProgressStep(image.size());
  const bool written = WriteCpldImage(firmware_, image, [&](size_t offset) {
    Apply([&](DialogState& s) {
      s.status = offset % 8192 != 0 ? TextId::kSwitchingMode : TextId::kNone;
      s.progress_value += step;
    });
  });
  // A failed write keeps the red line: its failure text follows in red.
  if (written) Apply([](DialogState& s) { s.status_red = false; });
  return written;
}

void ModeChangeMachine::RejectImage(TextId text) {
  Apply([&](DialogState& s) {
    s.switch_flag = false;
    s.update_enabled = true;
    s.exit_enabled = true;
    s.status = text;
    s.phase = Phase::kReady;
    s.worker_busy = false;
  });
}

void ModeChangeMachine::FailUpdate() {
  // The switch flag stays set: "Exit" leaves the device in update mode for
  // another attempt.
  Apply([](DialogState& s) {
    s.update_enabled = true;
    s.exit_enabled = true;
  });
  uint8_t device_status = 0;
  firmware_.GetStatus(device_status);
  Apply([&](DialogState& s) {
    s.status = TextId::kCpldUpdateFailed;
    s.status_number = device_status;
    s.phase = Phase::kUpdateFailed;
    s.worker_busy = false;
  });
}

void ModeChangeMachine::FinishUpdate(const UpdateRequest& request) {
  Apply([](DialogState& s) { s.progress_value = 5120; });
  Apply([](DialogState& s) { s.progress_value = kProgressMaximum; });
  const bool switched = State().switch_flag;
  if (switched) {
    Apply([&](DialogState& s) {
      s.status = TextId::kSwitchingCompleted;
      s.current_mode = request.selected;
      s.mode_label = ModeLabelText(request.selected);
    });
    FirmVersions versions;
    if (firmware_.GetFirmVersion(versions)) Apply([&](DialogState& s) { s.versions = versions; });
  }
  // The worker counts as busy until the very end, so no tick and no "Exit"
  // overtakes the timer's restart.
  StartTimer();
  Apply([&](DialogState& s) {
    s.phase = switched ? Phase::kSwitched : Phase::kWaitingForDevice;
    s.exit_enabled = true;
    s.worker_busy = false;
  });
}

}  // namespace velix::modechange

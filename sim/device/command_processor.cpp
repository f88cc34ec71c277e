#include "sim/device/command_processor.h"

#include <algorithm>

namespace velix::sim {
namespace {

uint16_t Be16(std::span<const uint8_t> packet, size_t at) {
  return static_cast<uint16_t>((packet[at] << 8) | packet[at + 1]);
}

uint32_t Be32(std::span<const uint8_t> packet, size_t at) {
  return (static_cast<uint32_t>(Be16(packet, at)) << 16) | Be16(packet, at + 2);
}

// The reply a command asked for in bytes 7-8, cut or zero-padded to that size.
CommandEffects Reply(std::vector<uint8_t> content, std::span<const uint8_t> packet) {
  content.resize(Be16(packet, 7), 0);
  CommandEffects effects;
  effects.reply = std::move(content);
  return effects;
}

bool CpldTrailerValid(const std::vector<uint8_t>& image) {
  if (image.size() < 7) return false;
  const size_t body = image.size() - 7;
  uint16_t sum = 0;
  for (size_t i = 0; i < body; ++i) sum = static_cast<uint16_t>(sum + image[i]);
  return image[body] == (sum & 0xFF) && image[body + 1] == (sum >> 8) && image[body + 2] == 0x0A &&
         image[body + 3] == 0x03;
}

}  // namespace

void CommandProcessor::Reset() {
  phase_ = DataPhase::kNone;
  phase_remaining_ = 0;
  cpld_receiving_.clear();
  power_supply_ = 0;
  trigger_out_ = {};
}

CommandEffects CommandProcessor::OnBulkOut(Personality personality, std::span<const uint8_t> bytes) {
  if (phase_ != DataPhase::kNone) return OnData(bytes);
  if (bytes.size() != kCommandPacketSize) return {};
  return OnPacket(personality, bytes);
}

CommandEffects CommandProcessor::OnPacket(Personality personality, std::span<const uint8_t> packet) {
  if (personality == Personality::kOperation) return OnOperationPacket(packet);
  if (personality == Personality::kFirmwareUpdate) return OnUpdatePacket(packet);
  return {};
}

std::vector<uint8_t> CommandProcessor::VersionReply() const {
  const auto& v = memory_->versions;
  uint8_t cpld_major = v[4];
  uint8_t cpld_minor = v[5];
  if (memory_->RecordHasOperationIdentity()) {
    const uint16_t record = memory_->RecordCpldVersion();
    cpld_major = static_cast<uint8_t>(record >> 8);
    cpld_minor = static_cast<uint8_t>(record);
  }
  return {0, 0, v[0], v[1], v[2], v[3], cpld_major, cpld_minor};
}

CommandEffects CommandProcessor::OnOperationPacket(std::span<const uint8_t> packet) {
  CommandEffects effects;
  switch (packet[0]) {
    case 0xC0:
      return Reply(VersionReply(), packet);
    case 0xC3:
      if (packet[1] <= 4) power_supply_ = packet[1];
      break;
    case 0xC4:
      if (memory_->analyzer_image) effects.stream = packet[1] != 0 ? StreamAction::kStart : StreamAction::kStop;
      break;
    case 0xC5: {
      const bool powered = target_self_powered_ || power_supply_ != 0;
      return Reply({0, 0, 0, static_cast<uint8_t>(powered ? 1 : 0)}, packet);
    }
    case 0xC6:
      if (!memory_->analyzer_image) effects.stream = packet[4] != 0 ? StreamAction::kStart : StreamAction::kStop;
      break;
    case 0xC8:
      return Reply({0, 0, 0, static_cast<uint8_t>(memory_->analyzer_image ? 1 : 0)}, packet);
    case 0xC9:
      std::copy(packet.begin(), packet.end(), trigger_out_.begin());
      break;
    case 0xD9:
      memory_->update_mode_pending = true;
      effects.memory_changed = true;
      break;
    default:
      break;
  }
  return effects;
}

CommandEffects CommandProcessor::OnUpdatePacket(std::span<const uint8_t> packet) {
  CommandEffects effects;
  auto& versions = memory_->versions;
  switch (packet[0]) {
    case 0xC0:
      return Reply(VersionReply(), packet);
    case 0xC1:
      for (int field = 0; field < 3; ++field) {
        if ((packet[1] >> field) & 1) {
          versions[2 * field] = packet[2 + 2 * field];
          versions[2 * field + 1] = packet[3 + 2 * field];
        }
      }
      effects.memory_changed = true;
      break;
    case 0xD1:
      if (memory_->EraseBlock(packet[8])) {
        effects.memory_changed = true;
      } else {
        status_ = kStatusFlashBlockInvalid;
      }
      break;
    case 0xD2:
    case 0xD4: {
      std::vector<uint8_t> content(Be16(packet, 7));
      if (packet[0] == 0xD2) {
        memory_->ReadFlash(Be16(packet, 4), content);
      } else {
        memory_->ReadEeprom(Be16(packet, 4), content);
      }
      return Reply(std::move(content), packet);
    }
    case 0xD3:
    case 0xD5:
      phase_ = packet[0] == 0xD3 ? DataPhase::kFlash : DataPhase::kEeprom;
      phase_address_ = Be16(packet, 4);
      phase_remaining_ = Be16(packet, 7);
      if (phase_remaining_ == 0) phase_ = DataPhase::kNone;
      break;
    case 0xD7:
      phase_remaining_ = Be32(packet, 5);
      cpld_receiving_.clear();
      if (phase_remaining_ == 0 || phase_remaining_ > kCpldImageMaxSize) {
        status_ = kStatusCpldImageRejected;
      } else {
        phase_ = DataPhase::kCpld;
      }
      break;
    case 0xD8:
      return Reply({0, 0, 0, status_}, packet);
    default:
      break;
  }
  return effects;
}

CommandEffects CommandProcessor::OnData(std::span<const uint8_t> data) {
  const auto taken = data.first(std::min<size_t>(data.size(), phase_remaining_));
  CommandEffects effects;
  switch (phase_) {
    case DataPhase::kFlash:
      memory_->WriteFlash(phase_address_, taken);
      effects.memory_changed = true;
      break;
    case DataPhase::kEeprom:
      memory_->WriteEeprom(phase_address_, taken);
      effects.memory_changed = true;
      break;
    case DataPhase::kCpld:
      cpld_receiving_.insert(cpld_receiving_.end(), taken.begin(), taken.end());
      break;
    case DataPhase::kNone:
      break;
  }
  phase_address_ += static_cast<uint32_t>(taken.size());
  phase_remaining_ -= static_cast<uint32_t>(taken.size());
  if (phase_remaining_ == 0) {
    if (phase_ == DataPhase::kCpld) {
      FinishCpldImage();
      effects.memory_changed = true;
    }
    phase_ = DataPhase::kNone;
  }
  return effects;
}

void CommandProcessor::FinishCpldImage() {
  if (CpldTrailerValid(cpld_receiving_)) {
    memory_->cpld_image = std::move(cpld_receiving_);
    status_ = kStatusOk;
    // The image is the personality: operation mode comes up with it at the
    // next plug-in.
    const uint8_t mark = memory_->cpld_image[0];
    if (mark == kAnalyzerImageMark || mark == kMonitorImageMark) memory_->analyzer_image = mark == kAnalyzerImageMark;
  } else {
    status_ = kStatusCpldImageRejected;
  }
  cpld_receiving_.clear();
}

}  // namespace velix::sim

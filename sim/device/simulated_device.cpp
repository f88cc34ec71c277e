#include "sim/device/simulated_device.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "sim/device/idle_line.h"

namespace velix::sim {

using driver::NtStatus;
using driver::SyncTransferResult;

namespace {
constexpr uint8_t kFx2RamLoadRequest = 0xA0;
constexpr uint16_t kFx2CpuControlAddress = 0xE600;
constexpr uint8_t kLoaderEepromRequest = 0xE0;

SyncTransferResult Stalled() { return {driver::STATUS_UNSUCCESSFUL, driver::kUsbdStallPid, 0}; }
SyncTransferResult NotConnected() { return {driver::STATUS_DEVICE_NOT_CONNECTED, driver::kUsbdSuccess, 0}; }
SyncTransferResult Done(size_t bytes) { return {driver::STATUS_SUCCESS, driver::kUsbdSuccess, static_cast<uint32_t>(bytes)}; }
}  // namespace

SimulatedDevice::SimulatedDevice(std::string state_path)
    : state_path_(std::move(state_path)), memory_(DeviceMemory::Factory()), ram_(0x10000, 0) {
  // A missing state file starts a factory-fresh device and is created; a
  // malformed one is left alone for inspection and reported.
  if (!state_path_.empty()) {
    if (!std::filesystem::exists(state_path_)) {
      SaveStateLocked();
    } else {
      std::string error;
      if (!memory_.Load(state_path_, &error)) state_error_ = error;
    }
  }
  worker_ = std::thread([this] { Run(); });
}

SimulatedDevice::~SimulatedDevice() {
  Completions done;
  {
    std::lock_guard lock(mu_);
    quit_ = true;
    while (!bulk_in_.empty()) CompleteFrontLocked(&bulk_in_, driver::kUsbdCanceled, 0, &done);
    while (!interrupt_in_.empty()) CompleteFrontLocked(&interrupt_in_, driver::kUsbdCanceled, 0, &done);
  }
  wake_.notify_all();
  worker_.join();
  RunCompletions(&done);
}

void SimulatedDevice::SaveStateLocked() {
  if (state_path_.empty()) return;
  std::string error;
  state_error_ = memory_.Save(state_path_, &error) ? std::string() : error;
}

// --- Controls ---

void SimulatedDevice::Plug() {
  {
    std::lock_guard lock(mu_);
    PlugByMemoryLocked();
  }
  DeliverPresence();
}

void SimulatedDevice::PlugByMemoryLocked() {
  if (plugged_) return;
  Personality personality = Personality::kOperation;
  if (memory_.eeprom[0] != kEepromFirmwareMarker) {
    personality = Personality::kBareFx2;
  } else if (memory_.update_mode_pending || !memory_.RecordHasOperationIdentity()) {
    personality = Personality::kFirmwareUpdate;
  }
  if (memory_.update_mode_pending) {
    memory_.update_mode_pending = false;
    SaveStateLocked();
  }
  PlugLocked(personality);
}

void SimulatedDevice::PlugAs(Personality personality) {
  Completions done;
  {
    std::lock_guard lock(mu_);
    UnplugLocked(&done);
    PlugLocked(personality);
  }
  Deliver(&done);
}

void SimulatedDevice::PlugLocked(Personality personality) {
  plugged_ = true;
  presence_news_.push_back(true);
  personality_ = personality;
  processor_.Reset();
  bulk_in_stalled_ = false;
  cpu_held_in_reset_ = false;
  ram_loaded_ = false;
  wake_.notify_all();
}

void SimulatedDevice::Unplug() {
  Completions done;
  {
    std::lock_guard lock(mu_);
    UnplugLocked(&done);
  }
  Deliver(&done);
}

void SimulatedDevice::UnplugLocked(Completions* done) {
  if (plugged_) presence_news_.push_back(false);
  plugged_ = false;
  streaming_ = false;
  reply_.clear();
  message_.reset();
  while (!bulk_in_.empty()) CompleteFrontLocked(&bulk_in_, kUsbdDeviceGone, 0, done);
  while (!interrupt_in_.empty()) CompleteFrontLocked(&interrupt_in_, kUsbdDeviceGone, 0, done);
}

void SimulatedDevice::Deliver(Completions* done) {
  // A host learns that the device left before it sees the transfers that
  // ended with it, as a bus driver reports a surprise removal.
  DeliverPresence();
  RunCompletions(done);
}

void SimulatedDevice::DeliverPresence() {
  std::lock_guard order(presence_mu_);
  std::vector<bool> news;
  driver::PresenceListener listener;
  {
    std::lock_guard lock(mu_);
    news.swap(presence_news_);
    listener = presence_listener_;
  }
  if (!listener) return;
  for (const bool present : news) listener(present);
}

void SimulatedDevice::SetPresenceListener(driver::PresenceListener listener) {
  std::lock_guard order(presence_mu_);
  bool announce = false;
  {
    std::lock_guard lock(mu_);
    presence_listener_ = listener;
    // News still to be delivered tells the listener itself.
    announce = listener && plugged_ && presence_news_.empty();
  }
  if (announce) listener(true);
}

bool SimulatedDevice::plugged() const {
  std::lock_guard lock(mu_);
  return plugged_;
}

Personality SimulatedDevice::personality() const {
  std::lock_guard lock(mu_);
  return personality_;
}

void SimulatedDevice::SetHighSpeed(bool high_speed) {
  std::lock_guard lock(mu_);
  high_speed_ = high_speed;
}

void SimulatedDevice::SetRemoteWakeup(bool supported) {
  std::lock_guard lock(mu_);
  remote_wakeup_ = supported;
}

void SimulatedDevice::SetAnalyzerImage(bool analyzer) {
  std::lock_guard lock(mu_);
  memory_.analyzer_image = analyzer;
  SaveStateLocked();
}

void SimulatedDevice::SetTargetSelfPowered(bool powered) {
  std::lock_guard lock(mu_);
  processor_.SetTargetSelfPowered(powered);
}

void SimulatedDevice::SetStreamData(StreamData data) {
  const uint8_t idle_state = data ? FinalLineState(*data) : 0x0F;
  std::lock_guard lock(mu_);
  source_ = std::move(data);
  idle_state_ = idle_state;
}

bool SimulatedDevice::LoadScenario(std::string_view scenario_text, SynthOptions options, uint64_t max_bytes,
                                   std::string* error) {
  {
    std::lock_guard lock(mu_);
    options.mode = memory_.analyzer_image ? CaptureMode::kAnalyzer : CaptureMode::kMonitor;
  }
  StreamData data;
  if (!SynthesizeStream(scenario_text, options, max_bytes, &data, error)) return false;
  SetStreamData(std::move(data));
  return true;
}

bool SimulatedDevice::LoadSicFile(const std::string& path, uint64_t max_bytes, std::string* error) {
  StreamData data;
  if (!LoadSicStream(path, max_bytes, &data, error)) return false;
  SetStreamData(std::move(data));
  return true;
}

void SimulatedDevice::SetStreamConfig(const StreamConfig& config) {
  std::lock_guard lock(mu_);
  stream_config_ = config;
}

void SimulatedDevice::ScheduleFault(FaultKind kind, uint64_t at_byte) {
  {
    std::lock_guard lock(mu_);
    const auto at = std::upper_bound(faults_.begin(), faults_.end(), at_byte,
                                     [](uint64_t value, const Fault& fault) { return value < fault.at_byte; });
    faults_.insert(at, Fault{kind, at_byte});
  }
  wake_.notify_all();
}

void SimulatedDevice::SetReplyDelay(std::chrono::milliseconds delay) {
  std::lock_guard lock(mu_);
  reply_delay_ = delay;
}

// --- Observations ---

std::vector<std::vector<uint8_t>> SimulatedDevice::ReceivedBulkOut() const {
  std::lock_guard lock(mu_);
  return received_;
}

StreamRecord SimulatedDevice::SentRecord() const {
  std::lock_guard lock(mu_);
  return sent_;
}

std::optional<uint64_t> SimulatedDevice::SourceChecksum(uint64_t offset, uint64_t length) const {
  std::lock_guard lock(mu_);
  if (!source_ || offset > source_->size() || length > source_->size() - offset) return std::nullopt;
  return StreamChecksum(kStreamChecksumSeed, std::span<const uint8_t>(*source_).subspan(offset, length));
}

bool SimulatedDevice::streaming() const {
  std::lock_guard lock(mu_);
  return streaming_;
}

uint8_t SimulatedDevice::power_supply() const {
  std::lock_guard lock(mu_);
  return processor_.power_supply();
}

std::array<uint8_t, kCommandPacketSize> SimulatedDevice::trigger_out_setting() const {
  std::lock_guard lock(mu_);
  return processor_.trigger_out_setting();
}

DeviceMemory SimulatedDevice::Memory() const {
  std::lock_guard lock(mu_);
  return memory_;
}

std::string SimulatedDevice::state_error() const {
  std::lock_guard lock(mu_);
  return state_error_;
}

// --- UsbLowerEdge ---

NtStatus SimulatedDevice::Submit(const driver::UsbTransfer& transfer) {
  if (transfer.endpoint == driver::Endpoint::kBulkOut || transfer.buffer.empty() || !transfer.on_complete) {
    return driver::STATUS_INVALID_PARAMETER;
  }
  {
    std::lock_guard lock(mu_);
    if (!plugged_) return driver::STATUS_DEVICE_NOT_CONNECTED;
    auto& queue = transfer.endpoint == driver::Endpoint::kBulkIn ? bulk_in_ : interrupt_in_;
    queue.push_back(transfer);
  }
  wake_.notify_all();
  return driver::STATUS_PENDING;
}

void SimulatedDevice::Cancel(driver::TransferId id) {
  Completions done;
  {
    std::lock_guard lock(mu_);
    for (auto* queue : {&bulk_in_, &interrupt_in_}) {
      const auto it = std::find_if(queue->begin(), queue->end(), [id](const auto& t) { return t.id == id; });
      if (it == queue->end()) continue;
      done.push_back({std::move(it->on_complete), driver::kUsbdCanceled, 0});
      queue->erase(it);
    }
  }
  Deliver(&done);
}

SyncTransferResult SimulatedDevice::BulkOut(std::span<const uint8_t> data, uint32_t /*timeout_ms*/) {
  {
    std::lock_guard lock(mu_);
    if (!plugged_) return NotConnected();
    if (personality_ == Personality::kBareFx2 || personality_ == Personality::kRamLoader) return Stalled();
    received_.emplace_back(data.begin(), data.end());
    CommandEffects effects = processor_.OnBulkOut(personality_, data);
    if (effects.reply) {
      reply_ = std::move(*effects.reply);
      reply_ready_ = Clock::now() + reply_delay_;
    }
    if (effects.stream == StreamAction::kStart) StartStreamLocked();
    if (effects.stream == StreamAction::kStop) streaming_ = false;
    if (effects.memory_changed) SaveStateLocked();
  }
  wake_.notify_all();
  return Done(data.size());
}

SyncTransferResult SimulatedDevice::ControlTransfer(const driver::VendorRequest& setup, std::span<uint8_t> data,
                                                    uint32_t /*timeout_ms*/) {
  Completions done;
  SyncTransferResult result = Stalled();
  {
    std::lock_guard lock(mu_);
    if (!plugged_) return NotConnected();
    if (personality_ == Personality::kBareFx2 && setup.request == kFx2RamLoadRequest && !setup.device_to_host) {
      if (setup.value == kFx2CpuControlAddress && data.size() == 1) {
        const bool releasing = cpu_held_in_reset_ && (data[0] & 1) == 0;
        cpu_held_in_reset_ = (data[0] & 1) != 0;
        if (releasing && ram_loaded_) {
          // The loader starts and the controller enumerates again as it.
          UnplugLocked(&done);
          PlugLocked(Personality::kRamLoader);
        }
        result = Done(1);
      } else if (cpu_held_in_reset_ && setup.value + data.size() <= ram_.size()) {
        std::copy(data.begin(), data.end(), ram_.begin() + setup.value);
        ram_loaded_ = true;
        result = Done(data.size());
      }
    } else if (personality_ == Personality::kRamLoader && setup.request == kLoaderEepromRequest) {
      if (setup.device_to_host) {
        memory_.ReadEeprom(setup.value, data);
      } else {
        memory_.WriteEeprom(setup.value, data);
        SaveStateLocked();
      }
      result = Done(data.size());
    }
  }
  Deliver(&done);
  return result;
}

NtStatus SimulatedDevice::ResetPipe(driver::Endpoint endpoint) {
  {
    std::lock_guard lock(mu_);
    if (!plugged_) return driver::STATUS_DEVICE_NOT_CONNECTED;
    if (endpoint == driver::Endpoint::kBulkIn) bulk_in_stalled_ = false;
  }
  wake_.notify_all();
  return driver::STATUS_SUCCESS;
}

NtStatus SimulatedDevice::ClearControlHalt() {
  std::lock_guard lock(mu_);
  if (!plugged_) return driver::STATUS_DEVICE_NOT_CONNECTED;
  ++control_halt_clears_;
  return driver::STATUS_SUCCESS;
}

int SimulatedDevice::control_halt_clears() const {
  std::lock_guard lock(mu_);
  return control_halt_clears_;
}

NtStatus SimulatedDevice::GetPortStatus(uint32_t* port_status) {
  std::lock_guard lock(mu_);
  *port_status = plugged_ ? (driver::kPortConnected | driver::kPortEnabled) : 0;
  return driver::STATUS_SUCCESS;
}

NtStatus SimulatedDevice::ResetPort() {
  {
    std::lock_guard lock(mu_);
    if (!plugged_) return driver::STATUS_DEVICE_NOT_CONNECTED;
    bulk_in_stalled_ = false;
  }
  wake_.notify_all();
  return driver::STATUS_SUCCESS;
}

NtStatus SimulatedDevice::GetDescriptor(driver::DescriptorType type, std::span<uint8_t> out, uint32_t* length) {
  std::lock_guard lock(mu_);
  if (!plugged_) return driver::STATUS_DEVICE_NOT_CONNECTED;
  const std::vector<uint8_t> descriptor = type == driver::DescriptorType::kDevice
                                              ? DeviceDescriptor(personality_)
                                              : ConfigurationDescriptor(high_speed_ ? 512 : 64, remote_wakeup_);
  const size_t n = std::min(out.size(), descriptor.size());
  std::memcpy(out.data(), descriptor.data(), n);
  *length = static_cast<uint32_t>(n);
  return driver::STATUS_SUCCESS;
}

uint16_t SimulatedDevice::BulkMaxPacketSize() const {
  std::lock_guard lock(mu_);
  return high_speed_ ? 512 : 64;
}

}  // namespace velix::sim

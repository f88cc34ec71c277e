#include "driver/device_object.h"

#include <algorithm>

namespace velix::driver {
namespace {

constexpr uint8_t kInterfaceDescriptorType = 4;
constexpr uint8_t kEndpointDescriptorType = 5;
constexpr uint8_t kEndpointTypeMask = 0x03;
constexpr uint8_t kEndpointTypeBulk = 0x02;
constexpr uint8_t kEndpointTypeInterrupt = 0x03;
constexpr uint8_t kEndpointDirectionIn = 0x80;
constexpr size_t kConfigHeaderBytes = 9;

// The pipe index a file name asks for: the last run of decimal digits read
// as a number. Long runs saturate rather than wrap, so no run of digits can
// come back as a small valid index.
std::optional<uint32_t> PipeIndexFromName(std::string_view name) {
  const auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
  const auto last = std::find_if(name.rbegin(), name.rend(), is_digit);
  if (last == name.rend()) return std::nullopt;
  const auto first = std::find_if_not(last, name.rend(), is_digit);
  uint32_t value = 0;
  for (auto it = first.base(); it != last.base(); ++it) {
    value = std::min<uint32_t>(value * 10 + static_cast<uint32_t>(*it - '0'), 1000000u);
  }
  return value;
}

}  // namespace

DeviceObject::DeviceObject(UsbLowerEdge& edge) : edge_(edge) {}

NtStatus DeviceObject::StartDevice() {
  std::vector<uint8_t> header(kConfigHeaderBytes);
  uint32_t length = 0;
  NtStatus status = edge_.GetDescriptor(DescriptorType::kConfiguration, header, &length);
  if (!NtSuccess(status)) return status;
  if (length < kConfigHeaderBytes) return STATUS_UNSUCCESSFUL;
  const uint16_t total = static_cast<uint16_t>(header[2] | (header[3] << 8));
  std::vector<uint8_t> descriptor(std::max<size_t>(total, kConfigHeaderBytes));
  status = edge_.GetDescriptor(DescriptorType::kConfiguration, descriptor, &length);
  if (!NtSuccess(status)) return status;
  descriptor.resize(length);

  // The first interface's endpoints, in the order the device lists them.
  std::vector<Pipe> pipes;
  int interfaces_seen = 0;
  for (size_t at = 0; at + 2 <= descriptor.size() && descriptor[at] >= 2;) {
    const uint8_t size = descriptor[at];
    const uint8_t type = descriptor[at + 1];
    if (type == kInterfaceDescriptorType) ++interfaces_seen;
    if (type == kEndpointDescriptorType && interfaces_seen == 1 && at + 4 <= descriptor.size()) {
      const uint8_t address = descriptor[at + 2];
      const uint8_t kind = descriptor[at + 3] & kEndpointTypeMask;
      if (kind == kEndpointTypeInterrupt) pipes.push_back({Endpoint::kInterruptIn});
      if (kind == kEndpointTypeBulk) {
        pipes.push_back({(address & kEndpointDirectionIn) ? Endpoint::kBulkIn : Endpoint::kBulkOut});
      }
    }
    at += size;
  }
  {
    std::lock_guard lock(pipes_lock_);
    pipes_ = std::move(pipes);
    config_descriptor_ = std::move(descriptor);
  }
  state_.store(PnpState::kWorking);
  return STATUS_SUCCESS;
}

DeviceObject::RequestScope::RequestScope(DeviceObject& device) : device_(device) {
  std::lock_guard lock(device_.outstanding_lock_);
  ++device_.outstanding_;
}

DeviceObject::RequestScope::~RequestScope() {
  std::lock_guard lock(device_.outstanding_lock_);
  if (--device_.outstanding_ == 0) device_.outstanding_drained_.notify_all();
}

int DeviceObject::OutstandingRequests() const {
  std::lock_guard lock(outstanding_lock_);
  return outstanding_;
}

void DeviceObject::SurpriseRemoval() {
  engine_.SetDeviceGone();
  // A device already removed stays removed.
  PnpState state = state_.load();
  while (state != PnpState::kRemoved && !state_.compare_exchange_weak(state, PnpState::kSurpriseRemoved)) {
  }
}

void DeviceObject::RemoveDevice() {
  if (removed_.exchange(true)) return;
  if (state_.load() != PnpState::kSurpriseRemoved) SurpriseRemoval();
  state_.store(PnpState::kRemoved);
  engine_.Stop(StopWait::kUnlimited);
  {
    std::unique_lock lock(outstanding_lock_);
    outstanding_drained_.wait(lock, [this] { return outstanding_ == 0; });
  }
  buffer_.Free();
  std::lock_guard lock(pipes_lock_);
  config_descriptor_.clear();
}

bool DeviceObject::PipeOpen(int pipe) const {
  std::lock_guard lock(pipes_lock_);
  return pipe >= 0 && pipe < static_cast<int>(pipes_.size()) && pipes_[pipe].open;
}

CreateResult DeviceObject::Create(std::optional<std::string_view> file_name) {
  const RequestScope scope(*this);
  if (state_.load() == PnpState::kRemoved) return {STATUS_DELETE_PENDING, nullptr};
  std::lock_guard lock(pipes_lock_);
  if (state_.load() != PnpState::kWorking || config_descriptor_.empty()) {
    return {STATUS_INVALID_DEVICE_STATE, nullptr};
  }
  if (!file_name) return {STATUS_INVALID_PARAMETER, nullptr};
  auto handle = std::make_unique<HandleContext>();
  if (!file_name->empty()) {
    const std::optional<uint32_t> index = PipeIndexFromName(*file_name);
    if (!index || *index >= static_cast<uint32_t>(kMaxPipes) || *index >= pipes_.size()) {
      return {STATUS_INVALID_PARAMETER, nullptr};
    }
    pipes_[*index].open = true;
    handle->pipe = static_cast<int>(*index);
  }
  open_handles_.fetch_add(1);
  return {STATUS_SUCCESS, std::move(handle)};
}

void DeviceObject::Close(HandleContext* handle) {
  const RequestScope scope(*this);
  if (handle && handle->pipe) {
    std::lock_guard lock(pipes_lock_);
    if (*handle->pipe < static_cast<int>(pipes_.size())) pipes_[*handle->pipe].open = false;
  }
  // A client that dies leaves its stream running, the device's included;
  // the close is where that is undone, in the order a client stops: the
  // device's stop command first, then the driver's stop.
  const CloseCleanup cleanup = ownership_.CleanupFor(handle);
  if (cleanup.device_stop && state_.load() == PnpState::kWorking) {
    edge_.BulkOut(*cleanup.device_stop, kSyncTransferTimeoutMs);
  }
  if (cleanup.stop_streaming) engine_.Stop(StopWait::kClose);
  if (cleanup.empty_buffer) buffer_.Discard();
  ownership_.Forget(handle);
  open_handles_.fetch_sub(1);
}

IoResult DeviceObject::Read(HandleContext* handle, std::span<uint8_t> out) {
  const RequestScope scope(*this);
  if (state_.load() == PnpState::kRemoved) return {STATUS_DELETE_PENDING, 0};
  if (!ownership_.Permits(handle)) return {STATUS_PIPE_BUSY, 0};
  const NtStatus status = buffer_.Take(out);
  if (!NtSuccess(status)) return {status, 0};
  return {STATUS_SUCCESS, static_cast<uint32_t>(out.size())};
}

IoResult DeviceObject::Write(HandleContext* handle, std::span<const uint8_t> in) {
  const RequestScope scope(*this);
  const PnpState state = state_.load();
  if (state == PnpState::kRemoved) return {STATUS_DELETE_PENDING, 0};
  if (state != PnpState::kWorking) {
    status_.Record(driver_status::kWriteNotWorking);
    return {STATUS_INVALID_DEVICE_STATE, 0};
  }
  if (!ownership_.Permits(handle)) return {STATUS_PIPE_BUSY, 0};
  IoResult result{STATUS_SUCCESS, 0};
  for (size_t offset = 0; offset < in.size(); offset += kWriteStageBytes) {
    const size_t stage = std::min<size_t>(kWriteStageBytes, in.size() - offset);
    const SyncTransferResult moved = edge_.BulkOut(in.subspan(offset, stage), kWaitForever);
    result.information += moved.bytes;
    if (NtSuccess(moved.status)) continue;
    result.status = moved.status;
    const bool first_stage = offset == 0;
    if (first_stage && moved.status != STATUS_CANCELLED && moved.status != STATUS_DEVICE_NOT_CONNECTED) {
      if (!NtSuccess(edge_.ResetPipe(Endpoint::kBulkOut))) ResetDevice();
    }
    break;
  }
  if (NtSuccess(result.status)) ownership_.NoteWrite(handle, in);
  return result;
}

}  // namespace velix::driver

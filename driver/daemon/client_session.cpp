#include "driver/daemon/client_session.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "driver/daemon/socket_byte_source.h"
#include "platform/device_wire.h"
#include "platform/trace.h"
#include "platform/wire_request_reader.h"

namespace velix::daemon {
namespace {

using platform::WireOp;
using platform::WireReply;
using platform::WireRequest;

constexpr size_t kDirectionOffset = 6;

bool IsEventFd(int fd) {
  char target[64] = {};
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t length = ::readlink(link.c_str(), target, sizeof(target) - 1);
  return length > 0 && std::string_view(target, static_cast<size_t>(length)) == "anon_inode:[eventfd]";
}

bool Reply(int fd, driver::NtStatus status, uint32_t information, std::span<const uint8_t> output = {},
           std::span<const uint8_t> stage = {}) {
  WireReply reply;
  reply.status = status;
  reply.information = information;
  reply.output_size = static_cast<uint32_t>(output.size());
  reply.stage_size = static_cast<uint32_t>(stage.size());
  const std::span<const uint8_t> parts[] = {output, stage};
  return platform::SendFrame(fd, platform::BytesOf(reply), parts);
}

class Session {
 public:
  Session(int fd, const DeviceLookup& lookup) : fd_(fd), lookup_(lookup) {}

  void Run() {
    SocketByteSource source(fd_);
    for (;;) {
      if (handle_ && !source.WaitForRequest()) break;
      platform::WireFrame frame;
      const platform::WireReadResult read = platform::ReadWireRequest(source, handle_ != nullptr, &frame);
      // Only the event-carrying control requests keep a descriptor.
      event_fd_ = frame.descriptor;
      const bool keep_going = Serve(read, frame);
      if (event_fd_ >= 0) ::close(event_fd_);
      event_fd_ = -1;
      if (!keep_going) break;
    }
    CloseHandle();
  }

 private:
  bool Serve(platform::WireReadResult read, platform::WireFrame& frame) {
    const WireRequest& request = frame.request;
    switch (read) {
      case platform::WireReadResult::kEnd:
        return false;
      case platform::WireReadResult::kMalformed:
        // The stream cannot be trusted past a bad header: answer and hang up.
        platform::Trace("velixd: malformed request (op %u) refused\n", request.op);
        Reply(fd_, driver::STATUS_INVALID_PARAMETER, 0);
        return false;
      case platform::WireReadResult::kNoHandle:
        Reply(fd_, driver::STATUS_INVALID_HANDLE, 0);
        return false;
      case platform::WireReadResult::kRequest:
        break;
    }
    input_ = std::move(frame.input);
    const auto op = static_cast<WireOp>(request.op);
    if (op == WireOp::kCreate) return Create(request);
    switch (op) {
      case WireOp::kClose:
        CloseHandle();
        Reply(fd_, driver::STATUS_SUCCESS, 0);
        return false;
      case WireOp::kRead: {
        if (scratch_.size() < request.output_size) scratch_.resize(request.output_size);
        const driver::IoResult result = device_->Read(handle_.get(), {scratch_.data(), request.output_size});
        return Reply(fd_, result.status, result.information, {scratch_.data(), result.information});
      }
      case WireOp::kWrite: {
        const driver::IoResult result = device_->Write(handle_.get(), input_);
        return Reply(fd_, result.status, result.information);
      }
      case WireOp::kControl:
        return Control(request, std::move(frame.stage));
      default:
        return false;
    }
  }

  bool Create(const WireRequest& request) {
    if (handle_) {
      Reply(fd_, driver::STATUS_INVALID_PARAMETER, 0);
      return true;
    }
    device_ = lookup_();
    if (!device_) {
      Reply(fd_, driver::STATUS_DELETE_PENDING, 0);
      return false;
    }
    const std::string name(input_.begin(), input_.end());
    std::optional<std::string_view> file_name;
    if (request.flags & platform::kWireHasFileName) file_name = name;
    driver::CreateResult result = device_->Create(file_name);
    handle_ = std::move(result.handle);
    Reply(fd_, result.status, 0);
    return handle_ != nullptr;
  }

  bool Control(const WireRequest& request, std::vector<uint8_t> stage) {
    // Without a stage that came along, stage_size is the room for what the
    // device returns.
    stage.resize(request.stage_size);

    driver::ControlRequest control;
    control.code = request.code;
    control.input = input_;
    control.output_size = request.output_size;
    if (event_fd_ >= 0 && IsEventFd(event_fd_)) {
      control.event = std::make_shared<platform::Event>(platform::Event::Adopt(event_fd_, platform::ResetMode::kManual));
      event_fd_ = -1;  // the event owns it now
    }
    control.caller.pointer_32bit = (request.flags & platform::kWireCaller32Bit) != 0;
    control.caller.resolve = [&stage](uint64_t, uint32_t length) -> std::span<uint8_t> {
      if (length > stage.size()) return {};
      return {stage.data(), length};
    };
    const driver::ControlResult result = device_->DeviceControl(handle_.get(), control);

    const size_t output_bytes = std::min<size_t>(result.output.size(), request.output_size);
    std::span<const uint8_t> stage_back;
    const bool device_to_host_copied = input_.size() > kDirectionOffset && input_[kDirectionOffset] == 1;
    if (request.code == driver::IOCTL_BULKUSB_VENDOR_REQUEST && device_to_host_copied) {
      stage_back = std::span<const uint8_t>(stage).first(std::min<size_t>(result.information, stage.size()));
    }
    return Reply(fd_, result.status, result.information, {result.output.data(), output_bytes}, stage_back);
  }

  void CloseHandle() {
    if (!handle_) return;
    device_->Close(handle_.get());
    handle_.reset();
    // A device that left the bus is removed once its last handle is gone.
    if (device_->State() == driver::PnpState::kSurpriseRemoved && device_->OpenHandles() == 0) {
      device_->RemoveDevice();
    }
  }

  const int fd_;
  const DeviceLookup& lookup_;
  std::shared_ptr<driver::DeviceObject> device_;
  std::unique_ptr<driver::HandleContext> handle_;
  int event_fd_ = -1;
  std::vector<uint8_t> input_;
  std::vector<uint8_t> scratch_;
};

}  // namespace

void RunClientSession(int fd, const DeviceLookup& lookup) { Session(fd, lookup).Run(); }

}  // namespace velix::daemon

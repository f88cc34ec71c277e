#pragma once
// The driver's one device object: open, close, read, write and the control
// codes, turned into accumulation-buffer operations, streaming engine calls
// and USB transfers on the lower edge. The daemon that hosts the driver
// drives the PnP state; every request passes the state gate first.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "driver/accumulation_buffer.h"
#include "driver/cancel_word.h"
#include "driver/driver_status.h"
#include "driver/stream_ownership.h"
#include "driver/streaming_engine.h"
#include "driver/usb_lower_edge.h"
#include "platform/event.h"

namespace velix::driver {

enum class PnpState { kNotStarted, kStopped, kWorking, kPendingStop, kPendingRemove, kSurpriseRemoved, kRemoved };

inline constexpr int kMaxPipes = 6;
inline constexpr uint32_t kSyncTransferTimeoutMs = 3000;
inline constexpr uint32_t kWriteStageBytes = 0xA0000;
inline constexpr uint8_t kDriverVersionMajor = 2;
inline constexpr uint8_t kDriverVersionMinor = 1;

// What an open handle carries: the pipe it was opened on, if any.
struct HandleContext {
  std::optional<int> pipe;
};

struct CreateResult {
  NtStatus status = STATUS_SUCCESS;
  std::unique_ptr<HandleContext> handle;  // set on success
};

// Completion status and the I/O status block's byte count.
struct IoResult {
  NtStatus status = STATUS_SUCCESS;
  uint32_t information = 0;
};

struct ControlResult {
  NtStatus status = STATUS_SUCCESS;
  uint32_t information = 0;
  std::vector<uint8_t> output;  // exactly `information` bytes
};

// The calling process as the vendor request sees it: its pointer width
// decides the record layout, and `resolve` turns the record's buffer address
// into the caller's memory (an empty span when the range is not the
// caller's).
struct CallerMemory {
  bool pointer_32bit = false;
  std::function<std::span<uint8_t>(uint64_t address, uint32_t length)> resolve;
};

struct ControlRequest {
  uint32_t code = 0;
  std::span<const uint8_t> input;
  uint32_t output_size = 0;
  // The event the 32-bit handle of BULK_START / SET_ONE_TRANSFER_EVENT
  // names in the caller's process; null when it names none.
  std::shared_ptr<platform::Event> event;
  CallerMemory caller;
};

class DeviceObject {
 public:
  explicit DeviceObject(UsbLowerEdge& edge);
  DeviceObject(const DeviceObject&) = delete;
  DeviceObject& operator=(const DeviceObject&) = delete;

  // Start-up: keeps a copy of the configuration descriptor, records the
  // first interface's pipes and enters the working state.
  NtStatus StartDevice();
  void SetPnpState(PnpState state) { state_.store(state); }
  // The device left the bus: streaming ends with the device gone, and new
  // requests other than read and close are refused. Transfers in flight are
  // completed by the lower edge, which ends them when the device goes.
  void SurpriseRemoval();
  // Final removal, once the last handle is closed: stops streaming without a
  // time limit, waits until no request is outstanding and frees the
  // accumulation buffer. Requests that arrive afterwards fail with
  // STATUS_DELETE_PENDING. Only the first call acts.
  void RemoveDevice();
  int OutstandingRequests() const;
  PnpState State() const { return state_.load(); }

  // `file_name` absent: the request carries no file object.
  CreateResult Create(std::optional<std::string_view> file_name);
  // A handle that owns the stream stops it (the device's too, if the handle
  // started it) and empties the accumulation buffer; any other close leaves
  // the stream alone.
  void Close(HandleContext* handle);
  IoResult Read(HandleContext* handle, std::span<uint8_t> out);
  IoResult Write(HandleContext* handle, std::span<const uint8_t> in);
  ControlResult DeviceControl(HandleContext* handle, const ControlRequest& request);

  DriverStatusWord& Status() { return status_; }
  AccumulationBuffer& Buffer() { return buffer_; }
  StreamingEngine& Engine() { return engine_; }
  int PipeCount() const { return static_cast<int>(pipes_.size()); }
  bool PipeOpen(int pipe) const;
  int OpenHandles() const { return open_handles_.load(); }

 private:
  // control_dispatch.cpp
  ControlResult GetConfigDescriptor(uint32_t output_size);
  ControlResult ResetPipe(HandleContext* handle);
  ControlResult VendorRequestCall(const ControlRequest& request);
  ControlResult FirmCommand(std::span<const uint8_t> input, uint32_t output_size);
  ControlResult GetUsbSpeed();
  NtStatus ResetDevice();
  SyncTransferResult SyncBulkIn(std::span<uint8_t> data);
  ControlResult BulkStart(const HandleContext* handle, const ControlRequest& request, bool has_handle);

  // Counts a dispatched request for as long as it is being carried out.
  class RequestScope {
   public:
    explicit RequestScope(DeviceObject& device);
    ~RequestScope();
    RequestScope(const RequestScope&) = delete;
    RequestScope& operator=(const RequestScope&) = delete;

   private:
    DeviceObject& device_;
  };

  struct Pipe {
    Endpoint endpoint;
    bool open = false;
  };

  UsbLowerEdge& edge_;
  DriverStatusWord status_;
  AccumulationBuffer buffer_{status_};
  StreamingEngine engine_{edge_, buffer_, status_};
  StreamOwnership ownership_;
  std::atomic<PnpState> state_{PnpState::kNotStarted};
  std::atomic<int> open_handles_{0};
  mutable std::mutex outstanding_lock_;
  std::condition_variable outstanding_drained_;
  int outstanding_ = 0;
  std::atomic<bool> removed_{false};
  mutable std::mutex pipes_lock_;
  std::vector<Pipe> pipes_;
  std::vector<uint8_t> config_descriptor_;
  // Shared by every synchronous transfer; clients issue them one at a time.
  CancelWord sync_cancel_;
  // A firmware command's reply comes back on the bulk IN pipe with nothing
  // to say whose it is: commands from two clients (a capture opening while
  // a dying client's last command is still served) must not interleave.
  std::mutex firm_command_lock_;
  std::atomic<TransferId> next_sync_id_{0};
};

}  // namespace velix::driver

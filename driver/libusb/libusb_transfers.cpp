// The transfers of the lower edge: asynchronous bulk and interrupt IN, the
// bulk OUT that callers wait for, the control requests, and the pipe and port
// requests.
#include <algorithm>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <mutex>

#include "driver/libusb/libusb_lower_edge.h"
#include "driver/libusb/libusb_status_map.h"

namespace velix::driver {
namespace {

constexpr uint16_t kFeatureEndpointHalt = 0;
// The driver itself waits for the clear-halt without a limit; the bound here
// only keeps a device that never answers from holding the daemon for good.
constexpr uint32_t kClearHaltTimeoutMs = 5000;
// A control request's wValue: a request longer than one stage is split, and
// each stage asks for the address where it starts.
constexpr size_t kControlAddressSpace = 0x10000;
// Ids of the edge's own bulk OUT transfers, apart from those callers choose.
constexpr TransferId kOwnTransferIds = TransferId{1} << 63;

SyncTransferResult NotConnected() { return {STATUS_DEVICE_NOT_CONNECTED, kUsbdSuccess, 0}; }
SyncTransferResult Refused(NtStatus status) { return {status, kUsbdSuccess, 0}; }

// bmRequestType from libusb's three separate enumerations.
uint8_t RequestType(libusb_request_type type, libusb_request_recipient recipient,
                    libusb_endpoint_direction direction) {
  return static_cast<uint8_t>(static_cast<unsigned>(type) | static_cast<unsigned>(recipient) |
                              static_cast<unsigned>(direction));
}

void RequestCancel(libusb_transfer* transfer) { libusb_cancel_transfer(transfer); }

}  // namespace

// A bulk OUT that its caller waits for. It runs as an asynchronous transfer
// in the in-flight table, so closing the device cancels it however long the
// device refuses the data.
struct LibusbLowerEdge::OutWait {
  LibusbLowerEdge* edge = nullptr;
  std::mutex mu;
  std::condition_variable finished;
  std::optional<SyncTransferResult> result;

  void Finish(const SyncTransferResult& outcome) {
    std::lock_guard lock(mu);
    result = outcome;
    finished.notify_all();
  }
  SyncTransferResult Wait() {
    std::unique_lock lock(mu);
    finished.wait(lock, [this] { return result.has_value(); });
    return *result;
  }
};

NtStatus LibusbLowerEdge::Submit(const UsbTransfer& transfer) {
  if (transfer.endpoint == Endpoint::kBulkOut || transfer.buffer.empty() || !transfer.on_complete ||
      transfer.buffer.size() > static_cast<size_t>(INT_MAX)) {
    return STATUS_INVALID_PARAMETER;
  }
  const std::shared_ptr<LibusbSession> session = Session();
  if (!session || session->closing.load()) return STATUS_DEVICE_NOT_CONNECTED;
  const EndpointLayout& endpoints = session->endpoints();
  const bool bulk = transfer.endpoint == Endpoint::kBulkIn;
  const std::optional<uint8_t> address = bulk ? endpoints.bulk_in : endpoints.interrupt_in;
  if (!address) return STATUS_INVALID_DEVICE_STATE;

  libusb_transfer* usb = libusb_alloc_transfer(0);
  if (!usb) return STATUS_INSUFFICIENT_RESOURCES;
  const int length = static_cast<int>(transfer.buffer.size());
  if (bulk) {
    libusb_fill_bulk_transfer(usb, session->handle(), *address, transfer.buffer.data(), length, &OnTransferDone,
                              this, 0);
  } else {
    libusb_fill_interrupt_transfer(usb, session->handle(), *address, transfer.buffer.data(), length,
                                   &OnTransferDone, this, 0);
  }
  if (!in_flight_.Add(transfer.id, usb, transfer.on_complete, session->serial())) {
    libusb_free_transfer(usb);
    return STATUS_INVALID_PARAMETER;
  }
  // Checked after the entry is in the table: a close that starts later
  // finds the entry and cancels it.
  const int error = session->closing.load() ? LIBUSB_ERROR_NO_DEVICE : libusb_submit_transfer(usb);
  if (error != LIBUSB_SUCCESS) {
    in_flight_.Abandon(transfer.id, usb);
    libusb_free_transfer(usb);
    return NtStatusOf(error);
  }
  in_flight_.MarkSubmitted(transfer.id, usb, RequestCancel);
  return STATUS_PENDING;
}

void LIBUSB_CALL LibusbLowerEdge::OnTransferDone(libusb_transfer* transfer) {
  auto* edge = static_cast<LibusbLowerEdge*>(transfer->user_data);
  const TransferOutcome outcome =
      OutcomeOfTransfer(transfer->status, transfer->actual_length, static_cast<size_t>(transfer->length));
  const bool gone = transfer->status == LIBUSB_TRANSFER_NO_DEVICE;
  const libusb_device_handle* handle = transfer->dev_handle;
  // Absent: the handle was closed and the transfer already finished.
  const TransferCompletion on_complete = edge->in_flight_.Complete(transfer);
  if (!on_complete) return;
  libusb_free_transfer(transfer);
  if (gone) edge->ReportRemovalOf(handle);
  on_complete(outcome.status, outcome.bytes);
}

void LIBUSB_CALL LibusbLowerEdge::OnBulkOutDone(libusb_transfer* transfer) {
  auto* wait = static_cast<OutWait*>(transfer->user_data);
  LibusbLowerEdge* edge = wait->edge;
  const SyncTransferResult result =
      SyncResultOfTransfer(transfer->status, transfer->actual_length, static_cast<size_t>(transfer->length));
  const bool gone = transfer->status == LIBUSB_TRANSFER_NO_DEVICE;
  const libusb_device_handle* handle = transfer->dev_handle;
  // Holds the wait alive until it is finished.
  const TransferCompletion entry = edge->in_flight_.Complete(transfer);
  if (!entry) return;
  libusb_free_transfer(transfer);
  if (gone) edge->ReportRemovalOf(handle);
  wait->Finish(result);
}

void LibusbLowerEdge::Cancel(TransferId id) { in_flight_.Cancel(id, RequestCancel); }

SyncTransferResult LibusbLowerEdge::BulkOut(std::span<const uint8_t> data, uint32_t timeout_ms) {
  std::shared_ptr<LibusbSession> session = Session();
  if (!session || session->closing.load()) return NotConnected();
  const std::optional<uint8_t> address = session->endpoints().bulk_out;
  if (!address) return Refused(STATUS_INVALID_DEVICE_STATE);
  if (data.size() > static_cast<size_t>(INT_MAX)) return Refused(STATUS_INVALID_PARAMETER);
  libusb_transfer* usb = libusb_alloc_transfer(0);
  if (!usb) return Refused(STATUS_INSUFFICIENT_RESOURCES);
  auto wait = std::make_shared<OutWait>();
  wait->edge = this;
  // libusb takes a mutable buffer for either direction; it only reads an OUT one.
  libusb_fill_bulk_transfer(usb, session->handle(), *address, const_cast<uint8_t*>(data.data()),
                            static_cast<int>(data.size()), &OnBulkOutDone, wait.get(), LibusbTimeout(timeout_ms));
  const TransferId id = kOwnTransferIds | next_out_id_.fetch_add(1);
  // Runs only when the handle closed with the transfer still queued.
  const TransferCompletion dropped = [wait](UsbdStatus, uint32_t) {
    wait->Finish({STATUS_DEVICE_NOT_CONNECTED, kUsbdDeviceGone, 0});
  };
  in_flight_.Add(id, usb, dropped, session->serial());
  const int error = session->closing.load() ? LIBUSB_ERROR_NO_DEVICE : libusb_submit_transfer(usb);
  if (error != LIBUSB_SUCCESS) {
    in_flight_.Abandon(id, usb);
    libusb_free_transfer(usb);
    return SyncResultOf(error, 0, data.size());
  }
  in_flight_.MarkSubmitted(id, usb, RequestCancel);
  // Waiting must not keep the handle open: a close that gives up on the
  // transfer finishes it when the handle goes.
  session.reset();
  return wait->Wait();
}

SyncTransferResult LibusbLowerEdge::ControlTransfer(const VendorRequest& setup, std::span<uint8_t> data,
                                                    uint32_t timeout_ms) {
  const std::shared_ptr<LibusbSession> session = Session();
  if (!session) return NotConnected();
  const bool split = data.size() > kMaxControlStageBytes;
  if (split && setup.value + data.size() > kControlAddressSpace) return Refused(STATUS_INVALID_PARAMETER);
  const uint8_t request_type = RequestType(LIBUSB_REQUEST_TYPE_VENDOR, LIBUSB_RECIPIENT_DEVICE,
                                           setup.device_to_host ? LIBUSB_ENDPOINT_IN : LIBUSB_ENDPOINT_OUT);
  size_t moved = 0;
  do {
    const size_t stage = std::min(data.size() - moved, kMaxControlStageBytes);
    const int result = libusb_control_transfer(session->handle(), request_type, setup.request,
                                               static_cast<uint16_t>(setup.value + moved), setup.index,
                                               data.data() + moved, static_cast<uint16_t>(stage),
                                               LibusbTimeout(timeout_ms));
    if (result < 0) return SyncResultOf(result, static_cast<int>(moved), data.size());
    moved += std::min(static_cast<size_t>(result), stage);
    // A short stage ends the request, as a short transfer would.
    if (static_cast<size_t>(result) < stage) break;
  } while (moved < data.size());
  return SyncResultOf(LIBUSB_SUCCESS, static_cast<int>(moved), data.size());
}

NtStatus LibusbLowerEdge::ResetPipe(Endpoint endpoint) {
  const std::shared_ptr<LibusbSession> session = Session();
  if (!session) return STATUS_DEVICE_NOT_CONNECTED;
  const EndpointLayout& endpoints = session->endpoints();
  const std::optional<uint8_t> address = endpoint == Endpoint::kBulkIn    ? endpoints.bulk_in
                                         : endpoint == Endpoint::kBulkOut ? endpoints.bulk_out
                                                                          : endpoints.interrupt_in;
  if (!address) return STATUS_INVALID_PARAMETER;
  // Clearing a halt under queued transfers loses their data toggle: the
  // device and the host then disagree about which packet comes next.
  if (PipeBusy(*address)) return STATUS_INVALID_DEVICE_STATE;
  return NtStatusOf(libusb_clear_halt(session->handle(), *address));
}

bool LibusbLowerEdge::PipeBusy(uint8_t address) const {
  return in_flight_.Any([address](const libusb_transfer* transfer) { return transfer->endpoint == address; });
}

NtStatus LibusbLowerEdge::GetPortStatus(uint32_t* port_status) {
  if (!port_status) return STATUS_INVALID_PARAMETER;
  // libusb shows no hub port, only whether the device is there for us.
  *port_status = Session() ? (kPortConnected | kPortEnabled) : 0;
  return STATUS_SUCCESS;
}

NtStatus LibusbLowerEdge::ResetPort() {
  const std::shared_ptr<LibusbSession> session = Session();
  if (!session) return STATUS_DEVICE_NOT_CONNECTED;
  const int error = libusb_reset_device(session->handle());
  // The device came back as a new one: this handle no longer reaches it.
  if (error == LIBUSB_ERROR_NOT_FOUND) Forget(*session);
  return NtStatusOf(error);
}

NtStatus LibusbLowerEdge::GetDescriptor(DescriptorType type, std::span<uint8_t> out, uint32_t* length) {
  if (!length) return STATUS_INVALID_PARAMETER;
  *length = 0;
  const std::shared_ptr<LibusbSession> session = Session();
  if (!session) return STATUS_DEVICE_NOT_CONNECTED;
  if (type == DescriptorType::kDevice) {
    libusb_device_descriptor descriptor;
    const int error = libusb_get_device_descriptor(session->device(), &descriptor);
    if (error != LIBUSB_SUCCESS) return NtStatusOf(error);
    const auto bytes = EncodeDeviceDescriptor(descriptor);
    const size_t n = std::min(out.size(), bytes.size());
    std::memcpy(out.data(), bytes.data(), n);
    *length = static_cast<uint32_t>(n);
    return STATUS_SUCCESS;
  }
  if (type != DescriptorType::kConfiguration) return STATUS_INVALID_PARAMETER;
  if (out.empty()) return STATUS_SUCCESS;
  const int asked = static_cast<int>(std::min(out.size(), kMaxControlStageBytes));
  const int got = libusb_get_descriptor(session->handle(), LIBUSB_DT_CONFIG, session->config_index(), out.data(),
                                        asked);
  if (got < 0) return NtStatusOf(got);
  *length = static_cast<uint32_t>(std::min(got, asked));
  return STATUS_SUCCESS;
}

uint16_t LibusbLowerEdge::BulkMaxPacketSize() const {
  const std::shared_ptr<LibusbSession> session = Session();
  return session ? session->endpoints().bulk_max_packet : 0;
}

NtStatus LibusbLowerEdge::ClearControlHalt() {
  const std::shared_ptr<LibusbSession> session = Session();
  if (!session) return STATUS_DEVICE_NOT_CONNECTED;
  const uint8_t request_type =
      RequestType(LIBUSB_REQUEST_TYPE_STANDARD, LIBUSB_RECIPIENT_ENDPOINT, LIBUSB_ENDPOINT_OUT);
  const int result = libusb_control_transfer(session->handle(), request_type, LIBUSB_REQUEST_CLEAR_FEATURE,
                                             kFeatureEndpointHalt, 0, nullptr, 0, kClearHaltTimeoutMs);
  return NtStatusOf(result < 0 ? result : LIBUSB_SUCCESS);
}

}  // namespace velix::driver

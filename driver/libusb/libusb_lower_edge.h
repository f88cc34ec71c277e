#pragma once
// The driver's USB lower edge on a real analyzer, through libusb.
//
// Threads: one event thread runs libusb's event handling, so every transfer
// completion and hot-plug notice arrives there; one presence thread opens
// the analyzer when it arrives, closes it when it leaves and tells the
// presence listener. While no analyzer is open, and always on systems without
// hot-plug notices, the presence thread also looks at the bus once a second:
// an arrival that could not be opened yet (busy, permissions not applied) is
// retried that way. Only one analyzer is served at a time: the best ranked
// identity on the bus, the operation mode first.
//
// The listener hears of a removal before any transfer that ended with it
// completes, so whoever such a completion wakes finds the device gone.
//
// Closing the device (removal, or Close) cancels the transfers still in
// flight and waits a while for their completions; short synchronous calls
// that are still running keep the handle until they return. Transfers that
// the device never gives back are finished as ended by removal once the
// handle is closed, so every completion still runs exactly once.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <libusb.h>

#include "driver/libusb/analyzer_identity.h"
#include "driver/libusb/in_flight_table.h"
#include "driver/libusb/libusb_session.h"
#include "driver/usb_lower_edge.h"

namespace velix::driver {

// How long the edge waits; the defaults suit a real bus.
struct LibusbEdgeTiming {
  // Transfers cancelled at a close finish within milliseconds; this bounds
  // the wait for a device that has stopped answering altogether.
  std::chrono::milliseconds drain_limit{5000};
  std::chrono::milliseconds poll_interval{1000};
  // A device that has just arrived may not yet be open to us: its
  // permissions are set by udev a moment after the kernel announces it.
  std::chrono::milliseconds arrival_open_pause{100};
};

class LibusbLowerEdge : public UsbLowerEdge {
 public:
  explicit LibusbLowerEdge(LibusbEdgeTiming timing = {}) : timing_(timing) {}
  ~LibusbLowerEdge() override;
  LibusbLowerEdge(const LibusbLowerEdge&) = delete;
  LibusbLowerEdge& operator=(const LibusbLowerEdge&) = delete;

  // Starts libusb, opens the first analyzer on the bus and starts following
  // arrivals and removals. An empty bus is fine: the first analyzer to arrive
  // is opened then. False, with a message for the user in *error, when libusb
  // cannot start or an analyzer on the bus cannot be opened. Call once.
  bool Open(std::string* error);
  // Stops following the bus and closes the analyzer: every transfer still
  // in flight, a bulk OUT that the device never accepts included, ends.
  // Nothing is reported to the listener. For shutdown; later calls do nothing.
  void Close();
  // The identity of the analyzer open now; empty while none is.
  std::optional<UsbId> OpenedDeviceId() const;

  // --- UsbLowerEdge ---
  NtStatus Submit(const UsbTransfer& transfer) override;
  void Cancel(TransferId id) override;
  SyncTransferResult BulkOut(std::span<const uint8_t> data, uint32_t timeout_ms) override;
  SyncTransferResult ControlTransfer(const VendorRequest& setup, std::span<uint8_t> data,
                                     uint32_t timeout_ms) override;
  NtStatus ResetPipe(Endpoint endpoint) override;
  NtStatus GetPortStatus(uint32_t* port_status) override;
  NtStatus ResetPort() override;
  NtStatus GetDescriptor(DescriptorType type, std::span<uint8_t> out, uint32_t* length) override;
  uint16_t BulkMaxPacketSize() const override;
  NtStatus ClearControlHalt() override;
  void SetPresenceListener(PresenceListener listener) override;

 private:
  // A device that arrived or left; holds a reference on the device.
  struct PresenceNews {
    bool arrived = false;
    libusb_device* device = nullptr;
  };

  struct OutWait;

  static void LIBUSB_CALL OnTransferDone(libusb_transfer* transfer);
  static void LIBUSB_CALL OnBulkOutDone(libusb_transfer* transfer);
  static int LIBUSB_CALL OnHotplug(libusb_context* context, libusb_device* device, libusb_hotplug_event event,
                                   void* user_data);

  std::shared_ptr<LibusbSession> Session() const;
  bool RegisterHotplug();
  void RunEvents();
  void RunPresence();
  void HandleNews(const PresenceNews& news);
  void Poll();
  bool OpenPreferredAnalyzer(std::string* error, bool* none_found = nullptr);
  bool OpenDevice(libusb_device* device, std::string* error);
  bool OpenArrivedDevice(libusb_device* device);
  void CloseDevice();
  // Completes what a closed handle left behind.
  void FinishLeftovers(uint64_t serial);
  // A transfer on `handle` found the device gone.
  void ReportRemovalOf(const libusb_device_handle* handle);
  // The handle of `session` is of no more use: the presence thread closes it
  // and looks for the device again.
  void Forget(const LibusbSession& session);
  // False when the listener knew already.
  bool ReportPresence(bool present);
  bool PipeBusy(uint8_t address) const;
  bool SleepUnlessQuitting(std::chrono::milliseconds pause);

  const LibusbEdgeTiming timing_;
  libusb_context* context_ = nullptr;
  InFlightTable in_flight_;
  std::atomic<TransferId> next_out_id_{0};
  bool closed_ = false;

  // Orders the listener's calls and its replacement, so that replacing it
  // waits for a call in progress.
  std::mutex report_mu_;
  PresenceListener listener_;    // guarded by report_mu_
  bool reported_present_ = false;  // guarded by report_mu_

  mutable std::mutex mu_;  // guards what follows up to the threads
  std::condition_variable news_ready_;
  std::shared_ptr<LibusbSession> session_;
  uint64_t last_serial_ = 0;
  std::deque<PresenceNews> news_;
  bool presence_quit_ = false;

  std::string last_open_error_;  // presence thread only
  bool hotplug_ = false;
  std::vector<libusb_hotplug_callback_handle> hotplug_handles_;
  std::atomic<bool> events_quit_{false};
  std::thread event_thread_;
  std::thread presence_thread_;
};

}  // namespace velix::driver

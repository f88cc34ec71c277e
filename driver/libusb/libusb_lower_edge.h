#pragma once
// The driver's USB lower edge on a real analyzer, through libusb.
//
// Threads: one event thread runs libusb's event handling, so every transfer
// completion and hot-plug notice arrives there; one presence thread opens
// the analyzer when it arrives, closes it when it leaves and tells the
// presence listener. On systems without hot-plug notices the presence thread
// looks at the bus once a second instead. Only one analyzer is served at a
// time: the first one found in any of its identities.
//
// Closing the device (removal, or destruction of the edge) cancels the
// transfers still in flight and waits for their completions before the
// handle goes; synchronous calls that are still running keep the handle
// until they return.

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

class LibusbLowerEdge : public UsbLowerEdge {
 public:
  LibusbLowerEdge() = default;
  ~LibusbLowerEdge() override;
  LibusbLowerEdge(const LibusbLowerEdge&) = delete;
  LibusbLowerEdge& operator=(const LibusbLowerEdge&) = delete;

  // Starts libusb, opens the first analyzer on the bus and starts following
  // arrivals and removals. An empty bus is fine: the first analyzer to arrive
  // is opened then. False, with a message for the user in *error, when libusb
  // cannot start or an analyzer on the bus cannot be opened. Call once.
  bool Open(std::string* error);
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

  static void LIBUSB_CALL OnTransferDone(libusb_transfer* transfer);
  static int LIBUSB_CALL OnHotplug(libusb_context* context, libusb_device* device, libusb_hotplug_event event,
                                   void* user_data);

  std::shared_ptr<LibusbSession> Session() const;
  bool RegisterHotplug();
  void RunEvents();
  void RunPresence();
  void HandleNews(const PresenceNews& news);
  void Poll();
  bool OpenFirstAnalyzer(std::string* error, bool* none_found = nullptr);
  bool OpenDevice(libusb_device* device, std::string* error);
  bool OpenArrivedDevice(libusb_device* device);
  // True when a device was open.
  bool CloseDevice();
  void ReportPresence(bool present);
  bool SleepUnlessQuitting(std::chrono::milliseconds pause);

  libusb_context* context_ = nullptr;
  InFlightTable in_flight_;

  mutable std::mutex mu_;  // guards what follows up to the threads
  std::condition_variable news_ready_;
  std::shared_ptr<LibusbSession> session_;
  PresenceListener listener_;
  std::deque<PresenceNews> news_;
  bool presence_quit_ = false;

  bool hotplug_ = false;
  std::vector<libusb_hotplug_callback_handle> hotplug_handles_;
  std::atomic<bool> events_quit_{false};
  std::thread event_thread_;
  std::thread presence_thread_;
};

}  // namespace velix::driver

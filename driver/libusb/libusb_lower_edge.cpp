// The life of the lower edge: starting libusb, finding and opening the
// analyzer, the event thread, and following the device's arrival and removal.
#include "driver/libusb/libusb_lower_edge.h"

#include <sys/time.h>

#include "platform/trace.h"

namespace velix::driver {
namespace {

using std::chrono::milliseconds;

constexpr long kEventWaitMicroseconds = 100'000;
constexpr milliseconds kEventErrorPause{10};
constexpr milliseconds kPollInterval{1000};
// Transfers cancelled at removal finish within milliseconds; this bounds the
// wait for a device that has stopped answering altogether.
constexpr milliseconds kDrainLimit{5000};
// A device that has just arrived may not yet be open to us: its permissions
// are set by udev a moment after the kernel announces it.
constexpr int kArrivalOpenAttempts = 10;
constexpr milliseconds kArrivalOpenPause{100};

// The identities of a libusb device list, in bus order.
std::vector<UsbId> IdsOf(libusb_device* const* list, ssize_t count) {
  std::vector<UsbId> ids(static_cast<size_t>(count));
  for (size_t i = 0; i < ids.size(); ++i) {
    libusb_device_descriptor descriptor;
    if (libusb_get_device_descriptor(list[i], &descriptor) == LIBUSB_SUCCESS) {
      ids[i] = {descriptor.idVendor, descriptor.idProduct};
    }
  }
  return ids;
}

}  // namespace

LibusbLowerEdge::~LibusbLowerEdge() {
  {
    std::lock_guard lock(mu_);
    presence_quit_ = true;
  }
  news_ready_.notify_all();
  if (presence_thread_.joinable()) presence_thread_.join();
  for (const libusb_hotplug_callback_handle handle : hotplug_handles_) {
    libusb_hotplug_deregister_callback(context_, handle);
  }
  // The event thread is still running: it delivers the cancellations.
  CloseDevice();
  events_quit_.store(true);
  if (context_) libusb_interrupt_event_handler(context_);
  if (event_thread_.joinable()) event_thread_.join();
  for (const PresenceNews& news : news_) libusb_unref_device(news.device);
  if (context_) libusb_exit(context_);
}

bool LibusbLowerEdge::Open(std::string* error) {
  const int started = libusb_init(&context_);
  if (started != LIBUSB_SUCCESS) {
    context_ = nullptr;
    *error = std::string("USB access could not start: ") + libusb_strerror(started) + ".";
    return false;
  }
  // Registered before the first look at the bus, so no removal in between
  // goes unnoticed.
  hotplug_ = libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG) != 0 && RegisterHotplug();
  event_thread_ = std::thread([this] { RunEvents(); });
  // No analyzer on the bus yet is not an error: the daemon waits for one to
  // arrive. One that is there but cannot be opened is.
  bool none_found = false;
  if (!OpenFirstAnalyzer(error, &none_found) && !none_found) return false;
  presence_thread_ = std::thread([this] { RunPresence(); });
  return true;
}

std::optional<UsbId> LibusbLowerEdge::OpenedDeviceId() const {
  const std::shared_ptr<LibusbSession> session = Session();
  if (!session) return std::nullopt;
  return session->id();
}

void LibusbLowerEdge::SetPresenceListener(PresenceListener listener) {
  std::lock_guard lock(mu_);
  listener_ = std::move(listener);
}

std::shared_ptr<LibusbSession> LibusbLowerEdge::Session() const {
  std::lock_guard lock(mu_);
  return session_;
}

bool LibusbLowerEdge::RegisterHotplug() {
  constexpr int kEvents = LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED | LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT;
  for (const UsbId& id : kAnalyzerIds) {
    libusb_hotplug_callback_handle handle = 0;
    const int error = libusb_hotplug_register_callback(context_, kEvents, 0, id.vendor_id, id.product_id,
                                                       LIBUSB_HOTPLUG_MATCH_ANY, &OnHotplug, this, &handle);
    if (error != LIBUSB_SUCCESS) {
      platform::Trace("velixd: hot-plug notices unavailable (%s), polling the bus instead",
                      libusb_error_name(error));
      for (const libusb_hotplug_callback_handle registered : hotplug_handles_) {
        libusb_hotplug_deregister_callback(context_, registered);
      }
      hotplug_handles_.clear();
      return false;
    }
    hotplug_handles_.push_back(handle);
  }
  return true;
}

int LIBUSB_CALL LibusbLowerEdge::OnHotplug(libusb_context*, libusb_device* device, libusb_hotplug_event event,
                                           void* user_data) {
  // Runs inside libusb's event handling: only queue the news.
  auto* edge = static_cast<LibusbLowerEdge*>(user_data);
  libusb_ref_device(device);
  {
    std::lock_guard lock(edge->mu_);
    edge->news_.push_back({event == LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED, device});
  }
  edge->news_ready_.notify_all();
  return 0;  // stay registered
}

void LibusbLowerEdge::RunEvents() {
  while (!events_quit_.load()) {
    timeval wait{0, kEventWaitMicroseconds};
    const int error = libusb_handle_events_timeout_completed(context_, &wait, nullptr);
    // A failure that repeats at once must not turn this loop into a spin.
    if (error != LIBUSB_SUCCESS && error != LIBUSB_ERROR_INTERRUPTED) std::this_thread::sleep_for(kEventErrorPause);
  }
}

void LibusbLowerEdge::RunPresence() {
  std::unique_lock lock(mu_);
  while (!presence_quit_) {
    const auto woken = [this] { return presence_quit_ || !news_.empty(); };
    if (hotplug_) {
      news_ready_.wait(lock, woken);
    } else {
      news_ready_.wait_for(lock, kPollInterval, woken);
    }
    if (presence_quit_) break;
    std::deque<PresenceNews> news;
    news.swap(news_);
    lock.unlock();
    for (const PresenceNews& item : news) {
      HandleNews(item);
      libusb_unref_device(item.device);
    }
    if (!hotplug_) Poll();
    lock.lock();
  }
}

void LibusbLowerEdge::HandleNews(const PresenceNews& news) {
  const std::shared_ptr<LibusbSession> session = Session();
  if (news.arrived) {
    // One analyzer at a time: a second one waits until the first leaves.
    if (!session && OpenArrivedDevice(news.device)) ReportPresence(true);
  } else if (session && session->device() == news.device && CloseDevice()) {
    ReportPresence(false);
    Poll();  // takes up a second analyzer that is already on the bus
  }
}

void LibusbLowerEdge::Poll() {
  libusb_device** list = nullptr;
  const ssize_t count = libusb_get_device_list(context_, &list);
  if (count < 0) return;
  const std::shared_ptr<LibusbSession> session = Session();
  bool report_arrival = false;
  bool still_there = false;
  if (session) {
    for (ssize_t i = 0; i < count; ++i) still_there = still_there || list[i] == session->device();
  } else if (const std::optional<size_t> first = FirstAnalyzer(IdsOf(list, count))) {
    std::string error;
    report_arrival = OpenDevice(list[*first], &error);
    if (!report_arrival) platform::Trace("velixd: %s", error.c_str());
  }
  libusb_free_device_list(list, 1);
  if (report_arrival) ReportPresence(true);
  if (session && !still_there && CloseDevice()) ReportPresence(false);
}

bool LibusbLowerEdge::OpenFirstAnalyzer(std::string* error, bool* none_found) {
  libusb_device** list = nullptr;
  const ssize_t count = libusb_get_device_list(context_, &list);
  if (count < 0) {
    *error = std::string("The USB devices could not be listed: ") + libusb_strerror(static_cast<int>(count)) + ".";
    return false;
  }
  const std::optional<size_t> first = FirstAnalyzer(IdsOf(list, count));
  const bool opened = first && OpenDevice(list[*first], error);
  if (!first) *error = NoAnalyzerMessage();
  if (none_found != nullptr) *none_found = !first;
  libusb_free_device_list(list, 1);
  return opened;
}

bool LibusbLowerEdge::OpenDevice(libusb_device* device, std::string* error) {
  int failure = LIBUSB_SUCCESS;
  std::unique_ptr<LibusbSession> session = LibusbSession::Open(device, &failure);
  if (!session) {
    libusb_device_descriptor descriptor{};
    libusb_get_device_descriptor(device, &descriptor);
    const UsbId id{descriptor.idVendor, descriptor.idProduct};
    if (failure == LIBUSB_ERROR_ACCESS) {
      *error = AccessDeniedMessage(id);
    } else if (failure == LIBUSB_ERROR_BUSY) {
      *error = DeviceBusyMessage(id);
    } else {
      *error = OpenFailedMessage(id, libusb_strerror(failure));
    }
    return false;
  }
  platform::Trace("velixd: opened the analyzer %s", FormatUsbId(session->id()).c_str());
  std::lock_guard lock(mu_);
  session_ = std::move(session);
  return true;
}

bool LibusbLowerEdge::OpenArrivedDevice(libusb_device* device) {
  std::string error;
  for (int attempt = 1; attempt <= kArrivalOpenAttempts; ++attempt) {
    if (OpenDevice(device, &error)) return true;
    if (!SleepUnlessQuitting(kArrivalOpenPause)) return false;
  }
  platform::Trace("velixd: %s", error.c_str());
  return false;
}

bool LibusbLowerEdge::CloseDevice() {
  std::shared_ptr<LibusbSession> session;
  {
    std::lock_guard lock(mu_);
    session.swap(session_);
  }
  if (!session) return false;
  session->closing.store(true);
  in_flight_.CancelAll([](libusb_transfer* transfer) { libusb_cancel_transfer(transfer); });
  if (!in_flight_.WaitUntilEmpty(kDrainLimit)) {
    platform::Trace("velixd: %zu USB transfers still open when the analyzer was closed", in_flight_.size());
  }
  platform::Trace("velixd: closed the analyzer %s", FormatUsbId(session->id()).c_str());
  // The handle closes when the last call still using it returns.
  return true;
}

void LibusbLowerEdge::ReportPresence(bool present) {
  PresenceListener listener;
  {
    std::lock_guard lock(mu_);
    listener = listener_;
  }
  if (listener) listener(present);
}

bool LibusbLowerEdge::SleepUnlessQuitting(milliseconds pause) {
  std::unique_lock lock(mu_);
  return !news_ready_.wait_for(lock, pause, [this] { return presence_quit_; });
}

}  // namespace velix::driver

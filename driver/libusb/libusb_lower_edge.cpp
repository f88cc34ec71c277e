// The life of the lower edge: starting libusb, finding and opening the
// analyzer, the event thread, and following the device's arrival and removal.
#include "driver/libusb/libusb_lower_edge.h"

#include <sys/time.h>

#include "driver/libusb/libusb_status_map.h"
#include "platform/trace.h"

namespace velix::driver {
namespace {

using std::chrono::milliseconds;

constexpr long kEventWaitMicroseconds = 100'000;
constexpr milliseconds kEventErrorPause{10};
constexpr int kArrivalOpenAttempts = 10;

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
  Close();
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
  const bool opened = OpenPreferredAnalyzer(error, &none_found);
  if (!opened && !none_found) return false;
  if (opened) ReportPresence(true);
  presence_thread_ = std::thread([this] { RunPresence(); });
  return true;
}

void LibusbLowerEdge::Close() {
  if (closed_) return;
  closed_ = true;
  {
    std::lock_guard lock(mu_);
    presence_quit_ = true;
  }
  news_ready_.notify_all();
  if (presence_thread_.joinable()) presence_thread_.join();
  for (const libusb_hotplug_callback_handle handle : hotplug_handles_) {
    libusb_hotplug_deregister_callback(context_, handle);
  }
  hotplug_handles_.clear();
  // The event thread is still running: it delivers the cancellations.
  CloseDevice();
}

std::optional<UsbId> LibusbLowerEdge::OpenedDeviceId() const {
  const std::shared_ptr<LibusbSession> session = Session();
  if (!session) return std::nullopt;
  return session->id();
}

void LibusbLowerEdge::SetPresenceListener(PresenceListener listener) {
  std::lock_guard order(report_mu_);
  listener_ = std::move(listener);
  // An analyzer opened before the listener came is news to it.
  if (listener_ && reported_present_) listener_(true);
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
    if (hotplug_ && session_) {
      news_ready_.wait(lock, woken);
    } else {
      news_ready_.wait_for(lock, timing_.poll_interval, woken);
    }
    if (presence_quit_) break;
    std::deque<PresenceNews> news;
    news.swap(news_);
    lock.unlock();
    for (const PresenceNews& item : news) {
      HandleNews(item);
      libusb_unref_device(item.device);
    }
    if (!hotplug_ || !Session()) Poll();
    lock.lock();
  }
}

void LibusbLowerEdge::HandleNews(const PresenceNews& news) {
  const std::shared_ptr<LibusbSession> session = Session();
  if (news.arrived) {
    // One analyzer at a time: a second one waits until the first leaves.
    if (!session && OpenArrivedDevice(news.device)) ReportPresence(true);
  } else if (session && session->device() == news.device) {
    // Told first: the completions of the cancelled transfers wake clients,
    // which must find the device gone.
    ReportPresence(false);
    CloseDevice();
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
  } else if (const std::optional<size_t> best = PreferredAnalyzer(IdsOf(list, count))) {
    std::string error;
    report_arrival = OpenDevice(list[*best], &error);
    // Said once, not every time the bus is looked at.
    if (!report_arrival && error != last_open_error_) platform::Trace("velixd: %s", error.c_str());
    last_open_error_ = report_arrival ? std::string() : error;
  }
  libusb_free_device_list(list, 1);
  if (report_arrival) ReportPresence(true);
  if (session && !still_there) {
    ReportPresence(false);
    CloseDevice();
  }
}

bool LibusbLowerEdge::OpenPreferredAnalyzer(std::string* error, bool* none_found) {
  libusb_device** list = nullptr;
  const ssize_t count = libusb_get_device_list(context_, &list);
  if (count < 0) {
    *error = std::string("The USB devices could not be listed: ") + libusb_strerror(static_cast<int>(count)) + ".";
    return false;
  }
  const std::optional<size_t> best = PreferredAnalyzer(IdsOf(list, count));
  const bool opened = best && OpenDevice(list[*best], error);
  if (!best) *error = NoAnalyzerMessage();
  if (none_found != nullptr) *none_found = !best;
  libusb_free_device_list(list, 1);
  return opened;
}

bool LibusbLowerEdge::OpenDevice(libusb_device* device, std::string* error) {
  int failure = LIBUSB_SUCCESS;
  uint64_t serial = 0;
  {
    std::lock_guard lock(mu_);
    serial = ++last_serial_;
  }
  std::unique_ptr<LibusbSession> opened = LibusbSession::Open(device, serial, &failure);
  if (!opened) {
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
  platform::Trace("velixd: opened the analyzer %s", FormatUsbId(opened->id()).c_str());
  // Whichever holder lets the session go last closes the handle, and the
  // transfers the handle took with it are finished then.
  std::shared_ptr<LibusbSession> session(opened.release(), [this](LibusbSession* closing) {
    const uint64_t closed = closing->serial();
    delete closing;
    FinishLeftovers(closed);
  });
  std::lock_guard lock(mu_);
  session_ = std::move(session);
  return true;
}

bool LibusbLowerEdge::OpenArrivedDevice(libusb_device* device) {
  std::string error;
  for (int attempt = 1; attempt <= kArrivalOpenAttempts; ++attempt) {
    if (OpenDevice(device, &error)) return true;
    if (!SleepUnlessQuitting(timing_.arrival_open_pause)) return false;
  }
  platform::Trace("velixd: %s", error.c_str());
  return false;
}

void LibusbLowerEdge::CloseDevice() {
  std::shared_ptr<LibusbSession> session;
  {
    std::lock_guard lock(mu_);
    session.swap(session_);
  }
  if (!session) return;
  session->closing.store(true);
  in_flight_.CancelAll([](libusb_transfer* transfer) { libusb_cancel_transfer(transfer); });
  if (!in_flight_.WaitUntilEmpty(timing_.drain_limit)) {
    platform::Trace("velixd: %zu USB transfers still open when the analyzer was closed", in_flight_.size());
  }
  platform::Trace("velixd: closed the analyzer %s", FormatUsbId(session->id()).c_str());
  // The handle closes when the last call still using it returns.
}

void LibusbLowerEdge::FinishLeftovers(uint64_t serial) {
  // libusb dropped these without their callbacks and left them to us to free.
  std::vector<InFlightTable::Leftover> leftovers = in_flight_.TakeSession(serial);
  if (!leftovers.empty()) platform::Trace("velixd: %zu USB transfers ended with the handle", leftovers.size());
  for (InFlightTable::Leftover& leftover : leftovers) {
    libusb_free_transfer(leftover.transfer);
    leftover.on_complete(kUsbdDeviceGone, 0);
  }
}

void LibusbLowerEdge::ReportRemovalOf(const libusb_device_handle* handle) {
  const std::shared_ptr<LibusbSession> session = Session();
  // A transfer of a handle closed meanwhile says nothing about the device
  // open now.
  if (session && session->handle() == handle && ReportPresence(false)) Forget(*session);
}

void LibusbLowerEdge::Forget(const LibusbSession& session) {
  libusb_device* device = session.device();
  libusb_ref_device(device);
  {
    std::lock_guard lock(mu_);
    news_.push_back({false, device});
  }
  news_ready_.notify_all();
}

bool LibusbLowerEdge::ReportPresence(bool present) {
  std::lock_guard order(report_mu_);
  // Every transfer that ends with a removal reports it; the listener hears
  // of it once.
  if (reported_present_ == present) return false;
  reported_present_ = present;
  if (listener_) listener_(present);
  return true;
}

bool LibusbLowerEdge::SleepUnlessQuitting(milliseconds pause) {
  std::unique_lock lock(mu_);
  return !news_ready_.wait_for(lock, pause, [this] { return presence_quit_; });
}

}  // namespace velix::driver

#pragma once
// A model of the analyzer behind the driver's USB lower edge. One worker
// thread completes the asynchronous transfers (bulk IN stream data and
// command replies, interrupt messages); command packets and vendor requests
// are handled synchronously on the caller's thread. Every completion
// callback runs on the worker thread (cancellation and unplugging run them
// on the caller's), never under the device's lock.
//
// When its stream source is exhausted the device behaves like an analyzer
// on a quiet bus: in bus analyzer mode it goes on sending atoms that hold
// the lines' last state, in monitor mode it sends nothing more; the host
// ends the capture. With StreamConfig::end_at_source_end it ends the stream
// on its own instead, with the interrupt message 00 02 (kEndOfDataMessage).
// A FIFO overrun ends it with 00 01.

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "driver/usb_lower_edge.h"
#include "sim/device/command_processor.h"
#include "sim/device/device_memory.h"
#include "sim/device/stream_source.h"
#include "sim/device/usb_identity.h"

namespace velix::sim {

// Transfers still in flight when the device leaves the bus end with this
// USB status.
inline constexpr driver::UsbdStatus kUsbdDeviceGone = 0xC0007000u;
inline constexpr uint8_t kEndOfDataMessage[2] = {0x00, 0x02};
inline constexpr uint8_t kFifoOverrunMessage[2] = {0x00, 0x01};

enum class FaultKind : uint8_t {
  kFifoOverrun,    // interrupt message 00 01, the stream stops
  kStallBulkIn,    // bulk IN halts (STALL) until its pipe is reset
  kTransferError,  // one bulk IN transfer ends with XACT_ERROR
  kUnplug,         // the device leaves the bus
};

struct StreamConfig {
  uint64_t bytes_per_second = 0;  // 0: as fast as the host takes them
  uint32_t max_transfer_bytes = 0;  // 0: up to each transfer's buffer size
  bool keep_bytes = false;          // keep a copy of every byte sent
  bool end_at_source_end = false;   // end the stream with 00 02 when the source runs out
};

struct StreamRecord {
  uint64_t bytes = 0;
  uint64_t checksum = kStreamChecksumSeed;
  std::vector<uint8_t> data;  // only with keep_bytes
};

class SimulatedDevice : public driver::UsbLowerEdge {
 public:
  // `state_path` empty: a factory-fresh device that keeps nothing.
  explicit SimulatedDevice(std::string state_path = {});
  ~SimulatedDevice() override;
  SimulatedDevice(const SimulatedDevice&) = delete;
  SimulatedDevice& operator=(const SimulatedDevice&) = delete;

  // --- Controls for tests and tools ---
  // Plugs in with the personality the device's memory decides: no firmware
  // marker in the EEPROM gives the bare FX2; a pending 0xD9 or a flash record
  // without the operation identity gives firmware update mode.
  void Plug();
  void PlugAs(Personality personality);
  // In-flight transfers end with kUsbdDeviceGone; later calls fail with
  // STATUS_DEVICE_NOT_CONNECTED.
  void Unplug();
  bool plugged() const;
  Personality personality() const;
  void SetHighSpeed(bool high_speed);
  void SetRemoteWakeup(bool supported);
  // Which CPLD image is loaded (kept in the state file).
  void SetAnalyzerImage(bool analyzer);
  void SetTargetSelfPowered(bool powered);

  void SetStreamData(StreamData data);
  // The scenario is synthesized for the loaded image's mode.
  bool LoadScenario(std::string_view scenario_text, SynthOptions options, uint64_t max_bytes, std::string* error);
  bool LoadSicFile(const std::string& path, uint64_t max_bytes, std::string* error);
  void SetStreamConfig(const StreamConfig& config);

  // Fires when the stream has sent `at_byte` bytes; 0 fires at the next chance.
  void ScheduleFault(FaultKind kind, uint64_t at_byte);
  // Replies become readable only this long after their command.
  void SetReplyDelay(std::chrono::milliseconds delay);

  // --- Observations ---
  std::vector<std::vector<uint8_t>> ReceivedBulkOut() const;
  StreamRecord SentRecord() const;
  // The checksum of part of the stream source; empty when out of range.
  std::optional<uint64_t> SourceChecksum(uint64_t offset, uint64_t length) const;
  bool streaming() const;
  uint8_t power_supply() const;
  std::array<uint8_t, kCommandPacketSize> trigger_out_setting() const;
  DeviceMemory Memory() const;
  // The last failure to read or write the state file; empty when none.
  std::string state_error() const;

  // --- UsbLowerEdge ---
  driver::NtStatus Submit(const driver::UsbTransfer& transfer) override;
  void Cancel(driver::TransferId id) override;
  driver::SyncTransferResult BulkOut(std::span<const uint8_t> data, uint32_t timeout_ms) override;
  driver::SyncTransferResult ControlTransfer(const driver::VendorRequest& setup, std::span<uint8_t> data,
                                             uint32_t timeout_ms) override;
  driver::NtStatus ResetPipe(driver::Endpoint endpoint) override;
  driver::NtStatus GetPortStatus(uint32_t* port_status) override;
  driver::NtStatus ResetPort() override;
  driver::NtStatus GetDescriptor(driver::DescriptorType type, std::span<uint8_t> out, uint32_t* length) override;
  uint16_t BulkMaxPacketSize() const override;
  driver::NtStatus ClearControlHalt() override;
  void SetPresenceListener(driver::PresenceListener listener) override;

  // How often the host has cleared a halt of the control pipe.
  int control_halt_clears() const;

 private:
  using Clock = std::chrono::steady_clock;
  struct Completion {
    driver::TransferCompletion callback;
    driver::UsbdStatus status;
    uint32_t bytes;
  };
  using Completions = std::vector<Completion>;
  struct Fault {
    FaultKind kind;
    uint64_t at_byte;
  };

  void Run();
  // Completes what can be completed now; sets *wake_at when something
  // becomes due later.
  void ServiceLocked(Clock::time_point now, Completions* done, std::optional<Clock::time_point>* wake_at);
  void ServiceBulkInLocked(Clock::time_point now, Completions* done, std::optional<Clock::time_point>* wake_at);
  bool ServiceStreamLocked(Clock::time_point now, Completions* done, std::optional<Clock::time_point>* wake_at);
  // Copies the next stream bytes (source data, then a quiet bus) into `out`.
  void FillStreamLocked(std::span<uint8_t> out);
  void CompleteFrontLocked(std::deque<driver::UsbTransfer>* queue, driver::UsbdStatus status, uint32_t bytes,
                           Completions* done);
  void StartStreamLocked();
  void EndStreamLocked(const uint8_t (&message)[2]);
  void UnplugLocked(Completions* done);
  void PlugLocked(Personality personality);
  // Plugs in with the personality the memory decides (see Plug()).
  void PlugByMemoryLocked();
  void SaveStateLocked();
  static void RunCompletions(Completions* done);
  // Tells the listener of arrivals and removals, then runs the completions.
  void Deliver(Completions* done);
  void DeliverPresence();

  const std::string state_path_;
  mutable std::mutex mu_;
  std::condition_variable wake_;
  DeviceMemory memory_;
  CommandProcessor processor_{&memory_};
  std::string state_error_;

  bool plugged_ = false;
  Personality personality_ = Personality::kOperation;
  bool high_speed_ = true;
  bool remote_wakeup_ = false;
  bool bulk_in_stalled_ = false;
  std::vector<uint8_t> ram_;  // the bare FX2's program memory
  bool cpu_held_in_reset_ = false;
  bool ram_loaded_ = false;

  std::deque<driver::UsbTransfer> bulk_in_;
  std::deque<driver::UsbTransfer> interrupt_in_;
  std::vector<std::vector<uint8_t>> received_;
  std::vector<uint8_t> reply_;
  Clock::time_point reply_ready_;
  std::chrono::milliseconds reply_delay_{0};
  std::optional<std::array<uint8_t, 2>> message_;

  StreamData source_;
  uint8_t idle_state_ = 0x0F;  // the lines' state once the source has run out
  StreamConfig stream_config_;
  bool streaming_ = false;
  size_t position_ = 0;
  Clock::time_point stream_start_;
  StreamRecord sent_;
  std::vector<Fault> faults_;  // ordered by at_byte

  // Arrivals (true) and removals (false) not yet told to the listener.
  std::vector<bool> presence_news_;
  std::mutex presence_mu_;  // taken before mu_; keeps the news in order
  driver::PresenceListener presence_listener_;
  int control_halt_clears_ = 0;

  bool quit_ = false;
  std::thread worker_;
};

}  // namespace velix::sim

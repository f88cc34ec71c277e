#pragma once
// A scripted device behind the channel interface: it records every request,
// answers the status and count requests, and after a start streams a
// numbered byte pattern one transfer at a time, setting the client's events
// the way the driver does.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/event.h"
#include "tools/velixctl/device_channel.h"

namespace velix::ctl::testing {

struct RecordedCall {
  std::string name;  // the control code's short name, "read" or "write"
  std::vector<uint8_t> input;  // read: the requested size, little-endian
};

struct ScriptedAnswer {
  RequestResult result;
  std::vector<uint8_t> output;
};

// Byte number `index` of the stream the fake device sends.
uint8_t StreamByte(uint64_t index);

class FakeDevice : public DeviceChannel {
 public:
  RequestResult Control(uint32_t code, std::span<const uint8_t> input,
                        std::span<uint8_t> output) override;
  RequestResult Read(std::span<uint8_t> buffer) override;
  RequestResult Write(std::span<const uint8_t> bytes) override;

  std::vector<std::string> CallNames() const;

  // Script.
  std::map<uint32_t, ScriptedAnswer> answers;  // replaces the built-in answer
  uint32_t driver_status = 0;
  bool status_fails = false;
  bool reads_fail = false;
  uint32_t start_output = 0;
  uint64_t device_bytes = 0;       // what the device sends after a start
  uint32_t transfer_bytes = 1000;  // one stored transfer
  std::optional<uint64_t> message_after;  // device message once this much was sent
  bool signal_transfers = true;
  uint32_t pending = 0;  // bytes waiting in the accumulation buffer

  // Observations.
  std::vector<RecordedCall> calls;
  platform::Event transfer_event;
  platform::Event start_event;

 private:
  void Produce();
  bool streaming_ = false;
  uint64_t produced_ = 0;
  uint64_t read_ = 0;
};

}  // namespace velix::ctl::testing

#pragma once
// Command exchanges as the driver's FIRM_COMMAND does them: the packet on
// bulk OUT, then one bulk IN transfer for the reply.

#include <chrono>
#include <future>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

#include "sim/device/simulated_device.h"

namespace velix::sim::testing {

// A 10-byte packet: the bytes given, zeros after them.
inline std::vector<uint8_t> Packet(std::initializer_list<uint8_t> bytes) {
  std::vector<uint8_t> packet(bytes);
  packet.resize(kCommandPacketSize, 0);
  return packet;
}

// The start commands of the two personalities' streams.
inline const std::vector<uint8_t> kAnalyzerStart = Packet({0xC4, 0x03, 0x00, 0x00, 0x22});
inline const std::vector<uint8_t> kMonitorStart = Packet({0xC6, 0x00, 0x00, 0x00, 0x06});

struct ReadResult {
  driver::UsbdStatus status = driver::kUsbdPending;
  std::vector<uint8_t> bytes;
};

// One bulk IN transfer; cancelled after `timeout`, the result then says so.
inline ReadResult ReadBulkIn(driver::UsbLowerEdge* edge, size_t buffer_size,
                             std::chrono::milliseconds timeout = std::chrono::milliseconds(500)) {
  auto buffer = std::make_shared<std::vector<uint8_t>>(buffer_size);
  auto done = std::make_shared<std::promise<std::pair<driver::UsbdStatus, uint32_t>>>();
  auto outcome = done->get_future();
  driver::UsbTransfer transfer;
  transfer.id = 7;
  transfer.buffer = *buffer;
  transfer.on_complete = [done](driver::UsbdStatus status, uint32_t bytes) { done->set_value({status, bytes}); };
  if (edge->Submit(transfer) != driver::STATUS_PENDING) return {};
  if (outcome.wait_for(timeout) != std::future_status::ready) edge->Cancel(7);
  const auto [status, bytes] = outcome.get();
  return {status, std::vector<uint8_t>(buffer->begin(), buffer->begin() + bytes)};
}

inline bool Send(driver::UsbLowerEdge* edge, const std::vector<uint8_t>& bytes) {
  const driver::SyncTransferResult result = edge->BulkOut(bytes, 3000);
  return result.status == driver::STATUS_SUCCESS && result.bytes == bytes.size();
}

// Sends the packet and reads its reply into a buffer of `reply_buffer` bytes.
inline std::optional<std::vector<uint8_t>> Exchange(driver::UsbLowerEdge* edge, const std::vector<uint8_t>& packet,
                                                    size_t reply_buffer) {
  if (!Send(edge, packet)) return std::nullopt;
  ReadResult reply = ReadBulkIn(edge, reply_buffer);
  if (reply.status != driver::kUsbdSuccess) return std::nullopt;
  return reply.bytes;
}

}  // namespace velix::sim::testing

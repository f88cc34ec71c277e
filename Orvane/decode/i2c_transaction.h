#pragma once
// The state of one open analyzer I2C transaction while the decoder walks
// its atoms: where it opened, the running totals, the address byte(s), the
// R/W bit, the ACK slots, the HS master code state and the first bytes for
// the preview. Kept in one plain struct so the per-atom path stays inline.

#include <cstdint>

#include "Orvane/capture/transaction_info.h"

namespace orvane {

// The HS master code state of a decode step.
enum class HsState : uint8_t { kNone = 0, kMasterCode = 1, kMasterCodeNacked = 2, kTransfer = 3 };

// What a decode step remembers across its transactions: the HS state and
// the address of the last 10-bit write (for a later 10-bit read after Sr).
struct I2CStepMemory {
  HsState hs = HsState::kNone;
  uint8_t ten_bit_upper = 0;
  uint8_t ten_bit_low = 0;
};

struct I2CTransaction {
  // Two address bytes and ten data bytes: enough for any preview.
  static constexpr uint32_t kPreviewBytes = 12;

  uint8_t kind = 0;           // kBeganStart or kBeganRepeatedStart
  uint8_t old_signal = 0;
  uint16_t lead_in = 0;
  uint32_t start_position = 0;
  uint64_t start_clock = 0;
  uint32_t bytes = 0;         // since the opening atom
  uint32_t clocks = 0;
  uint32_t bytes_at_rise = 0;
  uint32_t clocks_at_rise = 0;
  uint32_t n = 0;             // SCL rising edges since the opening condition
  uint8_t first = 0;
  uint8_t second = 0;
  bool ten_bit = false;
  uint8_t upper = 0;
  uint8_t low = 0;
  uint8_t rw = 0;
  bool nack = false;
  uint8_t last_ack = 0;
  uint16_t status = 0;
  // Preview: the bits of every SCL rise, the newest lowest. A byte's eight
  // data bits go into `preview` at its acknowledge rise; a bit counts only
  // once the next rise proves it was one, since the rise before a STOP or
  // repeated START is not one (the close commits the last bit when it is).
  uint32_t rise_bits = 0;
  uint8_t preview[kPreviewBytes] = {};

  void Begin(uint8_t begin_kind, uint32_t position, uint64_t clock, uint16_t count, uint8_t before) {
    *this = I2CTransaction{};
    kind = begin_kind;
    start_position = position;
    start_clock = clock;
    lead_in = count;
    old_signal = before;
  }

  // At the close: the preview's last, partly filled byte from the first
  // `committed` rises (`n` or `n` - 1).
  void CommitPartialByte(uint32_t committed) {
    const uint32_t byte = committed / 9;
    const uint32_t bits = committed % 9;
    if (bits == 0 || byte >= kPreviewBytes) return;
    preview[byte] = static_cast<uint8_t>((rise_bits >> (n - committed)) & ((1u << bits) - 1));
  }

  // An SCL rising edge with bit value b inside the transaction, where the
  // totals have reached `bytes_now` and `clocks_now` (the decoder may keep
  // its running totals outside this struct while it walks).
  void OnRise(uint8_t b, bool hs_enabled, I2CStepMemory& memory, uint32_t bytes_now, uint32_t clocks_now) {
    bytes_at_rise = bytes_now;
    clocks_at_rise = clocks_now;
    rise_bits = (rise_bits << 1) | b;
    // Past the address bytes only the data bits and the acknowledges count.
    if (n > 16) [[likely]] {
      if (n % 9 == 8) {
        CommitByte();
        nack = nack || last_ack;
        last_ack = b;
      }
      ++n;
      return;
    }
    if (n < 8) {
      first = static_cast<uint8_t>((first << 1) | b);
      if (n == 7) FirstByteComplete(b, hs_enabled, memory);
    }
    if (hs_enabled && memory.hs == HsState::kMasterCode && n == 8) {
      memory.hs = b ? HsState::kMasterCodeNacked : HsState::kNone;
    }
    if (ten_bit && n >= 9 && n <= 16 && (kind == kBeganStart || rw == 0)) {
      second = static_cast<uint8_t>((second << 1) | b);
      if (n == 16) {
        low = second;
        memory.ten_bit_low = second;
      }
    } else if (n == 7) {
      rw = b;
    }
    if (n % 9 == 8) {
      CommitByte();
      if (hs_enabled && n == 8 && memory.hs == HsState::kMasterCodeNacked) {
        last_ack = 0;
      } else {
        nack = nack || last_ack;
        last_ack = b;
      }
    }
    ++n;
  }

 private:
  // At the acknowledge rise of byte n / 9: its eight data bits, proven.
  void CommitByte() {
    const uint32_t byte = n / 9;
    if (byte < kPreviewBytes) preview[byte] = static_cast<uint8_t>(rise_bits >> 1);
  }

  void FirstByteComplete(uint8_t b, bool hs_enabled, I2CStepMemory& memory) {
    if ((first & 0xF8) == 0xF0) {
      ten_bit = true;
      upper = (first >> 1) & 3;
      second = 0;
      if (kind == kBeganStart) {
        memory.ten_bit_upper = upper;
      } else {
        rw = b;
        if (b == 0) {
          memory.ten_bit_upper = upper;
        } else if (upper == memory.ten_bit_upper) {
          low = memory.ten_bit_low;
        }
      }
      return;
    }
    ten_bit = false;
    upper = 0;
    low = static_cast<uint8_t>(first >> 1);
    if (hs_enabled && memory.hs != HsState::kTransfer && (first & 0xF8) == 0x08) {
      memory.hs = HsState::kMasterCode;
    }
  }
};

}  // namespace orvane

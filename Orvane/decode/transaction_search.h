#pragma once
// Search and jump over the rows of the view index (the filtered rows). A
// search steps one row (or one byte) at a time from the selected row, never
// wraps, posts its status texts to the InteractionSink (StatusText, colour
// 0) and shows its not-found message there (exclamation icon, OK). The
// caller selects the row of a hit and, for byte hits, highlights the bytes
// and moves the waveform. The jump never asks: it returns the question and
// the row a Yes would select.

#include <array>
#include <cstdint>
#include <optional>

#include "Orvane/capture/sampling_obj.h"
#include "Orvane/capture/settings_record.h"
#include "Orvane/decode/cell_texts.h"
#include "Orvane/decode/detail_loader.h"
#include "platform/interaction.h"

namespace orvane {

enum class SearchKind : uint8_t { kNone = 0, kData = 1, kI2CAddress = 2, kI2CSubAddress = 3,
                                  kNack = 4, kError = 5 };
enum class SearchDirection : uint8_t { kForward = 0, kBackward = 1 };

// Remembered for the application's lifetime (not saved). The dialogs show
// and update the values; the searches update kind, direction and offset.
struct SearchMemory {
  SearchKind kind = SearchKind::kNone;
  SearchDirection direction = SearchDirection::kForward;
  uint32_t byte_offset = 0;            // of the last data or NACK match
  std::optional<uint32_t> byte_row;    // the row that offset lies in
  uint8_t data_length = 1;             // 1..8
  std::array<uint8_t, 8> data_pattern{};
  uint16_t address = 0;
  bool address_10bit = false;
  bool address_read = true;            // the address search finds reads,
  bool address_write = true;           // writes, or both
  uint8_t sub_length = 1;              // 1..4
  std::array<uint8_t, 4> sub_data{};
};

// What a search reads and whom it tells.
struct SearchEnv {
  CSamplingObj& sampling;
  const SettingsRecord& settings;
  velix::platform::InteractionSink& sink;
  DetailLoader load;
};

// The application's environment: bytes come from the sampling data.
inline SearchEnv ApplicationSearchEnv(CSamplingObj& sampling, const SettingsRecord& settings,
                                      velix::platform::InteractionSink& sink) {
  return {sampling, settings, sink, &LoadTransactionDetail};
}

struct SearchHit {
  bool found = false;
  uint32_t row = 0;
  // Data and NACK hits: the bytes to highlight in the row's detail.
  uint32_t byte_offset = 0;
  uint32_t byte_count = 0;
  uint8_t line = 0;              // SPI: 0 = first array (MISO column), 1 = second
  bool has_clock = false;        // analyzer data: the waveform moves here
  uint32_t clock_offset = 0;     // data byte's first bit, or the NACK's ACK bit
};

// A search from its dialog or menu command; remembers kind and direction.
SearchHit RunSearch(SearchEnv& env, SearchMemory& memory, SearchKind kind,
                    SearchDirection direction, std::optional<uint32_t> selected_row);
// "Search Next" / "Search Previous": the last kind again (nothing when none).
SearchHit RepeatSearch(SearchEnv& env, SearchMemory& memory, SearchDirection direction,
                       std::optional<uint32_t> selected_row);
// "Jump Trigger transaction": the first row holding the trigger record.
SearchHit FindTriggerRow(SearchEnv& env);

enum class JumpOutcome { kFound, kAskNearest, kNoRows };
struct JumpResult {
  JumpOutcome outcome = JumpOutcome::kNoRows;
  uint32_t row = 0;  // kFound: the row; kAskNearest: the row a Yes selects
};
inline constexpr char kJumpNearestQuestion[] =
    "Transaction is not found.\r\r\nDo you jump to the nearest transaction?";
// Rows "Jump Transaction number" offers: Index of the first and last row.
bool JumpRange(CSamplingObj& sampling, uint32_t* first_index, uint32_t* last_index);
JumpResult JumpToTransaction(SearchEnv& env, uint32_t number);

}  // namespace orvane

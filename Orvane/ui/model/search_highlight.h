#pragma once
// How the data tabs mark a search result: which row of bytes the found
// bytes lie in. Only data and NACK searches find bytes; the others find a
// whole transaction.

#include <cstdint>
#include <optional>

#include "Orvane/decode/transaction_search.h"
#include "Orvane/ui/tabs/transaction_tab.h"

namespace orvane::ui {

// `line` is the hit's byte array: for SPI data 0 is the line shown as MISO,
// 1 the other. `spi`: SPI data outside forced display.
std::optional<HighlightKind> SearchHighlightOf(SearchKind kind, uint8_t line, bool spi);

// The waveform's target for a hit with a clock offset.
std::optional<int32_t> SearchHitClock(const SearchHit& hit);

}  // namespace orvane::ui

#pragma once
// The CSV line of one record, written straight into the export's block:
// the fixed pieces as whole stores, the numbers and data bytes from
// tables, and no length check per cell, since the caller gives room for
// the longest line the record can make.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Orvane/capture/transaction_detail.h"
#include "Orvane/capture/transaction_info.h"
#include "Orvane/decode/cell_texts.h"

namespace orvane {

class CsvRowWriter {
 public:
  // Each line ends with `line_end` (at most two characters).
  CsvRowWriter(const RecordTextMode& mode, std::string_view line_end);

  // Room Put() needs for any record with these bytes.
  size_t MaxLength(const TransactionDetail& detail) const;
  // Writes the line at `at` and returns its end.
  char* Put(const TransactionInfo& record, const TransactionDetail& detail, char* at);

 private:
  // The "Error, Info" text; neighbouring records mostly share it, so the
  // last one is kept with what it was made from.
  const std::string& Remarks(const TransactionInfo& record);

  RecordTextMode mode_;
  std::string_view line_end_;
  size_t fixed_max_;  // the room of a line without data bytes
  uint32_t remarks_key_ = ~uint32_t{0};  // no record gives this key
  std::string remarks_;
};

}  // namespace orvane

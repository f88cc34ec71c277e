#include "Orvane/decode/export_text.h"

#include <unistd.h>

#include "Orvane/decode/export_rows.h"
#include "Orvane/decode/hex_dump.h"
#include "Orvane/decode/text_append.h"

namespace orvane {

namespace {

const std::string kOpenRule = "+" + std::string(81, '=') + "+\n";
const std::string kCloseRule = "-" + std::string(81, '=') + "-\n";

class TextReport {
 public:
  TextReport(ExportEnv& env, int fd, bool header_only)
      : env_(env), out_(fd), header_only_(header_only), mode_(TextModeOf(env.settings)) {}

  // A failed write shows in Out().Failed().
  void WriteTitle();
  bool WriteRow(const TransactionInfo& r);
  ExportWriter& Out() { return out_; }

 private:
  void AppendHeaderOnlyData(const TransactionInfo& r);
  void WriteAllData(const TransactionInfo& r);
  void AppendDumpTitle(const char* line_name, uint32_t count);

  ExportEnv& env_;
  ExportWriter out_;
  bool header_only_;
  RecordTextMode mode_;
  std::string text_;  // reused for every row
};

void TextReport::WriteTitle() {
  const uint8_t channel = env_.settings.m_AnalyzeBusChannel;
  std::string title = mode_.monitor ? "MONITOR MODE " : "ANALYZER  MODE ";
  title += (channel == 1 || channel == 2) ? "-- I2C" : "-- SPI";
  out_.Write(title + "\n\n");
}

void TextReport::AppendHeaderOnlyData(const TransactionInfo& r) {
  const uint32_t shown = std::min<uint32_t>(r.PreviewLen, kPreviewBytes);
  const bool more = DataLength(r, mode_) > shown;
  if (mode_.i2c) {
    text_ += " Data(Hex) : ";
    AppendPreviewText(r.Preview, shown, more, &text_);
    text_ += '\n';
    return;
  }
  text_ += " SDI Data(Hex) : ";
  AppendPreviewText(r.Preview, shown, more, &text_);
  text_ += "\n SDO Data(Hex) : ";
  AppendPreviewText(r.Preview2, shown, more, &text_);
  text_ += '\n';
}

void TextReport::WriteAllData(const TransactionInfo& r) {
  env_.load(env_.sampling, env_.settings, r);
  const TransactionDetail& detail = env_.sampling.Detail();
  const uint32_t count = DetailCount(detail);
  if (mode_.i2c) {
    text_ += "----------**** I2C Packet ****----------\n";
    if (r.bStartEndType & kBeganStart) {
      text_ += "[S] ";
    } else if (r.bStartEndType & kBeganRepeatedStart) {
      text_ += "[R] ";
    }
    for (uint32_t i = 0; i < count; ++i) {
      AppendHexByte(detail.bytes[i], &text_);
      text_ += DetailNack(detail, i) ? "? " : ". ";
    }
    if (r.bStartEndType & kEndedStop) text_ += "[P]";
    text_ += "\n----------**** I2C DATA DUMP  (";
    AppendDecimal(count, &text_);
    text_ += " Byte) ****----------\n";
    out_.Write(text_);
    WriteHexDump(out_, detail.bytes.data(), count);
    return;
  }
  const uint32_t second = std::min<uint32_t>(count, static_cast<uint32_t>(detail.bytes2.size()));
  AppendDumpTitle("MISO", count);
  out_.Write(text_);
  WriteHexDump(out_, detail.bytes.data(), count);
  text_.clear();
  AppendDumpTitle("MOSI", count);
  out_.Write(text_);
  WriteHexDump(out_, detail.bytes2.data(), second);
}

void TextReport::AppendDumpTitle(const char* line_name, uint32_t count) {
  text_ += "----------**** SPI DATA DUMP  [";
  text_ += line_name;
  text_ += "]  (";
  AppendDecimal(count, &text_);
  text_ += " Byte) ****----------\n";
}

bool TextReport::WriteRow(const TransactionInfo& r) {
  // The row's text up to its data is gathered first and handed over whole.
  text_.clear();
  text_ += '\n';
  text_ += kOpenRule;
  text_ += "Transaction Number : ";
  AppendDecimal(r.Index, &text_);
  text_ += '\n';
  if (!mode_.monitor) {
    text_ += " Time(sec:ms:us) : ";
    AppendStartTime(r.StartClock, mode_.period_code, &text_);
    text_ += " time span : ";
    AppendTimeSpan(r.Duration, mode_.period_code, &text_);
    text_ += "(usec)\n";
  }
  text_ += '\n';
  if (mode_.i2c) {
    text_ += " ADRS : [";
    AppendAddressText(r, &text_);
    text_ += (r.i2c.I2CFlags & kI2CRead) ? "]\n Direction : [Read]\n" : "]\n Direction : [Write]\n";
    text_ += " Start(S)/Repeat(R)/End(P) condition : [";
    AppendStartEndText(r, &text_);
    text_ += "]\n Nack detect : [";
    text_ += NackText(r);
    text_ += "]\n";
  }
  text_ += " ERROR, INFO. : [";
  AppendErrorInfoText(r, mode_, ", ", false, &text_);
  text_ += "]\n\n";
  text_ += mode_.i2c ? " DataLength (except I2C ADRS) : " : " ALL DataLength : ";
  AppendDecimal(DataLength(r, mode_), &text_);
  text_ += '\n';
  if (header_only_) {
    AppendHeaderOnlyData(r);
    text_ += kCloseRule;
    return out_.Write(text_);
  }
  WriteAllData(r);
  return out_.Write(kCloseRule);
}

}  // namespace

ExportResult ExportTransactionText(ExportEnv& env, int fd, bool header_only) {
  TextReport report(env, fd, header_only);
  report.WriteTitle();
  return ExportRows(env, report.Out(), !header_only,
                    [&report](const TransactionInfo& record) { return report.WriteRow(record); });
}

ExportResult ExportTransactionTextFile(ExportEnv& env, const std::string& path, bool header_only) {
  const int fd = OpenExportFile(path, env.sink);
  if (fd < 0) return {};
  const ExportResult result = ExportTransactionText(env, fd, header_only);
  ::close(fd);
  return result;
}

}  // namespace orvane

#include "Orvane/decode/export_text.h"

#include <unistd.h>

#include <mutex>

#include "Orvane/decode/hex_dump.h"
#include "platform/string_format.h"

namespace orvane {

using velix::platform::StringPrintf;

namespace {

const std::string kOpenRule = "+" + std::string(81, '=') + "+\n";
const std::string kCloseRule = "-" + std::string(81, '=') + "-\n";

class TextReport {
 public:
  TextReport(ExportEnv& env, int fd, bool header_only)
      : env_(env), out_(fd), header_only_(header_only), mode_(TextModeOf(env.settings)) {}

  bool WriteTitle();
  bool WriteRow(const TransactionInfo& r);
  ExportWriter& Out() { return out_; }

 private:
  void WriteHeaderOnlyData(const TransactionInfo& r);
  void WriteAllData(const TransactionInfo& r);

  ExportEnv& env_;
  ExportWriter out_;
  bool header_only_;
  RecordTextMode mode_;
};

bool TextReport::WriteTitle() {
  const uint8_t channel = env_.settings.m_AnalyzeBusChannel;
  std::string title = mode_.monitor ? "MONITOR MODE " : "ANALYZER  MODE ";
  title += (channel == 1 || channel == 2) ? "-- I2C" : "-- SPI";
  return out_.Write(title + "\n\n");
}

void TextReport::WriteHeaderOnlyData(const TransactionInfo& r) {
  const uint32_t shown = std::min<uint32_t>(r.PreviewLen, kPreviewBytes);
  const bool more = DataLength(r, mode_) > shown;
  if (mode_.i2c) {
    out_.Write(" Data(Hex) : " + PreviewText(r.Preview, shown, more) + "\n");
    return;
  }
  out_.Write(" SDI Data(Hex) : " + PreviewText(r.Preview, shown, more) + "\n");
  out_.Write(" SDO Data(Hex) : " + PreviewText(r.Preview2, shown, more) + "\n");
}

void TextReport::WriteAllData(const TransactionInfo& r) {
  env_.load(env_.sampling, env_.settings, r);
  const TransactionDetail& detail = env_.sampling.Detail();
  const uint32_t count = DetailCount(detail);
  if (mode_.i2c) {
    out_.Write("----------**** I2C Packet ****----------\n");
    std::string packet;
    if (r.bStartEndType & kBeganStart) {
      packet = "[S] ";
    } else if (r.bStartEndType & kBeganRepeatedStart) {
      packet = "[R] ";
    }
    for (uint32_t i = 0; i < count; ++i) {
      packet += StringPrintf("%02X", detail.bytes[i]);
      packet += DetailNack(detail, i) ? "? " : ". ";
    }
    if (r.bStartEndType & kEndedStop) packet += "[P]";
    out_.Write(packet + "\n");
    out_.Write(StringPrintf("----------**** I2C DATA DUMP  (%u Byte) ****----------\n", count));
    WriteHexDump(out_, detail.bytes.data(), count);
    return;
  }
  const uint32_t second = std::min<uint32_t>(count, static_cast<uint32_t>(detail.bytes2.size()));
  out_.Write(StringPrintf("----------**** SPI DATA DUMP  [MISO]  (%u Byte) ****----------\n", count));
  WriteHexDump(out_, detail.bytes.data(), count);
  out_.Write(StringPrintf("----------**** SPI DATA DUMP  [MOSI]  (%u Byte) ****----------\n", count));
  WriteHexDump(out_, detail.bytes2.data(), second);
}

bool TextReport::WriteRow(const TransactionInfo& r) {
  out_.Write("\n");
  out_.Write(kOpenRule);
  out_.Write(StringPrintf("Transaction Number : %u\n", r.Index));
  if (!mode_.monitor) {
    out_.Write(" Time(sec:ms:us) : " + FormatStartTime(r.StartClock, mode_.period_code) +
               " time span : " + FormatTimeSpan(r.Duration, mode_.period_code) + "(usec)\n");
  }
  out_.Write("\n");
  if (mode_.i2c) {
    out_.Write(" ADRS : [" + AddressText(r) + "]\n");
    out_.Write(std::string(" Direction : [") + ((r.i2c.I2CFlags & kI2CRead) ? "Read" : "Write") + "]\n");
    out_.Write(" Start(S)/Repeat(R)/End(P) condition : [" + StartEndText(r) + "]\n");
    out_.Write(" Nack detect : [" + NackText(r) + "]\n");
  }
  out_.Write(" ERROR, INFO. : [" + ErrorInfoText(r, mode_, ", ", false) + "]\n");
  out_.Write("\n");
  out_.Write(StringPrintf(mode_.i2c ? " DataLength (except I2C ADRS) : %u\n" : " ALL DataLength : %u\n",
                          DataLength(r, mode_)));
  if (header_only_) {
    WriteHeaderOnlyData(r);
  } else {
    WriteAllData(r);
  }
  return out_.Write(kCloseRule);
}

}  // namespace

ExportResult ExportTransactionText(ExportEnv& env, int fd, bool header_only) {
  TextReport report(env, fd, header_only);
  ExportResult result;
  bool extracted = false;
  if (report.WriteTitle()) {
    std::lock_guard lock(env.sampling.ViewLock());
    TransactionStore& store = env.sampling.Records();
    const uint32_t count = store.ViewCount();
    result.total = count;
    for (uint32_t row = 0; row < count; ++row) {
      const RecordRef ref = store.RowRef(row);
      if (ref == kNoRecord) break;
      if (env.control.StopBefore(row, count)) {
        result.cancelled = true;
        break;
      }
      extracted = extracted || !header_only;
      ++result.rows;
      const TransactionInfo record = store.At(ref);
      if (!report.WriteRow(record)) break;
    }
  }
  result.error_code = report.Out().ErrorCode();
  result.ok = !report.Out().Failed();
  FinishExport(env, extracted, result);
  return result;
}

ExportResult ExportTransactionTextFile(ExportEnv& env, const std::string& path, bool header_only) {
  const int fd = OpenExportFile(path, env.sink);
  if (fd < 0) return {};
  const ExportResult result = ExportTransactionText(env, fd, header_only);
  ::close(fd);
  return result;
}

}  // namespace orvane

#include <cinttypes>

#include "platform/string_format.h"
#include "tools/orvane-cli/stats_report.h"

namespace orvane::cli {

using velix::platform::StringPrintf;

namespace {

const char* BusTitle(SummaryBus bus) {
  switch (bus) {
    case SummaryBus::kSpi: return "SPI";
    case SummaryBus::kI2C0: return "I2C #0";
    case SummaryBus::kI2C1: return "I2C #1";
  }
  return "";
}

std::string AddressCell(const TrafficRow& row) {
  return StringPrintf(row.ten_bit ? "%03XH" : "%3XH", static_cast<unsigned>(row.address));
}

const char* KindCell(const TrafficRow& row) {
  if (row.master_code) return "HS code";
  return row.ten_bit ? "10-bit" : "7-bit";
}

void AppendTraffic(const BusSummary& s, std::string* out) {
  *out += "\nTraffic\n";
  uint64_t transactions = 0;
  uint64_t bytes = 0;
  uint64_t nacks = 0;
  for (const TrafficRow& row : s.traffic) {
    transactions += row.transactions;
    bytes += row.data_bytes;
    nacks += row.nacks;
  }
  if (s.bus == SummaryBus::kSpi) {
    *out += "  Bus    Transactions    Data bytes\n";
    *out += StringPrintf("  SPI  %14" PRIu64 "  %12" PRIu64 "\n", transactions, bytes);
    return;
  }
  *out += "  Address  Kind     Dir    Transactions    Data bytes       NACKs\n";
  for (const TrafficRow& row : s.traffic) {
    *out += StringPrintf("  %7s  %-7s  %-5s  %12" PRIu64 "  %12" PRIu64 "  %10" PRIu64 "\n",
                         AddressCell(row).c_str(), KindCell(row), row.read ? "read" : "write", row.transactions,
                         row.data_bytes, row.nacks);
  }
  *out += StringPrintf("  %-23s  %12" PRIu64 "  %12" PRIu64 "  %10" PRIu64 "\n", "Total", transactions, bytes,
                       nacks);
}

void AppendRemark(const char* text, uint64_t count, bool* any, std::string* out) {
  if (count == 0) return;
  *any = true;
  // Some remark texts begin with a blank of their own.
  while (*text == ' ') ++text;
  *out += StringPrintf("  %-26s  %12" PRIu64 "\n", text, count);
}

void AppendRemarks(const BusSummary& s, std::string* out) {
  *out += "\nRemarks                       Transactions\n";
  bool any = false;
  AppendRemark(kTriggerRemark.text, s.trigger, &any, out);
  if (s.bus != SummaryBus::kSpi) AppendRemark(kHsRemark.text, s.hs, &any, out);
  for (uint32_t i = 0; i < kStatusRemarkCount; ++i) {
    if (RemarkApplies(kStatusRemarks[i], s)) AppendRemark(kStatusRemarks[i].text, s.status_remarks[i], &any, out);
  }
  if (!any) *out += "  none\n";
}

void AppendTimingColumn(const BusSummary& s, const TimingColumn& column, const char* title, std::string* out) {
  *out += StringPrintf("\nTiming against the %s limits (transactions judged: %" PRIu64 ")\n", title,
                       column.records);
  *out += "  Parameter     Limit (ns)    Worst (ns)    Measured  Violations  Worst at\n";
  for (const TimingCheck check : kTimingTableOrder) {
    const TimingParameter& p = column.Of(check);
    const std::string limit =
        StringPrintf("%s %" PRIu64, IsMaximumCheck(check) ? "<=" : ">=", uint64_t{p.limit} * 10);
    const std::string worst = p.worst_found ? StringPrintf("%" PRIu64, ClocksToNs(p.worst_clocks, s.period_code)) : "-";
    const std::string at = p.worst_found ? StringPrintf("#%u", p.worst_index) : "-";
    *out += StringPrintf("  %-9s  %13s  %12s  %10" PRIu64 "  %10" PRIu64 "  %s\n", TimingCheckName(check),
                         limit.c_str(), worst.c_str(), p.measured, p.violations, at.c_str());
  }
}

void AppendSpeed(const BusSummary& s, std::string* out) {
  const char* clock = s.bus == SummaryBus::kSpi ? "SCLK" : "SCL";
  const MedianPeriod& m = s.median_period;
  if (!m.found) {
    *out += StringPrintf("\nBus speed: no %s period in the listed transactions\n", clock);
    return;
  }
  if (m.beyond_range) {
    *out += StringPrintf("\nBus speed: median %s frequency below %" PRIu64 " Hz (%" PRIu64 " periods)\n", clock,
                         PeriodFrequencyHz(kExactPeriodClocks, s.period_code), s.clock_periods);
    return;
  }
  const uint64_t hz = PeriodFrequencyHz(m.clocks, s.period_code);
  *out += StringPrintf("\nBus speed: median %s frequency %" PRIu64 ".%03" PRIu64 " kHz (period %" PRIu64
                       " ns, %" PRIu64 " periods)\n",
                       clock, hz / 1000, hz % 1000, ClocksToNs(m.clocks, s.period_code), s.clock_periods);
}

}  // namespace

std::string StatsText(const BusSummary& s) {
  std::string out = StringPrintf("Bus: %s, ", BusTitle(s.bus));
  if (s.monitor) {
    out += "monitor mode\n";
  } else {
    const uint64_t rate = PeriodFrequencyHz(1, s.period_code);
    out += rate % 1000000 == 0 ? StringPrintf("bus analyzer mode, %" PRIu64 " MHz sampling\n", rate / 1000000)
                               : StringPrintf("bus analyzer mode, %" PRIu64 " Hz sampling\n", rate);
  }
  out += StringPrintf("Transactions: %" PRIu64 " listed of %" PRIu64 " decoded\n", s.listed, s.decoded);
  AppendTraffic(s, &out);
  AppendRemarks(s, &out);
  if (s.monitor) {
    out += StringPrintf("\nTiming and bus speed: not available, %s\n", kNoSamplesNote);
    return out;
  }
  if (s.timing) {
    AppendTimingColumn(s, s.fast_standard, "FAST/STANDARD", &out);
    if (s.hs_present) AppendTimingColumn(s, s.hs_column, "HS", &out);
  }
  AppendSpeed(s, &out);
  return out;
}

}  // namespace orvane::cli

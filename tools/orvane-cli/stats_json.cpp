#include <nlohmann/json.hpp>

#include "tools/orvane-cli/stats_report.h"

namespace orvane::cli {

namespace {

// Fields in the order the documentation lists them.
using Json = nlohmann::ordered_json;

const char* BusName(SummaryBus bus) {
  switch (bus) {
    case SummaryBus::kSpi: return "spi";
    case SummaryBus::kI2C0: return "i2c0";
    case SummaryBus::kI2C1: return "i2c1";
  }
  return "";
}

Json Traffic(const BusSummary& s) {
  Json rows = Json::array();
  for (const TrafficRow& row : s.traffic) {
    Json j;
    if (s.bus != SummaryBus::kSpi) {
      j["address"] = row.address;
      j["ten_bit"] = row.ten_bit;
      j["master_code"] = row.master_code;
      j["direction"] = row.read ? "read" : "write";
    }
    j["transactions"] = row.transactions;
    j["data_bytes"] = row.data_bytes;
    if (s.bus != SummaryBus::kSpi) j["nacks"] = row.nacks;
    rows.push_back(std::move(j));
  }
  return rows;
}

Json Remarks(const BusSummary& s) {
  Json j = Json::object();
  j[kTriggerRemark.name] = s.trigger;
  if (s.bus != SummaryBus::kSpi) j[kHsRemark.name] = s.hs;
  for (uint32_t i = 0; i < kStatusRemarkCount; ++i) {
    if (RemarkApplies(kStatusRemarks[i], s)) j[kStatusRemarks[i].name] = s.status_remarks[i];
  }
  return j;
}

Json TimingTable(const BusSummary& s, const TimingColumn& column) {
  Json parameters = Json::array();
  for (const TimingCheck check : kTimingTableOrder) {
    const TimingParameter& p = column.Of(check);
    Json j;
    j["name"] = TimingCheckName(check);
    j["limit"] = IsMaximumCheck(check) ? "max" : "min";
    j["limit_ns"] = uint64_t{p.limit} * 10;
    j["measured"] = p.measured;
    j["violations"] = p.violations;
    j["worst_ns"] = p.worst_found ? Json(ClocksToNs(p.worst_clocks, s.period_code)) : Json(nullptr);
    j["worst_index"] = p.worst_found ? Json(p.worst_index) : Json(nullptr);
    parameters.push_back(std::move(j));
  }
  Json j;
  j["transactions"] = column.records;
  j["parameters"] = std::move(parameters);
  return j;
}

Json Timing(const BusSummary& s) {
  if (!s.timing) return nullptr;
  Json j;
  j["fast_standard"] = TimingTable(s, s.fast_standard);
  j["hs"] = s.hs_present ? TimingTable(s, s.hs_column) : Json(nullptr);
  return j;
}

Json Speed(const BusSummary& s) {
  if (!s.speed) return nullptr;
  const MedianPeriod& m = s.median_period;
  const bool exact = m.found && !m.beyond_range;
  Json j;
  j["clock"] = s.bus == SummaryBus::kSpi ? "SCLK" : "SCL";
  j["periods"] = s.clock_periods;
  j["median_period_ns"] = exact ? Json(ClocksToNs(m.clocks, s.period_code)) : Json(nullptr);
  j["median_frequency_hz"] = exact ? Json(PeriodFrequencyHz(m.clocks, s.period_code)) : Json(nullptr);
  j["median_below_hz"] = m.beyond_range ? Json(PeriodFrequencyHz(kExactPeriodClocks, s.period_code)) : Json(nullptr);
  return j;
}

}  // namespace

std::string StatsJson(const BusSummary& s) {
  Json j;
  j["bus"] = BusName(s.bus);
  j["mode"] = s.monitor ? "monitor" : "analyzer";
  j["sample_rate_hz"] = s.monitor ? Json(nullptr) : Json(PeriodFrequencyHz(1, s.period_code));
  j["transactions"] = {{"listed", s.listed}, {"decoded", s.decoded}};
  j["traffic"] = Traffic(s);
  j["remarks"] = Remarks(s);
  j["timing"] = Timing(s);
  j["bus_speed"] = Speed(s);
  j["note"] = s.monitor ? Json(kNoSamplesNote) : Json(nullptr);
  return j.dump(2) + "\n";
}

}  // namespace orvane::cli

#include "tools/orvane-cli/named_choices.h"

#include <array>
#include <utility>

namespace orvane::cli {
namespace {

constexpr std::array<std::pair<const char*, uint8_t>, 3> kBuses = {
    {{"spi", 0}, {"i2c0", 1}, {"i2c1", 2}}};
constexpr std::array<std::pair<const char*, uint8_t>, 3> kRates = {{{"50", 2}, {"20", 5}, {"10", 10}}};

template <size_t N>
std::optional<uint8_t> Lookup(const std::array<std::pair<const char*, uint8_t>, N>& table,
                              const std::string& name) {
  for (const auto& [choice, value] : table) {
    if (name == choice) return value;
  }
  return std::nullopt;
}

}  // namespace

std::optional<uint8_t> SamplePeriodCodeOfRate(const std::string& megahertz) {
  return Lookup(kRates, megahertz);
}

bool AppendNamedChoices(const Arguments& args, std::vector<std::string>* overrides,
                        std::string* error) {
  if (const auto bus = args.Value("bus")) {
    const std::optional<uint8_t> channel = Lookup(kBuses, *bus);
    if (!channel) {
      *error = "--bus is spi, i2c0 or i2c1, not '" + *bus + "'";
      return false;
    }
    overrides->push_back("m_AnalyzeBusChannel=" + std::to_string(*channel));
  }
  if (const auto rate = args.Value("rate")) {
    const std::optional<uint8_t> code = SamplePeriodCodeOfRate(*rate);
    if (!code) {
      *error = "--rate is 50, 20 or 10 (MHz), not '" + *rate + "'";
      return false;
    }
    overrides->push_back("SamplePeriodCode=" + std::to_string(*code));
  }
  return true;
}

}  // namespace orvane::cli

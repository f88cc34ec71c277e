#include "Orvane/ui/dialogs/spi_setting_model.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvane {
namespace {

TEST(SpiSettingModel, IgnoreFirstEdgeShowsWhenOnOrAfterMoreThanFourDoubleClicks) {
  struct Case {
    bool on;
    int clicks;
    bool shown;
  };
  const std::vector<Case> cases = {
      {false, 0, false}, {false, 4, false}, {false, 5, true}, {true, 0, true}, {true, 9, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IgnoreFirstEdgeShown(c.on, c.clicks), c.shown) << c.on << " " << c.clicks;
  }
}

}  // namespace
}  // namespace orvane

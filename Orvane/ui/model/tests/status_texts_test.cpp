#include "Orvane/ui/model/status_texts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace orvane::ui {
namespace {

std::string Joined(const IdleState& state) {
  std::string text;
  for (const IdlePiece& piece : IdlePaneText(state)) {
    if (piece.number) {
      char buffer[64];
      std::snprintf(buffer, sizeof buffer, piece.text, *piece.number);
      text += buffer;
    } else {
      text += piece.text;
    }
  }
  return text;
}

struct IdleCase {
  IdleState state;
  const char* text;
};

TEST(IdlePane, TextPerSituation) {
  const IdleCase cases[] = {
      {{}, ""},
      {{.live = true, .monitor_mode = true, .bus = 0}, "[SPI Monitor] Capture    Oneshot"},
      {{.live = true, .monitor_mode = true, .free_run = true, .bus = 2}, "[I2C Monitor] Capture    Free run"},
      {{.live = true, .bus = 0}, "[SPI] Capture    Oneshot"},
      {{.live = true, .bus = 1}, "[I2C:#0(Main)] Capture    Oneshot"},
      {{.live = true, .bus = 2}, "[I2C:#1(Sub)] Caputre    Oneshot"},
      {{.loaded = true, .bus = 0}, "[SPI] Data"},
      {{.loaded = true, .forced_display = true, .bus = 1}, "Forced display mode"},
      {{.loaded = true, .bus = 1, .selected_index = 5u}, "[I2C] Data      Transaction No. : 5"},
      // While a run goes on the selection number is not shown.
      {{.analysis = true, .loaded = true, .bus = 1, .selected_index = 5u}, "[I2C] Data"},
      // A live capture does not show a selection either.
      {{.live = true, .loaded = true, .bus = 1, .selected_index = 7u}, "[I2C:#0(Main)] Capture    Oneshot"},
  };
  for (const IdleCase& c : cases) EXPECT_EQ(Joined(c.state), c.text);
}

TEST(MessagePane, BlinksUntilCleared) {
  MessagePane pane;
  pane.Show("Sampling data now!!!", 0x7F0FFF);
  EXPECT_EQ(pane.Shown(), "Sampling data now!!!");
  EXPECT_EQ(pane.Tick(), "");
  EXPECT_EQ(pane.Tick(), "Sampling data now!!!");
  pane.Append(" ***  [TRIGGER!!!]  ***");
  EXPECT_EQ(pane.Text(), "Sampling data now!!!   ***  [TRIGGER!!!]  ***");
  pane.Clear();
  EXPECT_FALSE(pane.Blinking());
  EXPECT_EQ(pane.Tick(), "");
  EXPECT_EQ(pane.Colour(), 0u);
}

struct ProgressCase {
  uint32_t code, value;
  uint32_t maximum, position;
  bool text_visible;
};

TEST(ProgressPane, FollowsTheRunsPostings) {
  // A live run of 32 MiB, bytes arriving, then the offline run in percent.
  const ProgressCase steps[] = {
      {10, 32u << 20, (32u << 20) / 100, 0, true},
      {11, 1000000, (32u << 20) / 100, 10000, true},
      {99, 5, (32u << 20) / 100, 10000, true},  // unknown codes change nothing
      {12, 100, 100, 0, true},
      {13, 42, 100, 42, true},
      {13, 250, 100, 100, true},  // never beyond the range
  };
  ProgressPane pane;
  EXPECT_FALSE(pane.text_visible);
  for (const ProgressCase& step : steps) {
    pane.Apply(step.code, step.value);
    EXPECT_EQ(pane.maximum, step.maximum) << step.code;
    EXPECT_EQ(pane.position, step.position) << step.code;
    EXPECT_EQ(pane.text_visible, step.text_visible) << step.code;
  }
}

}  // namespace
}  // namespace orvane::ui

#include "Orvane/ui/model/frame_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvane::ui {
namespace {

// Named situations the window is in.
FrameState Empty() { return {.has_sampling = true}; }
FrameState Loaded(uint8_t bus, bool rows = true) {
  return {.has_sampling = true, .loaded = true, .rows = rows, .bus = bus};
}
FrameState Live(uint8_t bus) { return {.has_sampling = true, .live = true, .bus = bus}; }
FrameState Analysing(uint8_t bus) { return {.has_sampling = true, .analysis = true, .loaded = true, .bus = bus}; }
FrameState Forced(uint8_t bus) {
  FrameState s = Loaded(bus);
  s.forced_display = true;
  return s;
}
FrameState Monitor(uint8_t bus) {
  FrameState s = Loaded(bus);
  s.monitor_mode = true;
  return s;
}

struct RuleCase {
  std::string situation;
  FrameState state;
  std::vector<Command> enabled;  // every other command of kAll is disabled
};

const Command kAll[] = {
    Command::kCapture,      Command::kTriggerSetting, Command::kOtherSetting,   Command::kFileOpen,
    Command::kVersionInfo,  Command::kFileClose,      Command::kFileSave,       Command::kFileSaveAs,
    Command::kExit,         Command::kRecentFile,     Command::kFilterSetting,  Command::kSearchNext,
    Command::kSearchPrevious, Command::kSpiSetting,   Command::kI2cSetting,     Command::kSearchData,
    Command::kWriteText,    Command::kWriteCsv,       Command::kJumpTrigger,    Command::kJumpNumber,
    Command::kSearchError,  Command::kSearchAddress,  Command::kSearchSubAddress, Command::kSearchNack,
    Command::kPause,        Command::kStop,           Command::kForcedDisplay,  Command::kEditCopy,
    Command::kEditCut,      Command::kEditPaste,      Command::kEditUndo};

const std::vector<Command> kIdleAlways = {Command::kCapture,  Command::kTriggerSetting, Command::kOtherSetting,
                                          Command::kFileOpen, Command::kVersionInfo,    Command::kFileClose,
                                          Command::kFileSave, Command::kFileSaveAs,     Command::kExit,
                                          Command::kRecentFile};

std::vector<Command> With(std::vector<Command> base, std::initializer_list<Command> more) {
  base.insert(base.end(), more);
  return base;
}

class EnableRules : public testing::TestWithParam<RuleCase> {};

TEST_P(EnableRules, EnabledSetIsExactlyTheRulesSet) {
  const RuleCase& c = GetParam();
  for (Command command : kAll) {
    const bool expected = std::find(c.enabled.begin(), c.enabled.end(), command) != c.enabled.end();
    EXPECT_EQ(CommandStateOf(command, c.state).enabled, expected)
        << c.situation << ": command " << static_cast<int>(command);
  }
}

const Command kI2cListed[] = {Command::kSearchData,  Command::kWriteText,       Command::kWriteCsv,
                              Command::kJumpTrigger, Command::kJumpNumber,      Command::kSearchError,
                              Command::kSearchAddress, Command::kSearchSubAddress, Command::kSearchNack};

INSTANTIATE_TEST_SUITE_P(
    Situations, EnableRules,
    testing::Values(
        RuleCase{"empty document", Empty(), With(kIdleAlways, {Command::kSpiSetting, Command::kI2cSetting})},
        RuleCase{"no sampling object", {}, kIdleAlways},
        // During a capture only stop and pause are left.
        RuleCase{"live capture", Live(1), {Command::kPause, Command::kStop}},
        RuleCase{"offline analysis", Analysing(1), {Command::kStop}},
        RuleCase{"I2C loaded with rows", Loaded(1),
                 With(kIdleAlways, {Command::kFilterSetting, Command::kSearchNext, Command::kSearchPrevious,
                                    Command::kI2cSetting, Command::kForcedDisplay, Command::kSearchData,
                                    Command::kWriteText, Command::kWriteCsv, Command::kJumpTrigger,
                                    Command::kJumpNumber, Command::kSearchError, Command::kSearchAddress,
                                    Command::kSearchSubAddress, Command::kSearchNack})},
        RuleCase{"I2C #1 loaded, no rows", Loaded(2, false),
                 With(kIdleAlways, {Command::kFilterSetting, Command::kSearchNext, Command::kSearchPrevious,
                                    Command::kI2cSetting, Command::kForcedDisplay})},
        RuleCase{"SPI loaded with rows", Loaded(0),
                 With(kIdleAlways, {Command::kFilterSetting, Command::kSearchNext, Command::kSearchPrevious,
                                    Command::kSpiSetting, Command::kForcedDisplay, Command::kSearchData,
                                    Command::kWriteText, Command::kWriteCsv, Command::kJumpTrigger,
                                    Command::kJumpNumber, Command::kSearchError})},
        RuleCase{"forced display", Forced(1),
                 With(kIdleAlways, {Command::kFilterSetting, Command::kSearchNext, Command::kSearchPrevious,
                                    Command::kForcedDisplay, Command::kJumpNumber, Command::kSearchError})},
        RuleCase{"monitor I2C loaded", Monitor(1),
                 With(kIdleAlways, {Command::kFilterSetting, Command::kSearchNext, Command::kSearchPrevious,
                                    Command::kI2cSetting, Command::kSearchData, Command::kWriteText,
                                    Command::kWriteCsv, Command::kJumpTrigger, Command::kJumpNumber,
                                    Command::kSearchError, Command::kSearchAddress, Command::kSearchSubAddress,
                                    Command::kSearchNack})}),
    [](const testing::TestParamInfo<RuleCase>& param) {
      std::string name;
      for (char c : param.param.situation) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

struct CheckCase {
  FrameState state;
  Command command;
  bool checked;
};

TEST(EnableRules, CheckMarks) {
  FrameState paused = Live(0);
  paused.paused = true;
  FrameState forced_monitor = Forced(1);
  forced_monitor.monitor_mode = true;
  const CheckCase cases[] = {
      {paused, Command::kPause, true},
      {Live(0), Command::kPause, false},
      {Forced(1), Command::kForcedDisplay, true},
      {Loaded(1), Command::kForcedDisplay, false},
      // Monitor captures never show the forced display mark.
      {forced_monitor, Command::kForcedDisplay, false},
  };
  for (const CheckCase& c : cases) {
    EXPECT_EQ(CommandStateOf(c.command, c.state).checked, c.checked) << static_cast<int>(c.command);
  }
}

TEST(EnableRules, StopLabelNamesWhatRuns) {
  EXPECT_EQ(StopLabelOf(Live(1)), StopLabel::kCaptureEnd);
  EXPECT_EQ(StopLabelOf(Analysing(1)), StopLabel::kAbortAnalysis);
  EXPECT_EQ(StopLabelOf(Loaded(1)), StopLabel::kMenuText);
}

}  // namespace
}  // namespace orvane::ui

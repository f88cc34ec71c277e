// Image files the worker refuses, and the question about an old version.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "ModeChange/cpld_image.h"
#include "ModeChange/tests/machine_fixture.h"
#include "platform/tests/case_name.h"

namespace velix::modechange::testing {
namespace {

using platform::testing::PrintTo;

struct RefusalCase {
  const char* name;
  std::optional<std::vector<uint8_t>> analyzer_file;  // nullopt: no file
  const char* status;
};

class ImageRefusal : public MachineTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(ImageRefusal, WritesNothingAndKeepsBothButtons) {
  const RefusalCase& c = GetParam();
  if (c.analyzer_file) WriteBytes(folder.File("velixc_ana_x.frm"), *c.analyzer_file);
  // The other personality's image never stands in.
  PutImage("velixc_mon.frm", {.personality = 'M'});
  StartUntilReady();
  device.ClearLog();
  machine->PressUpdate();

  const DialogState state = State();
  EXPECT_EQ(StatusText(), c.status);
  EXPECT_EQ(state.phase, Phase::kReady);
  EXPECT_FALSE(state.switch_flag);
  EXPECT_TRUE(state.update_enabled);
  EXPECT_TRUE(state.exit_enabled);
  EXPECT_FALSE(state.status_red);
  for (const std::string& call : device.Calls()) EXPECT_EQ(call, "GetFirmVersion");

  // "Exit" gives the record its operation-mode identity back: the device
  // comes up as before at the next plug-in.
  device.ClearLog();
  machine->PressExit();
  EXPECT_EQ(device.Calls(), (std::vector<std::string>{"FlashRead", "FlashErase", "FlashWrite"}));
  EXPECT_EQ(view.messages.back(), TextId::kStartMonitorMode);
  EXPECT_TRUE(view.closed);
  device.Replug();
  EXPECT_EQ(device.Identity(), kDeviceModeOperation);
  EXPECT_EQ(device.QueryMode(), Personality::kMonitor);
}

std::vector<uint8_t> Image(const ImageRecipe& recipe) { return MakeCpldImage(recipe); }

INSTANTIATE_TEST_SUITE_P(
    MachineTest, ImageRefusal,
    ::testing::Values(RefusalCase{"ChecksumOffByOne", Image({.checksum_error = 1}), "CPLD  file NG(2)"},
                      RefusalCase{"OneByteOverTheLimit", Image({.size = kMaxImageSize + 1}), "CPLD  file NG(1)"},
                      RefusalCase{"Missing", std::nullopt, "CPLD file not found!"},
                      RefusalCase{"Empty", std::vector<uint8_t>{}, "CPLD file not found!"},
                      RefusalCase{"ShorterThanItsTrailer", std::vector<uint8_t>{0x43, 0x0A, 0x03, 0x01, 0x43},
                                  "CPLD  file NG(1)"},
                      RefusalCase{"WrongIdentity", Image({.identity_low = 0x0B}), "CPLD  file NG(3)"},
                      RefusalCase{"WrongFileType", Image({.file_type = 'D'}), "CPLD  file NG(4)"}),
    platform::testing::CaseName());

TEST_F(MachineTest, AnImageOfExactlyTheLimitPassesTheSizeCheck) {
  PutImage("velixc_ana.frm", {.size = kMaxImageSize});
  StartUntilReady();
  machine->PressUpdate();
  EXPECT_EQ(StatusText(), "Switching has been completed. Please exit.");
}

struct QuestionCase {
  const char* name;
  bool same_personality;
  uint8_t device_major, device_minor;
  uint8_t file_major, file_minor;
  bool force;
  bool answer_yes;
  bool asked;
  bool written;
};

class VersionQuestion : public MachineTest, public ::testing::WithParamInterface<QuestionCase> {};

TEST_P(VersionQuestion, IsAskedOnlyForTheSamePersonalityWithoutANewerFile) {
  const QuestionCase& c = GetParam();
  device.SetRecordVersion(c.device_major, c.device_minor);
  PutImage("velixc_mon.frm", {.personality = 'M', .major = c.file_major, .minor = c.file_minor});
  if (!c.same_personality) PutImage("velixc_ana.frm", {.major = c.file_major, .minor = c.file_minor});
  StartUntilReady();

  if (c.same_personality) {
    // "Update" is enabled only for the other personality; it stays enabled
    // when a refused attempt ends after the radio went back to the current one.
    hold_worker = true;
    machine->PressUpdate();
    machine->SelectMode(Personality::kMonitor);
    EXPECT_FALSE(State().update_enabled);
    held_worker();
    hold_worker = false;
    ASSERT_EQ(StatusText(), "CPLD file not found!");
    ASSERT_TRUE(State().update_enabled);
  }
  if (c.force) machine->PressForceAccelerator();
  view.messages.clear();
  view.answers = {c.answer_yes};
  device.ClearLog();
  machine->PressUpdate();

  const bool asked = std::count(view.messages.begin(), view.messages.end(), TextId::kSameOrOlderVersion) > 0;
  EXPECT_EQ(asked, c.asked);
  const std::vector<std::string> calls = device.Calls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "CPLDWrite") > 0, c.written);
  const DialogState state = State();
  EXPECT_EQ(state.switch_flag, c.written);
  if (!c.written) {
    // Declined: the worker ends as after a write, without its message.
    EXPECT_EQ(state.phase, Phase::kWaitingForDevice);
    EXPECT_EQ(state.progress_value, kProgressMaximum);
    EXPECT_TRUE(state.exit_enabled);
    EXPECT_TRUE(timer.running);
  }
}

INSTANTIATE_TEST_SUITE_P(
    MachineTest, VersionQuestion,
    ::testing::Values(QuestionCase{"EqualVersionAnsweredYes", true, 1, 5, 1, 5, false, true, true, true},
                      QuestionCase{"EqualVersionAnsweredNo", true, 1, 5, 1, 5, false, false, true, false},
                      QuestionCase{"OlderFile", true, 2, 0, 1, 0xFF, false, false, true, false},
                      QuestionCase{"NewerFile", true, 1, 5, 1, 6, false, true, false, true},
                      QuestionCase{"ForceAcceleratorPressedBefore", true, 1, 5, 1, 5, true, false, false, true},
                      QuestionCase{"UnknownDeviceVersion", true, 0xFF, 0xFF, 1, 0, false, false, false, true},
                      QuestionCase{"OtherPersonality", false, 1, 5, 1, 5, false, false, false, true}),
    platform::testing::CaseName());

}  // namespace
}  // namespace velix::modechange::testing

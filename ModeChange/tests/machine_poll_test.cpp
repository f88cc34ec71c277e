// Start-up, the device poll, the radio rule and "Exit" without a write.
#include <gtest/gtest.h>

#include "ModeChange/tests/machine_fixture.h"
#include "platform/tests/case_name.h"

namespace velix::modechange::testing {
namespace {

using platform::testing::PrintTo;

TEST_F(MachineTest, AnAbsentDeviceIsPolledUntilItComesInOperationMode) {
  device.Unplug();
  StartMachine();
  EXPECT_EQ(view.messages, std::vector<TextId>{});
  EXPECT_EQ(StatusText(), "");

  Tick();
  EXPECT_EQ(StatusText(), "Device not found.");
  EXPECT_TRUE(timer.running);
  EXPECT_EQ(State().device_mode, kDeviceModeAbsent);

  // Plugged in operation mode: sent to update mode, re-plug requested.
  device.Plug();
  device.ClearLog();
  Tick();
  EXPECT_EQ(device.Calls(), (std::vector<std::string>{"GetFirmVersion", "GetDeviceMode", "EnterUpdateMode"}));
  EXPECT_EQ(view.messages, std::vector<TextId>{TextId::kReadyToSwitch});
  EXPECT_TRUE(timer.running);

  // Its personality was never asked: "Can not obtain", and either mode may be written.
  Tick();
  const DialogState state = State();
  EXPECT_EQ(state.phase, Phase::kReady);
  EXPECT_STREQ(EnglishText(state.mode_label), "Can not obtain");
  EXPECT_EQ(state.selected_mode, Personality::kMonitor);
  EXPECT_TRUE(state.update_enabled);
  machine->SelectMode(Personality::kAnalyzer);
  EXPECT_TRUE(State().update_enabled);
}

struct FirmwareToolCase {
  const char* name;
  uint32_t identity_at_start;
  size_t ticks_to_message;
};

class FirmwareToolNeeded : public MachineTest, public ::testing::WithParamInterface<FirmwareToolCase> {};

TEST_P(FirmwareToolNeeded, OnlyMessage208IsShown) {
  const FirmwareToolCase& c = GetParam();
  device.SetIdentity(c.identity_at_start);
  StartMachine();
  for (size_t i = 0; i < c.ticks_to_message; ++i) Tick();
  EXPECT_EQ(view.messages, std::vector<TextId>{TextId::kFirmwareCorrupted});
  EXPECT_STREQ(EnglishText(TextId::kFirmwareCorrupted),
               "Firmware may have been corrupted.\nPlease exit this program, and start the firmware update tool.");
  EXPECT_EQ(State().phase, Phase::kFirmwareToolNeeded);
  EXPECT_FALSE(timer.running);
  EXPECT_FALSE(State().update_enabled);
}

INSTANTIATE_TEST_SUITE_P(MachineTest, FirmwareToolNeeded,
                         ::testing::Values(FirmwareToolCase{"AlreadyInUpdateMode", kDeviceModeUpdate, 1},
                                           FirmwareToolCase{"ControllerWithoutFirmware", kDeviceModeNoFirmware, 1}),
                         platform::testing::CaseName());

TEST_F(MachineTest, TheRepairOptionOnlyWatchesForAControllerWithoutFirmware) {
  device.Unplug();
  StartMachine(/*repair=*/true);
  EXPECT_TRUE(State().repair_option);
  Tick();
  EXPECT_EQ(StatusText(), "Please connect the VELIX.");
  device.Plug();
  device.SetIdentity(kDeviceModeUpdate);
  device.ClearLog();
  Tick();
  EXPECT_EQ(device.Calls(), std::vector<std::string>{"GetDeviceMode"});
  EXPECT_EQ(StatusText(), "Please connect the VELIX.");
  EXPECT_TRUE(timer.running);
  device.SetIdentity(kDeviceModeNoFirmware);
  Tick();
  EXPECT_EQ(view.messages, std::vector<TextId>{TextId::kFirmwareCorrupted});
  EXPECT_FALSE(timer.running);
}

TEST_F(MachineTest, UpdateIsEnabledExactlyForTheOtherPersonality) {
  PutImage("velixc_ana.frm", {});
  PutImage("Velixc_Mon_2.FRM", {.personality = 'M'});
  StartUntilReady();
  EXPECT_TRUE(State().update_enabled);
  machine->SelectMode(Personality::kMonitor);
  EXPECT_FALSE(State().update_enabled);
  EXPECT_EQ(State().firmware_path, folder.File("Velixc_Mon_2.FRM"));
  machine->SelectMode(Personality::kAnalyzer);
  EXPECT_TRUE(State().update_enabled);
  EXPECT_EQ(State().firmware_path, folder.File("velixc_ana.frm"));
}

TEST_F(MachineTest, UpdateStopsAPollStillRunningAndTicksWaitForTheWorker) {
  PutImage("velixc_ana.frm", {});
  StartMachine();
  // A radio click enables "Update" before the first tick.
  machine->SelectMode(Personality::kMonitor);
  machine->SelectMode(Personality::kAnalyzer);
  ASSERT_TRUE(State().update_enabled);
  ASSERT_TRUE(timer.running);
  hold_worker = true;
  machine->PressUpdate();
  EXPECT_FALSE(timer.running);
  device.ClearLog();
  machine->OnTimer();
  machine->SelectMode(Personality::kMonitor);
  machine->SelectMode(Personality::kAnalyzer);
  machine->PressExit();
  EXPECT_EQ(device.Calls(), std::vector<std::string>{});
  EXPECT_FALSE(State().update_enabled);
  EXPECT_FALSE(view.closed);
  held_worker();
  EXPECT_EQ(State().phase, Phase::kSwitched);
}

TEST_F(MachineTest, ExitWithoutAnyDeviceShowsNoMessage) {
  device.Unplug();
  StartMachine();
  Tick();
  device.ClearLog();
  machine->PressExit();
  EXPECT_EQ(device.Calls(), std::vector<std::string>{});
  EXPECT_EQ(view.messages, std::vector<TextId>{});
  EXPECT_TRUE(view.closed);
  EXPECT_EQ(State().phase, Phase::kClosed);
  EXPECT_FALSE(timer.running);
}

}  // namespace
}  // namespace velix::modechange::testing

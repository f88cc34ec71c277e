// The whole mode switch and the image write, through the machine alone.
#include <gtest/gtest.h>

#include "ModeChange/cpld_image.h"
#include "ModeChange/cpld_writer.h"
#include "ModeChange/tests/machine_fixture.h"
#include "platform/tests/case_name.h"

namespace velix::modechange::testing {
namespace {

using platform::testing::PrintTo;

using Calls = std::vector<std::string>;

TEST_F(MachineTest, SwitchesAMonitorDeviceToTheAnalyzerPersonality) {
  PutImage("velixc_ana_v105.frm", {.size = 10000, .personality = 'A', .major = 1, .minor = 0x05});
  PutImage("velixc_mon_v100.frm", {.size = 10000, .personality = 'M', .major = 1, .minor = 0x00});

  // Start-up: operation mode, personality asked, update mode requested.
  StartMachine();
  EXPECT_EQ(device.Calls(), (Calls{"GetDeviceMode", "QueryMode", "EnterUpdateMode"}));
  EXPECT_EQ(view.messages, std::vector<TextId>{TextId::kReadyToSwitch});
  DialogState state = State();
  EXPECT_EQ(state.device_mode, kDeviceModeOperation);
  EXPECT_EQ(state.current_mode, Personality::kMonitor);
  EXPECT_EQ(state.selected_mode, Personality::kAnalyzer);
  EXPECT_EQ(state.firmware_path, folder.File("velixc_ana_v105.frm"));
  EXPECT_EQ(StatusText(), "Wait a minute...");
  EXPECT_TRUE(timer.running);
  EXPECT_FALSE(state.update_enabled);
  EXPECT_FALSE(state.versions.has_value());

  // The re-plugged device answers in update mode.
  ASSERT_EQ(device.Identity(), kDeviceModeUpdate);
  Tick();
  state = State();
  EXPECT_EQ(StatusText(), "If you want to switch the mode,\n please select the mode and click [Update] button.");
  ASSERT_TRUE(state.versions.has_value());
  EXPECT_EQ(VersionLabel(state.versions->eeprom_major, state.versions->eeprom_minor), "Ver 1.02");
  EXPECT_EQ(VersionLabel(state.versions->flash_major, state.versions->flash_minor), "Ver 2.10");
  EXPECT_EQ(VersionLabel(state.versions->cpld_major, state.versions->cpld_minor), "Ver 1.00");
  EXPECT_STREQ(EnglishText(state.mode_label), "Monitor Mode");
  EXPECT_FALSE(timer.running);
  EXPECT_TRUE(state.update_enabled);

  const FlashRecord record_before = device.Record();
  device.ClearLog();
  view.steps.clear();
  machine->PressUpdate();

  EXPECT_EQ(device.Calls(), (Calls{"GetFirmVersion", "FlashRead", "FlashErase", "CPLDWrite", "CPLDWrite", "CPLDWrite",
                                   "FlashWrite", "GetFirmVersion"}));
  // Progress 4096 after the file is taken, 512 per chunk, then 5120 and 6144;
  // the line is red while the chunks go out and alternates with text 131.
  const std::vector<StatusStep> expected_steps = {
      {TextId::kSelectAndUpdate, false, 0},    {TextId::kSelectAndUpdate, false, 4096},
      {TextId::kSwitchingMode, false, 4096},   {TextId::kSwitchingMode, true, 4096},
      {TextId::kNone, true, 4608},             {TextId::kSwitchingMode, true, 5120},
      {TextId::kNone, true, 5632},             {TextId::kNone, false, 5632},
      {TextId::kNone, false, 5120},            {TextId::kNone, false, 6144},
      {TextId::kSwitchingCompleted, false, 6144},
  };
  ASSERT_EQ(view.steps.size(), expected_steps.size());
  for (size_t i = 0; i < expected_steps.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(view.steps[i].status, expected_steps[i].status);
    EXPECT_EQ(view.steps[i].red, expected_steps[i].red);
    EXPECT_EQ(view.steps[i].progress, expected_steps[i].progress);
  }

  // The record: operation-mode identity and the image's version, the rest kept.
  FlashRecord expected_record = record_before;
  SetOperationIdentity(expected_record);
  SetCpldVersion(expected_record, 1, 0x05);
  EXPECT_EQ(device.Record(), expected_record);

  state = State();
  EXPECT_EQ(StatusText(), "Switching has been completed. Please exit.");
  EXPECT_EQ(state.phase, Phase::kSwitched);
  EXPECT_EQ(state.current_mode, Personality::kAnalyzer);
  EXPECT_STREQ(EnglishText(state.mode_label), "Analyzer Mode");
  EXPECT_EQ(VersionLabel(state.versions->cpld_major, state.versions->cpld_minor), "Ver 1.05");
  EXPECT_TRUE(state.switch_flag);
  EXPECT_TRUE(state.exit_enabled);
  EXPECT_FALSE(state.update_enabled);
  EXPECT_TRUE(timer.running);

  // "Exit": no restore after a write, the re-plug request for the new personality.
  device.ClearLog();
  view.messages.clear();
  machine->PressExit();
  EXPECT_EQ(device.Calls(), Calls{});
  EXPECT_EQ(view.messages, std::vector<TextId>{TextId::kStartAnalyzerMode});
  EXPECT_STREQ(EnglishText(TextId::kStartAnalyzerMode),
               "Start the Analyzer Mode operation.\nUnplug the USB cable, and insert again, please click [OK].");
  EXPECT_TRUE(view.closed);
  EXPECT_FALSE(timer.running);

  device.Replug();
  EXPECT_EQ(device.Identity(), kDeviceModeOperation);
  EXPECT_EQ(device.QueryMode(), Personality::kAnalyzer);
}

struct ChunkCase {
  const char* name;
  size_t size;
  std::vector<size_t> chunks;
  int step;
};

class ImageChunks : public MachineTest, public ::testing::WithParamInterface<ChunkCase> {};

TEST_P(ImageChunks, GoOutIn4096ByteChunksWithTheTotalOnTheFirst) {
  const ChunkCase& c = GetParam();
  PutImage("velixc_ana.frm", {.size = c.size});
  StartUntilReady();
  view.steps.clear();
  machine->PressUpdate();
  ASSERT_EQ(State().phase, Phase::kSwitched) << StatusText();

  const std::vector<CpldChunk> sent = device.CpldChunks();
  ASSERT_EQ(sent.size(), c.chunks.size());
  for (size_t i = 0; i < sent.size(); ++i) {
    EXPECT_EQ(sent[i].length, c.chunks[i]);
    EXPECT_EQ(sent[i].total, i == 0 ? c.size : 0u);
  }
  EXPECT_EQ(ChunkProgressStep(c.size), c.step);
  // Where the chunks left the progress: the line turns black again there.
  int written = 0;
  for (size_t i = 1; i < view.steps.size(); ++i) {
    if (view.steps[i - 1].red && !view.steps[i].red) written = view.steps[i].progress;
  }
  EXPECT_EQ(written, 4096 + c.step * static_cast<int>(c.chunks.size()));
  EXPECT_EQ(device.LoadedPersonality(), Personality::kAnalyzer);
}

INSTANTIATE_TEST_SUITE_P(
    MachineTest, ImageChunks,
    ::testing::Values(ChunkCase{"TenThousand", 10000, {4096, 4096, 1808}, 512},
                      ChunkCase{"TwoWholeChunks", 8192, {4096, 4096}, 512},
                      ChunkCase{"BelowOneChunk", 3000, {3000}, 0},
                      ChunkCase{"LargestAllowed", kMaxImageSize,
                                [] {
                                  std::vector<size_t> chunks(49, 4096);
                                  chunks.push_back(16);
                                  return chunks;
                                }(),
                                20}),
    platform::testing::CaseName());

TEST_F(MachineTest, AFailedChunkLeavesTheDeviceInUpdateModeForAnotherTry) {
  PutImage("velixc_ana.frm", {.size = 10000});
  StartUntilReady();
  device.FailCpldChunk(1);
  device.SetStatusByte(0x21);
  machine->PressUpdate();

  DialogState state = State();
  EXPECT_EQ(StatusText(), "CPLD Update Faiedl![33]");
  EXPECT_TRUE(state.status_red);
  EXPECT_EQ(state.phase, Phase::kUpdateFailed);
  EXPECT_TRUE(state.switch_flag);
  EXPECT_TRUE(state.update_enabled);
  EXPECT_TRUE(state.exit_enabled);
  EXPECT_FALSE(timer.running);
  EXPECT_EQ(device.CpldChunks().size(), 2u);
  FlashRecord erased;
  erased.fill(0xFF);
  EXPECT_EQ(device.Record(), erased);

  // "Exit" writes nothing back: the next plug-in finds the update mode.
  device.ClearLog();
  machine->PressExit();
  EXPECT_EQ(device.Calls(), std::vector<std::string>{});
  EXPECT_EQ(view.messages.back(), TextId::kStartMonitorMode);
  device.Replug();
  EXPECT_EQ(device.Identity(), kDeviceModeUpdate);
}

TEST_F(MachineTest, ARecordThatCannotBeReadIsNeitherErasedNorOverwritten) {
  PutImage("velixc_ana.frm", {.size = 10000});
  StartUntilReady();
  const FlashRecord before = device.Record();
  device.FailFlashRead();
  device.ClearLog();
  machine->PressUpdate();

  EXPECT_EQ(device.Calls(), (std::vector<std::string>{"GetFirmVersion", "FlashRead", "GetStatus"}));
  EXPECT_EQ(device.Record(), before);
  EXPECT_EQ(StatusText(), "CPLD Update Faiedl![90]");
  EXPECT_EQ(State().phase, Phase::kUpdateFailed);
}

}  // namespace
}  // namespace velix::modechange::testing

// The mode switch against velixd and its simulated analyzer: the machine
// drives the real firmware library and the driver's device; the test plays
// the user, who re-plugs the cable through the daemon's control socket
// wherever a message asks for it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <ostream>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "Firmup/VELIXFw.h"
#include "ModeChange/mode_change_machine.h"
#include "ModeChange/tests/cpld_test_images.h"
#include "ModeChange/tests/machine_fixture.h"  // ManualTimer
#include "ModeChange/velix_fw_access.h"
#include "driver/daemon/tests/daemon_process.h"
#include "platform/device_names.h"
#include "platform/string_format.h"
#include "platform/tests/scratch_folder.h"

namespace velix::modechange::testing {
namespace {

using daemon::testing::DaemonProcess;

// The firmware calls never start a stream; any scenario will do.
constexpr const char* kScenario = "bus i2c0\nstart\naddr 0x50 w\nstop\n";
const std::string kDriverName(platform::kDriverDeviceName);

struct ProgressStep {
  int value;
  bool red;
  bool operator==(const ProgressStep&) const = default;
};

void PrintTo(const ProgressStep& step, std::ostream* out) { *out << step.value << (step.red ? " red" : " black"); }

std::string Hex(std::span<const uint8_t> bytes) {
  std::string text;
  for (const uint8_t byte : bytes) text += platform::StringPrintf("%02x", byte);
  return text;
}

// The user at the dialog: OK (Yes) to every message box, and hooks for what
// the test's user does at a message or while the progress bar moves. The
// worker runs on the test's thread, so nothing here is shared.
class UserAtTheDialog final : public ModeChangeView {
 public:
  void Attach(const ModeChangeMachine* machine) { machine_ = machine; }
  void StateChanged() override {
    const DialogState state = machine_->State();
    const ProgressStep step{state.progress_value, state.status_red};
    if (progress.empty() || !(progress.back() == step)) progress.push_back(step);
    if (on_state) on_state(state);
  }
  bool ShowMessage(TextId text) override {
    messages.push_back(text);
    if (on_message) on_message(text);
    return true;
  }
  void CloseDialog() override { closed = true; }

  std::vector<TextId> messages;
  std::vector<ProgressStep> progress;
  std::function<void(TextId)> on_message;
  std::function<void(const DialogState&)> on_state;
  bool closed = false;

 private:
  const ModeChangeMachine* machine_ = nullptr;
};

class DaemonSwitchTest : public ::testing::Test {
 protected:
  DaemonSwitchTest() : daemon_(kScenario, {"--personality", "operation", "--image", "monitor"}) {}

  void SetUp() override {
    ASSERT_TRUE(daemon_.running());
    ::setenv("VELIX_RUNTIME_DIR", daemon_.folder().c_str(), 1);
    WriteBytes(folder_.File("velixc_ana_v105.frm"), analyzer_image_);
    WriteBytes(folder_.File("velixc_mon_v100.frm"), MakeCpldImage({.personality = 'M', .major = 1, .minor = 0}));
    // Each of these messages asks the user to unplug the cable and insert it again.
    user_.on_message = [this](TextId text) {
      if (text == TextId::kReadyToSwitch || text == TextId::kStartAnalyzerMode || text == TextId::kStartMonitorMode) {
        replugs_failed_ += Replug() ? 0 : 1;
      }
    };
  }

  bool Unplug() const {
    return daemon_.Sim("unplug").rfind("ok=1", 0) == 0 && daemon_.WaitForName(kDriverName, false) &&
           daemon_.WaitForName(platform::InterfaceSocketName(0x1D9A, 0x030A, "velix0"), false) &&
           daemon_.WaitForName(platform::InterfaceSocketName(0x1D9A, 0x030B, "velix0"), false);
  }
  // The device's memory decides the personality it comes back with.
  bool Replug() const {
    return Unplug() && daemon_.Sim("plug").rfind("ok=1", 0) == 0 && daemon_.WaitForName(kDriverName, true);
  }
  std::string Device(const std::string& key) const { return DaemonProcess::Value(daemon_.Sim("status"), key); }
  // Every bulk OUT transfer the device received, as hex.
  std::vector<std::string> Received() const {
    std::vector<std::string> packets;
    std::istringstream lines(daemon_.Sim("received"));
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("packet=", 0) == 0) packets.push_back(line.substr(7));
    }
    return packets;
  }
  std::vector<std::string> ReceivedSince(size_t mark) const {
    const std::vector<std::string> all = Received();
    return mark < all.size() ? std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(mark), all.end())
                             : std::vector<std::string>{};
  }
  FlashRecord ReadRecord() {
    FlashRecord record{};
    EXPECT_TRUE(firmware_.FlashRead(kFlashRecordAddress, record));
    return record;
  }

  void StartMachine() {
    MachineOptions options;
    options.image_folder = folder_.Path();
    machine_ = std::make_unique<ModeChangeMachine>(firmware_, user_, timer_, [](std::function<void()> body) { body(); },
                                                   options);
    user_.Attach(machine_.get());
    machine_->Start();
  }
  // Start-up in operation mode, the re-plug it asks for, the first tick.
  void StartUntilReady() {
    StartMachine();
    ASSERT_EQ(user_.messages, std::vector<TextId>{TextId::kReadyToSwitch});
    ASSERT_EQ(replugs_failed_, 0);
    ASSERT_EQ(Device("personality"), "update");
    ASSERT_EQ(State().current_mode, Personality::kMonitor);
    ASSERT_EQ(State().selected_mode, Personality::kAnalyzer);
    // Distinct EEPROM and flash versions, so a swapped pair shows.
    ASSERT_EQ(::SetFirmVersion(1, 0x02, 2, 0x10, 0, 0), 1);
    ASSERT_TRUE(timer_.running);
    machine_->OnTimer();
    ASSERT_EQ(State().phase, Phase::kReady);
  }
  // The user pulls the cable once the first chunk has gone out.
  void UnplugAfterFirstChunk() {
    user_.on_state = [this](const DialogState& state) {
      if (state.progress_value == 4096 + 512 && !unplugged_) unplugged_ = Unplug();
    };
  }
  DialogState State() const { return machine_->State(); }
  std::string StatusText() const {
    const DialogState state = State();
    return FillNumber(EnglishText(state.status), state.status_number);
  }

  DaemonProcess daemon_;
  platform::testing::ScratchFolder folder_;
  const std::vector<uint8_t> analyzer_image_ =
      MakeCpldImage({.size = 10000, .personality = 'A', .major = 1, .minor = 0x05});
  VelixFwAccess firmware_;
  UserAtTheDialog user_;
  ManualTimer timer_;
  std::unique_ptr<ModeChangeMachine> machine_;
  int replugs_failed_ = 0;
  bool unplugged_ = false;
};

TEST_F(DaemonSwitchTest, SwitchesTheMonitorDeviceToTheAnalyzerPersonality) {
  StartUntilReady();
  DialogState state = State();
  EXPECT_EQ(StatusText(), "If you want to switch the mode,\n please select the mode and click [Update] button.");
  ASSERT_TRUE(state.versions.has_value());
  EXPECT_EQ(VersionLabel(state.versions->eeprom_major, state.versions->eeprom_minor), "Ver 1.02");
  EXPECT_EQ(VersionLabel(state.versions->flash_major, state.versions->flash_minor), "Ver 2.10");
  EXPECT_EQ(VersionLabel(state.versions->cpld_major, state.versions->cpld_minor), "Ver 1.00");
  EXPECT_STREQ(EnglishText(state.mode_label), "Monitor Mode");
  EXPECT_FALSE(timer_.running);
  machine_->SelectMode(Personality::kMonitor);
  EXPECT_FALSE(State().update_enabled);
  machine_->SelectMode(Personality::kAnalyzer);
  EXPECT_TRUE(State().update_enabled);
  EXPECT_EQ(State().firmware_path, folder_.File("velixc_ana_v105.frm"));

  const FlashRecord record_before = ReadRecord();
  const size_t mark = Received().size();
  user_.progress.clear();
  machine_->PressUpdate();
  state = State();
  ASSERT_EQ(state.phase, Phase::kSwitched) << StatusText();

  // 4096 once the file is taken, 512 per chunk in red, then 5120 and 6144.
  const std::vector<ProgressStep> progress = {{0, false},    {4096, false}, {4096, true},  {4608, true}, {5120, true},
                                              {5632, true},  {5632, false}, {5120, false}, {6144, false}};
  EXPECT_EQ(user_.progress, progress);

  // What reached the device: the version check, the record read and erased,
  // the image in 4,096-byte chunks after the packet with its total, the
  // record written back, the versions for the labels.
  FlashRecord record_expected = record_before;
  SetOperationIdentity(record_expected);
  SetCpldVersion(record_expected, 1, 0x05);
  const std::span<const uint8_t> image(analyzer_image_);
  const std::vector<std::string> sent = {
      "c0000000000000000800", "d2000000d00000020000", "d1000000000000000d00",
      "d7000000000000271000", Hex(image.subspan(0, 4096)), Hex(image.subspan(4096, 4096)),
      Hex(image.subspan(8192)), "d3000000d00000020000", Hex(record_expected),
      "c0000000000000000800"};
  EXPECT_EQ(ReceivedSince(mark), sent);
  EXPECT_EQ(ReadRecord(), record_expected);

  EXPECT_EQ(StatusText(), "Switching has been completed. Please exit.");
  EXPECT_STREQ(EnglishText(state.mode_label), "Analyzer Mode");
  EXPECT_EQ(VersionLabel(state.versions->cpld_major, state.versions->cpld_minor), "Ver 1.05");
  EXPECT_TRUE(state.exit_enabled);
  EXPECT_TRUE(timer_.running);

  // "Exit" asks for the re-plug into the analyzer personality.
  user_.messages.clear();
  machine_->PressExit();
  EXPECT_EQ(user_.messages, std::vector<TextId>{TextId::kStartAnalyzerMode});
  EXPECT_EQ(replugs_failed_, 0);
  EXPECT_TRUE(user_.closed);
  EXPECT_EQ(Device("personality"), "operation");
  EXPECT_EQ(Device("image"), "analyzer");
  EXPECT_EQ(firmware_.GetDeviceMode(), kDeviceModeOperation);
  EXPECT_EQ(firmware_.QueryMode(), Personality::kAnalyzer);
}

TEST_F(DaemonSwitchTest, ACableUnpluggedDuringTheWriteLeavesTheDeviceInUpdateMode) {
  StartUntilReady();
  UnplugAfterFirstChunk();
  const size_t mark = Received().size();
  machine_->PressUpdate();

  ASSERT_TRUE(unplugged_);
  DialogState state = State();
  EXPECT_EQ(state.phase, Phase::kUpdateFailed);
  // The status byte cannot be read from a device that is gone.
  EXPECT_EQ(StatusText(), "CPLD Update Faiedl![0]");
  EXPECT_TRUE(state.status_red);
  EXPECT_TRUE(state.switch_flag);
  EXPECT_TRUE(state.update_enabled);
  EXPECT_TRUE(state.exit_enabled);
  const std::vector<std::string> sent = ReceivedSince(mark);
  ASSERT_EQ(sent.size(), 5u);
  EXPECT_EQ(sent[3], "d7000000000000271000");
  EXPECT_EQ(sent[4], Hex(std::span<const uint8_t>(analyzer_image_).first(4096)));

  // "Exit" restores nothing; the re-plugged device comes up in update mode
  // with its record erased and the old image still loaded.
  machine_->PressExit();
  EXPECT_EQ(user_.messages.back(), TextId::kStartMonitorMode);
  EXPECT_EQ(replugs_failed_, 0);
  EXPECT_EQ(ReceivedSince(mark).size(), 5u);
  EXPECT_EQ(Device("personality"), "update");
  EXPECT_EQ(Device("image"), "monitor");
  EXPECT_EQ(firmware_.GetDeviceMode(), kDeviceModeUpdate);
  FlashRecord erased;
  erased.fill(0xFF);
  EXPECT_EQ(ReadRecord(), erased);

  // The next start of the tool finds it in update mode already and sends
  // the user to the firmware update tool.
  user_.messages.clear();
  StartMachine();
  ASSERT_TRUE(timer_.running);
  machine_->OnTimer();
  EXPECT_EQ(user_.messages, std::vector<TextId>{TextId::kFirmwareCorrupted});
  EXPECT_EQ(State().phase, Phase::kFirmwareToolNeeded);
}

TEST_F(DaemonSwitchTest, AfterAFailedWriteAnotherUpdateCompletesTheSwitch) {
  StartUntilReady();
  UnplugAfterFirstChunk();
  machine_->PressUpdate();
  ASSERT_EQ(State().phase, Phase::kUpdateFailed);
  user_.on_state = nullptr;

  // The cable goes back in: the erased record keeps the device in update
  // mode, and the half image it received before is forgotten.
  ASSERT_TRUE(Replug());
  ASSERT_EQ(Device("personality"), "update");
  machine_->PressUpdate();
  ASSERT_EQ(State().phase, Phase::kSwitched) << StatusText();

  machine_->PressExit();
  EXPECT_EQ(user_.messages.back(), TextId::kStartAnalyzerMode);
  EXPECT_EQ(replugs_failed_, 0);
  EXPECT_EQ(Device("personality"), "operation");
  EXPECT_EQ(Device("image"), "analyzer");
  EXPECT_EQ(firmware_.QueryMode(), Personality::kAnalyzer);
}

}  // namespace
}  // namespace velix::modechange::testing

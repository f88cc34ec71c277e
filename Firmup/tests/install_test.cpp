// Driver pre-installation: the INF's setup class, the driver store it fills,
// and the step number each failure reports.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Firmup/VELIXFw.h"
#include "platform/tests/environment_override.h"
#include "platform/tests/scratch_folder.h"

namespace velix::firmup::testing {
namespace {

namespace fs = std::filesystem;
using platform::testing::EnvironmentOverride;
using platform::testing::ReadFile;
using platform::testing::ScratchFolder;
using platform::testing::WriteFile;

std::string Inf(const std::string& version_lines, const std::string& hardware_id = "USB\\VID_1D9A&PID_030B") {
  return "; VELIX analyzer driver\r\n"
         "[Version]\r\n"
         "Signature=\"$Windows NT$\"\r\n" +
         version_lines +
         "Provider=%Vendor%\r\n"
         "\r\n"
         "[Manufacturer]\r\n"
         "%Vendor%=Models,NTamd64\r\n"
         "\r\n"
         "[Models.NTamd64]\r\n"
         "%DeviceDesc%=VELIX_Install, " +
         hardware_id +
         "\r\n"
         "\r\n"
         "[Strings]\r\n"
         "Vendor=\"TORVEL Systems\"\r\n"
         "ClassName=\"VelixAnalyzer\"\r\n"
         "DeviceDesc=\"VELIX (firmware update mode)\"\r\n";
}

std::string Utf16le(const std::string& text) {
  std::string out = "\xFF\xFE";
  for (const char c : text) {
    out += c;
    out += '\0';
  }
  return out;
}

const char kRule[] =
    "# VELIX analyzer, USB\\VID_1D9A&PID_030B, driver installed from VELIX.inf\n"
    "SUBSYSTEM==\"usb\", ATTR{idVendor}==\"1d9a\", ATTR{idProduct}==\"030b\", MODE=\"0660\", GROUP=\"plugdev\", "
    "TAG+=\"uaccess\"\n";

class InstallTest : public ::testing::Test {
 protected:
  std::string Store() const { return scratch_.File("store"); }
  std::string InfPath() const { return scratch_.File("VELIX.inf"); }
  bool NoDeviceElementLeft() const {
    std::error_code error;
    return !fs::exists(Store() + "/devices") || fs::is_empty(Store() + "/devices", error);
  }

  ScratchFolder scratch_;
  EnvironmentOverride store_{"VELIXFW_DRIVER_STORE", scratch_.File("store")};
};

TEST_F(InstallTest, InstallsTheInfAndTheUdevRuleForTheUpdateModeId) {
  WriteFile(InfPath(), Inf("Class=%ClassName%\r\n"));
  ASSERT_EQ(USBI2CInstall(InfPath().c_str()), 0);
  EXPECT_EQ(ReadFile(Store() + "/drivers/usb_vid_1d9a_pid_030b/VELIX.inf"), Inf("Class=%ClassName%\r\n"));
  EXPECT_EQ(ReadFile(Store() + "/70-velix-1d9a-030b.rules"), kRule);
  EXPECT_TRUE(NoDeviceElementLeft());
  // Installing again replaces what is there.
  EXPECT_EQ(USBI2CInstall(InfPath().c_str()), 0);
  EXPECT_EQ(ReadFile(Store() + "/70-velix-1d9a-030b.rules"), kRule);
}

TEST_F(InstallTest, StepNumberOfEachFailure) {
  const std::string class_31(31, 'C');
  const struct {
    const char* what;
    std::string content;
    int result;
  } cases[] = {
      {"class from [Strings]", Inf("Class=%ClassName%\r\n"), 0},
      {"class written out, key in any case, comment", Inf("CLASS = Velix ; the class\r\n"), 0},
      {"UTF-16LE file", Utf16le(Inf("Class=Velix\r\n")), 0},
      {"hardware ID in another case", Inf("Class=Velix\r\n", "usb\\vid_1d9a&pid_030b"), 0},
      {"class of 31 characters", Inf("Class=" + class_31 + "\r\n"), 0},
      {"class too long for its buffer", Inf("Class=" + class_31 + "X\r\n"), 1},
      {"no class", Inf(""), 1},
      {"empty class", Inf("Class=\r\n"), 1},
      {"not an INF at all", std::string("\x7F" "ELF\x02\x01\x01", 7), 1},
      {"INF for another device", Inf("Class=Velix\r\n", "USB\\VID_1D9A&PID_030A"), 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFile(InfPath(), c.content);
    EXPECT_EQ(USBI2CInstall(InfPath().c_str()), c.result);
    EXPECT_TRUE(NoDeviceElementLeft());
  }
}

TEST_F(InstallTest, MissingInfIsStepOne) {
  EXPECT_EQ(USBI2CInstall(scratch_.File("missing/VELIX.inf").c_str()), 1);
  EXPECT_EQ(USBI2CInstall(scratch_.Path().c_str()), 1);
  EXPECT_EQ(USBI2CInstall(nullptr), 1);
  EXPECT_FALSE(fs::exists(Store()));
}

TEST_F(InstallTest, StoreThatCannotBeMadeIsStepTwo) {
  WriteFile(InfPath(), Inf("Class=Velix\r\n"));
  WriteFile(scratch_.File("plain-file"), "");
  const EnvironmentOverride store("VELIXFW_DRIVER_STORE", scratch_.File("plain-file/store"));
  EXPECT_EQ(USBI2CInstall(InfPath().c_str()), 2);
}

TEST_F(InstallTest, DefaultStoreIsInTheDaemonsRuntimeFolder) {
  WriteFile(InfPath(), Inf("Class=Velix\r\n"));
  const EnvironmentOverride no_store("VELIXFW_DRIVER_STORE", std::nullopt);
  const EnvironmentOverride runtime("VELIX_RUNTIME_DIR", scratch_.File("runtime"));
  ASSERT_EQ(USBI2CInstall(InfPath().c_str()), 0);
  EXPECT_EQ(ReadFile(scratch_.File("runtime/driver-store/70-velix-1d9a-030b.rules")), kRule);
}

}  // namespace
}  // namespace velix::firmup::testing

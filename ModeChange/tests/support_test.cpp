// Command line, image lookup, the driver's mode reply and image file
// reading.
#include <gtest/gtest.h>

#include <filesystem>

#include "ModeChange/command_line.h"
#include "ModeChange/cpld_image.h"
#include "ModeChange/driver_commands.h"
#include "ModeChange/image_locator.h"
#include "ModeChange/tests/cpld_test_images.h"
#include "platform/tests/scratch_folder.h"

namespace velix::modechange::testing {
namespace {

using platform::testing::ScratchFolder;

TEST(CommandLine, RepairOptionAndImageFolder) {
  struct Case {
    std::vector<std::string> arguments;
    bool repair;
    std::string image_dir;
  } cases[] = {
      {{}, false, ""},
      {{"-d"}, true, ""},
      {{"-D"}, true, ""},
      {{"/d"}, false, ""},
      {{"file", "-debug"}, true, ""},
      {{"-x", "-d"}, false, ""},  // only the first "-" counts
      {{"a-d"}, true, ""},
      {{"--image-dir", "/opt/images", "-d"}, true, "/opt/images"},
      {{"--image-dir=/srv/x", "-q"}, false, "/srv/x"},
      {{"--image-dir"}, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    const CommandLine parsed = ParseCommandLine(c.arguments);
    EXPECT_EQ(parsed.repair, c.repair);
    EXPECT_EQ(parsed.image_dir, c.image_dir);
  }
}

TEST(CommandLine, HelpAndVersionAreAnsweredWithoutTheWindow) {
  struct Case {
    std::vector<std::string> arguments;
    TerminalRequest request;
  } cases[] = {
      {{}, TerminalRequest::kNone},
      {{"-d"}, TerminalRequest::kNone},
      {{"--help"}, TerminalRequest::kHelp},
      {{"-h"}, TerminalRequest::kHelp},
      {{"-d", "--help"}, TerminalRequest::kHelp},
      {{"-platform", "offscreen", "--version"}, TerminalRequest::kVersion},
      {{"--version", "--help"}, TerminalRequest::kVersion},
      {{"--image-dir", "--help"}, TerminalRequest::kNone},  // a folder's name
      {{"--image-dir=x", "-h"}, TerminalRequest::kHelp},
      {{"--", "--help"}, TerminalRequest::kNone},
      {{"-help"}, TerminalRequest::kNone},
      {{"--helpful"}, TerminalRequest::kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    EXPECT_EQ(FindTerminalRequest(c.arguments), c.request);
  }
}

TEST(ImageLocator, FirstMatchInNameOrderIgnoringCase) {
  ScratchFolder folder;
  for (const char* name : {"velixc_ana_2.frm", "VELIXC_ANA_1.FRM", "velixc_an.frm", "velixc_ana.frm.bak",
                           "velixc_mon.txt", "xvelixc_mon.frm"}) {
    platform::testing::WriteFile(folder.File(name), "x");
  }
  std::filesystem::create_directory(folder.File("velixc_mon_dir.frm"));
  EXPECT_EQ(FindImageFile(folder.Path(), Personality::kAnalyzer), folder.File("VELIXC_ANA_1.FRM"));
  EXPECT_EQ(FindImageFile(folder.Path(), Personality::kMonitor), "");
  platform::testing::WriteFile(folder.File("velixc_mon.frm"), "x");
  EXPECT_EQ(FindImageFile(folder.Path(), Personality::kMonitor), folder.File("velixc_mon.frm"));
  EXPECT_EQ(FindImageFile(folder.File("no-such-folder"), Personality::kMonitor), "");
  EXPECT_FALSE(ExecutableFolder().empty());
}

TEST(DriverCommands, PacketsAndTheModeReply) {
  EXPECT_EQ(ModeQueryPacket(), (CommandPacket{0xC8, 0, 0, 0, 0, 0, 0, 0, 4, 0}));
  EXPECT_EQ(EnterUpdateModePacket(), (CommandPacket{0xD9, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  const uint8_t analyzer[] = {0xFF, 0xFF, 0xFF, 0x01};
  const uint8_t monitor[] = {0xFF, 0xFF, 0xFF, 0xFE};
  const uint8_t short_reply[] = {0x01, 0x01, 0x01};
  EXPECT_EQ(PersonalityFromModeReply(analyzer), Personality::kAnalyzer);
  EXPECT_EQ(PersonalityFromModeReply(monitor), Personality::kMonitor);
  EXPECT_EQ(PersonalityFromModeReply(short_reply), Personality::kNone);
}

TEST(CpldImageFile, ReadsAtMostTheLimit) {
  ScratchFolder folder;
  const std::vector<uint8_t> largest = MakeCpldImage({.size = kMaxImageSize});
  WriteBytes(folder.File("largest.frm"), largest);
  const ImageFile read = ReadImageFile(folder.File("largest.frm"));
  EXPECT_EQ(read.result, ImageRead::kRead);
  EXPECT_EQ(read.bytes, largest);
  EXPECT_TRUE(ChecksumMatches(read.bytes));
  EXPECT_TRUE(IdentityMatches(read.bytes));
  EXPECT_TRUE(FileTypeMatches(read.bytes));
  EXPECT_EQ(ImageVersionMajor(read.bytes), 1);
  EXPECT_EQ(ImageVersionMinor(read.bytes), 0x05);

  EXPECT_EQ(ReadImageFile("").result, ImageRead::kMissing);
  EXPECT_EQ(ReadImageFile(folder.Path()).result, ImageRead::kMissing);
  EXPECT_EQ(ReadImageFile(folder.File("absent.frm")).result, ImageRead::kMissing);
}

}  // namespace
}  // namespace velix::modechange::testing

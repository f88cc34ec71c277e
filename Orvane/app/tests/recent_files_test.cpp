// The recent-file list: order, duplicates, its length and where it is kept.
#include "Orvane/app/recent_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/settings_store.h"
#include "platform/tests/scratch_folder.h"

namespace orvane {
namespace {

using velix::platform::testing::ScratchFolder;

TEST(RecentFiles, AddKeepsTheLastSixNewestFirst) {
  struct Case {
    const char* name;
    std::vector<std::string> added;
    std::vector<std::string> expected;
  } cases[] = {
      {"one", {"/c/a.SIC"}, {"/c/a.SIC"}},
      {"newest first", {"/c/a.SIC", "/c/b.SIC"}, {"/c/b.SIC", "/c/a.SIC"}},
      {"again moves to the front", {"/c/a.SIC", "/c/b.SIC", "/c/a.SIC"}, {"/c/a.SIC", "/c/b.SIC"}},
      {"same file, other spelling", {"/c/a.SIC", "/c/./x/../a.SIC", "//c//a.SIC"}, {"/c/a.SIC"}},
      {"case matters", {"/c/a.SIC", "/c/A.SIC"}, {"/c/A.SIC", "/c/a.SIC"}},
      {"seventh drops the oldest",
       {"/1.SIC", "/2.SIC", "/3.SIC", "/4.SIC", "/5.SIC", "/6.SIC", "/7.SIC"},
       {"/7.SIC", "/6.SIC", "/5.SIC", "/4.SIC", "/3.SIC", "/2.SIC"}},
      {"an old one again at six",
       {"/1.SIC", "/2.SIC", "/3.SIC", "/4.SIC", "/5.SIC", "/6.SIC", "/1.SIC"},
       {"/1.SIC", "/6.SIC", "/5.SIC", "/4.SIC", "/3.SIC", "/2.SIC"}},
      {"empty names are not files", {"/c/a.SIC", ""}, {"/c/a.SIC"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecentFiles recent;
    for (const std::string& path : c.added) recent.Add(path);
    EXPECT_EQ(recent.Entries(), c.expected);
  }
}

TEST(RecentFiles, RelativeNamesAndLinksMeetTheirTarget) {
  ScratchFolder folder;
  velix::platform::testing::WriteFile(folder.File("capture.SIC"), "x");
  std::filesystem::create_symlink(folder.File("capture.SIC"), folder.File("link.SIC"));
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.Path());
  RecentFiles recent;
  recent.Add("capture.SIC");
  recent.Add(folder.File("link.SIC"));
  recent.Add("missing.SIC");
  std::filesystem::current_path(previous);
  const std::string canonical_folder = std::filesystem::canonical(folder.Path()).string();
  EXPECT_EQ(recent.Entries(),
            (std::vector<std::string>{canonical_folder + "/missing.SIC", canonical_folder + "/capture.SIC"}));
  EXPECT_TRUE(recent.Remove(folder.File("link.SIC")));
  EXPECT_FALSE(recent.Remove(folder.File("link.SIC")));
  EXPECT_EQ(recent.Entries().size(), 1u);
}

TEST(RecentFiles, SavedAndLoadedInOrderMissingFilesIncluded) {
  ScratchFolder folder;
  velix::platform::IniSettingsStore store(folder.File("Orvane.ini"));
  RecentFiles recent;
  for (const char* path : {"/gone/1.SIC", "/gone/2.SIC", "/gone/3.SIC"}) recent.Add(path);
  ASSERT_TRUE(recent.Save(store));
  RecentFiles loaded;
  loaded.Load(velix::platform::IniSettingsStore(folder.File("Orvane.ini")));
  EXPECT_EQ(loaded.Entries(), recent.Entries());

  // A shorter list clears the slots it no longer fills.
  ASSERT_TRUE(recent.Remove("/gone/2.SIC"));
  ASSERT_TRUE(recent.Save(store));
  loaded.Load(velix::platform::IniSettingsStore(folder.File("Orvane.ini")));
  EXPECT_EQ(loaded.Entries(), (std::vector<std::string>{"/gone/3.SIC", "/gone/1.SIC"}));
}

TEST(RecentFiles, LoadSkipsEmptyAndRepeatedSlots) {
  ScratchFolder folder;
  velix::platform::testing::WriteFile(folder.File("Orvane.ini"),
                                      "[RecentFileList]\nFile1=/a.SIC\nFile2=\nFile3=/a.SIC\nFile4=/b.SIC\n"
                                      "File7=/beyond.SIC\n");
  RecentFiles recent;
  recent.Load(velix::platform::IniSettingsStore(folder.File("Orvane.ini")));
  EXPECT_EQ(recent.Entries(), (std::vector<std::string>{"/a.SIC", "/b.SIC"}));
}

}  // namespace
}  // namespace orvane

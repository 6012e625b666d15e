#include "platform/file_replace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "support/engine_test.h"

namespace {

namespace fs = std::filesystem;
using platform::ReplaceStep;
using vxtest::ReadFile;
using vxtest::WriteFile;

class ReplaceFileTest : public vxtest::EngineTest {
 protected:
  void TearDown() override {
    platform::SetReplaceFault(nullptr);
    EngineTest::TearDown();
  }
  // The names in the folder, so a test sees leftovers.
  std::set<std::string> Names() {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(".")) names.insert(e.path().filename().string());
    return names;
  }
};

TEST_F(ReplaceFileTest, ReplacesTheFileAndKeepsThePreviousOneWhenAsked) {
  EXPECT_TRUE(platform::ReplaceFile("save", "first\n", "save.bak"));
  EXPECT_EQ(ReadFile("save"), "first\n");
  EXPECT_EQ(Names(), (std::set<std::string>{"save"}));  // no old file, so no backup

  EXPECT_TRUE(platform::ReplaceFile("save", "second\n", "save.bak"));
  EXPECT_EQ(ReadFile("save"), "second\n");
  EXPECT_EQ(ReadFile("save.bak"), "first\n");

  // Without a backup name the backup stays as it was.
  EXPECT_TRUE(platform::ReplaceFile("save", "third, longer than before\n", ""));
  EXPECT_EQ(ReadFile("save"), "third, longer than before\n");
  EXPECT_EQ(ReadFile("save.bak"), "first\n");
  // A shorter file leaves nothing of the longer one.
  EXPECT_TRUE(platform::ReplaceFile("save", "4", ""));
  EXPECT_EQ(ReadFile("save"), "4");
  EXPECT_EQ(Names(), (std::set<std::string>{"save", "save.bak"}));

  // A file in a sub-folder; an empty file.
  fs::create_directories("data");
  EXPECT_TRUE(platform::ReplaceFile("data/x.txt", "", "data/x.bak"));
  EXPECT_TRUE(fs::exists("data/x.txt"));
  EXPECT_EQ(fs::file_size("data/x.txt"), 0u);
}

TEST_F(ReplaceFileTest, AMissingFolderFailsWithoutCreatingAnything) {
  EXPECT_FALSE(platform::ReplaceFile("nowhere/save", "x", "nowhere/save.bak"));
  EXPECT_FALSE(fs::exists("nowhere"));
}

TEST_F(ReplaceFileTest, LargeContentsArriveWhole) {
  std::string big(3 * 1024 * 1024 + 17, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 131 % 251);
  ASSERT_TRUE(platform::ReplaceFile("big", big, ""));
  EXPECT_EQ(ReadFile("big"), big);
}

// Every step, failed on its own, loses nothing: the file keeps its old
// bytes (or, for the folder flush after the rename, holds the new ones),
// the backup is the old file or what it was before, and no temporary file
// is left behind.
TEST_F(ReplaceFileTest, AFailureAtAnyStepLeavesTheOldFile) {
  std::vector<ReplaceStep> steps;
  platform::SetReplaceFault([&](ReplaceStep s) {
    steps.push_back(s);
    return false;
  });
  WriteFile("save", "old\n");
  WriteFile("save.bak", "older\n");
  ASSERT_TRUE(platform::ReplaceFile("save", "new\n", "save.bak"));
  const std::vector<ReplaceStep> expected = {
      ReplaceStep::kCreate,  ReplaceStep::kWrite,  ReplaceStep::kSync,   ReplaceStep::kClose,
      ReplaceStep::kReadOld, ReplaceStep::kCreate, ReplaceStep::kWrite,  ReplaceStep::kSync,
      ReplaceStep::kClose,   ReplaceStep::kRename, ReplaceStep::kRename, ReplaceStep::kSyncFolder};
  ASSERT_EQ(steps, expected);

  for (size_t failing = 0; failing < expected.size(); ++failing) {
    SCOPED_TRACE(failing);
    WriteFile("save", "old\n");
    WriteFile("save.bak", "older\n");
    size_t call = 0;
    platform::SetReplaceFault([&](ReplaceStep) { return call++ == failing; });
    EXPECT_FALSE(platform::ReplaceFile("save", "new\n", "save.bak"));
    platform::SetReplaceFault(nullptr);
    const bool afterRename = expected[failing] == ReplaceStep::kSyncFolder;
    EXPECT_EQ(ReadFile("save"), afterRename ? "new\n" : "old\n");
    const std::string backup = ReadFile("save.bak");
    EXPECT_TRUE(backup == "old\n" || backup == "older\n") << backup;
    EXPECT_EQ(Names(), (std::set<std::string>{"save", "save.bak"}));
  }
}

}  // namespace

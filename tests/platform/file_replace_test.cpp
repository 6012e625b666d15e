#include "platform/file_replace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "support/bounded_run.h"
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
    platform::SetReplaceObserver(nullptr);
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

// The observer hears of each replacement once, after it ended: the file
// then holds the new bytes (or, after a failure, the old ones) and no
// temporary file is left in the folder, so whoever copies the folder from
// there never copies a half-written or a half-renamed state.
TEST_F(ReplaceFileTest, TheObserverLooksAtTheFolderOnlyWhenTheReplacementHasEnded) {
  struct Seen {
    std::string path;
    bool replaced;
    std::string save;
    std::string backup;
    std::set<std::string> names;
  };
  std::vector<Seen> seen;
  platform::SetReplaceObserver([&](const std::string& path, bool replaced) {
    seen.push_back({path, replaced, ReadFile("save"), fs::exists("save.bak") ? ReadFile("save.bak") : "",
                    Names()});
  });
  WriteFile("save", "old\n");
  ASSERT_TRUE(platform::ReplaceFile("save", "new\n", "save.bak"));
  // A failed rename: the old file stays, the temporary one is gone again.
  platform::SetReplaceFault([](ReplaceStep s) { return s == ReplaceStep::kRename; });
  EXPECT_FALSE(platform::ReplaceFile("save", "lost\n", ""));
  platform::SetReplaceFault(nullptr);
  platform::SetReplaceObserver(nullptr);
  EXPECT_TRUE(platform::ReplaceFile("save", "unseen\n", ""));

  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].path, "save");
  EXPECT_TRUE(seen[0].replaced);
  EXPECT_EQ(seen[0].save, "new\n");
  EXPECT_EQ(seen[0].backup, "old\n");
  EXPECT_EQ(seen[0].names, (std::set<std::string>{"save", "save.bak"}));
  EXPECT_FALSE(seen[1].replaced);
  EXPECT_EQ(seen[1].save, "new\n");
  EXPECT_EQ(seen[1].names, (std::set<std::string>{"save", "save.bak"}));
}

// Something that is not a regular file at the name (a named pipe, a
// folder) or at the backup's name is refused at once: the problem names it,
// and nothing is written, waited on or left behind. A pipe would hang an
// open for writing, so each call runs under a time limit.
TEST_F(ReplaceFileTest, APipeOrAFolderAtTheNameOrTheBackupIsRefusedWithoutWaiting) {
  struct Case {
    const char* what;
    std::function<void()> make;
    const char* blocked;  // "save" or "save.bak"
    const char* reason;
  };
  const Case cases[] = {
      {"pipe at the file", [] { ASSERT_EQ(::mkfifo("save", 0644), 0); }, "save", "named pipe"},
      {"pipe at the backup", [] { ASSERT_EQ(::mkfifo("save.bak", 0644), 0); }, "save.bak", "named pipe"},
      {"folder at the file", [] { fs::create_directory("save"); }, "save", "folder"},
      {"folder at the backup", [] { fs::create_directory("save.bak"); }, "save.bak", "folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& e : fs::directory_iterator(".")) fs::remove_all(e.path());
    if (std::string(c.blocked) == "save.bak") WriteFile("save", "old\n");
    c.make();
    const std::set<std::string> before = Names();
    const int code = vxtest::RunBounded(5, [] {
      std::string problem;
      const bool ok = platform::ReplaceFile("save", "new\n", "save.bak", &problem);
      std::fprintf(stderr, "%s\n", problem.c_str());
      return ok ? 1 : problem.find("save") != std::string::npos ? 0 : 2;
    });
    EXPECT_EQ(code, 0) << "refused with the file named, not hanging (-1) nor writing (1)";
    EXPECT_EQ(Names(), before);
    std::string problem;
    EXPECT_FALSE(platform::ReplaceFile("save", "new\n", "save.bak", &problem));
    EXPECT_NE(problem.find(std::string(c.blocked) + ":"), std::string::npos) << problem;
    EXPECT_NE(problem.find(c.reason), std::string::npos) << problem;
    if (std::string(c.blocked) == "save.bak") {
      EXPECT_EQ(ReadFile("save"), "old\n");
    }
  }
}

// A link at the name is followed: the target is replaced in its own folder
// and the link stays a link. A link (or a pipe) at the fixed temporary name
// of earlier versions is never written through: the temporary file has a
// name of its own.
TEST_F(ReplaceFileTest, ALinkAtTheNameIsFollowedAndTheOldTemporaryNameIsNeverUsed) {
  fs::create_directories("elsewhere");
  WriteFile("elsewhere/real", "old\n");
  fs::create_symlink("elsewhere/real", "save");
  WriteFile("victim", "do not touch\n");
  fs::create_symlink("victim", "save.tmp");
  ASSERT_EQ(::mkfifo("save.bak.tmp", 0644), 0);
  const int code =
      vxtest::RunBounded(5, [] { return platform::ReplaceFile("save", "new\n", "save.bak") ? 0 : 1; });
  ASSERT_EQ(code, 0);
  EXPECT_TRUE(fs::is_symlink("save"));
  EXPECT_EQ(ReadFile("elsewhere/real"), "new\n");
  EXPECT_EQ(ReadFile("save.bak"), "old\n");
  EXPECT_EQ(ReadFile("victim"), "do not touch\n");
  EXPECT_EQ(Names(),
            (std::set<std::string>{"elsewhere", "save", "save.bak", "save.tmp", "save.bak.tmp", "victim"}));
  std::set<std::string> inside;
  for (const auto& e : fs::directory_iterator("elsewhere")) inside.insert(e.path().filename().string());
  EXPECT_EQ(inside, (std::set<std::string>{"real"})) << "the temporary file lay beside the target";

  // Asked to, the link itself is replaced and its target left alone.
  EXPECT_TRUE(platform::ReplaceFile("save", "own\n", "", nullptr, platform::LinkAtName::kReplace));
  EXPECT_FALSE(fs::is_symlink("save"));
  EXPECT_EQ(ReadFile("save"), "own\n");
  EXPECT_EQ(ReadFile("elsewhere/real"), "new\n");

  // A link to a file not there yet makes the file; links in a ring fail.
  fs::create_symlink("elsewhere/fresh", "fresh");
  EXPECT_TRUE(platform::ReplaceFile("fresh", "made\n", ""));
  EXPECT_EQ(ReadFile("elsewhere/fresh"), "made\n");
  fs::create_symlink("ring2", "ring1");
  fs::create_symlink("ring1", "ring2");
  std::string problem;
  EXPECT_FALSE(platform::ReplaceFile("ring1", "x", "", &problem));
  EXPECT_NE(problem.find("ring1"), std::string::npos) << problem;
}

// The errors of a full disk, a read-only folder and a failing disk reach
// the caller as the system names them, with the file they struck; nothing
// is left behind and the old file stays.
TEST_F(ReplaceFileTest, FullDiskReadOnlyFolderAndDiskErrorsAreToldWithTheFile) {
  struct Case {
    ReplaceStep step;
    int error;
    const char* file;  // the name the problem begins with
  };
  const Case cases[] = {
      {ReplaceStep::kWrite, ENOSPC, "save.tmp."}, {ReplaceStep::kSync, ENOSPC, "save.tmp."},
      {ReplaceStep::kCreate, EROFS, "save.tmp."}, {ReplaceStep::kCreate, EACCES, "save.tmp."},
      {ReplaceStep::kClose, EIO, "save.tmp."},    {ReplaceStep::kReadOld, EIO, "save"},
      {ReplaceStep::kRename, EIO, "save"},        {ReplaceStep::kSyncFolder, EIO, "."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::strerror(c.error));
    SCOPED_TRACE(static_cast<int>(c.step));
    WriteFile("save", "old\n");
    fs::remove("save.bak");
    platform::SetFileFault([&](ReplaceStep s) { return s == c.step ? c.error : 0; });
    std::string problem;
    EXPECT_FALSE(platform::ReplaceFile("save", "new\n", "save.bak", &problem));
    platform::SetFileFault(nullptr);
    EXPECT_NE(problem.find(std::string(" ") + c.file), std::string::npos) << problem;
    EXPECT_NE(problem.find(std::strerror(c.error)), std::string::npos) << problem;
    EXPECT_EQ(ReadFile("save"), c.step == ReplaceStep::kSyncFolder ? "new\n" : "old\n");
    const std::set<std::string> names = Names();
    for (const std::string& n : names) EXPECT_EQ(n.find(".tmp"), std::string::npos) << n;
  }
}

// Leftovers of an interrupted replacement are found by their names: those
// of processes that no longer run and the fixed name of earlier versions,
// not a running process's file nor other names.
TEST_F(ReplaceFileTest, LeftoverTemporariesAreThoseOfEndedProcesses) {
  const std::string running = std::to_string(::getppid());
  for (const std::string& n :
       {std::string("save.tmp"), std::string("save.tmp.99999999.abc123"), "save.tmp." + running + ".abc123",
        std::string("save.tmp.12.abc"), std::string("save.tmpx"), std::string("save.bak.tmp.99999999.abc123"),
        std::string("other.tmp.99999999.abc123")}) {
    WriteFile(n, "x");
  }
  fs::create_directory("save.tmp.99999998.abc123");  // not a file
  std::set<std::string> found;
  for (const platform::LeftoverFile& f : platform::LeftoverTemporaries("save")) {
    found.insert(f.path);
    EXPECT_EQ(f.modified, platform::ModifiedTime(f.path));
  }
  EXPECT_EQ(found, (std::set<std::string>{"save.tmp", "save.tmp.99999999.abc123"}));
  fs::create_directories("data");
  WriteFile("data/lv.txt.tmp.99999999.zzzzzz", "x");
  ASSERT_EQ(platform::LeftoverTemporaries("data/lv.txt").size(), 1u);
  EXPECT_EQ(platform::LeftoverTemporaries("data/lv.txt")[0].path, "data/lv.txt.tmp.99999999.zzzzzz");
}

}  // namespace

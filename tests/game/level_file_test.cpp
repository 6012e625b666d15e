// Writing a level object file: every record, the end line and the empty
// line, read back as the level start reads it; and a failed write at any
// step leaves the old file as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "game/game_fixture.h"
#include "game/placements.h"
#include "platform/file_replace.h"
#include "support/bounded_run.h"

namespace {

namespace fs = std::filesystem;
using platform::ReplaceStep;

class LevelFileTest : public vxtest::GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    fs::create_directories("data");
    g.level = 7;
  }
  void TearDown() override {
    platform::SetReplaceFault(nullptr);
    TakeLevelFileFailure();
    GameTest::TearDown();
  }
  // A full table of placements, every word different.
  void FillPlacements() {
    for (int32_t i = 0; i < kPlacementCount; ++i) {
      PlacementRecord& p = g.tables.placements[i];
      p.active = i % 4 == 3 ? 0 : 1;
      p.x = i * 3 - 100;
      p.y = 600 - i;
      p.type = i % 7 == 0 ? 95 : i % 2;
      for (int32_t k = 0; k < 6; ++k) p.extra[k] = i * 10 + k - 2000;
      p.spare[0] = 77;
    }
  }
  static int32_t Lines(const std::string& text) {
    int32_t n = 0;
    for (char c : text) n += c == '\n' ? 1 : 0;
    return n;
  }
};

TEST_F(LevelFileTest, ASavedLevelReadsBackRecordForRecord) {
  FillPlacements();
  const GameState saved = g;
  SavePlacements(g);
  const std::string text = vxtest::ReadFile("data/lvobj07.txt");
  EXPECT_EQ(Lines(text), kPlacementCount + 2) << "301 records, the end line and an empty line";
  EXPECT_EQ(text.rfind("\n13131313,not found,not found,0,0,0,0,0,0,0,0,0,0\n\n"),
            text.size() - std::string("\n13131313,not found,not found,0,0,0,0,0,0,0,0,0,0\n\n").size());
  EXPECT_EQ(text.find("0, , ,1,-100,600,95,-2000,-1999,-1998,-1997,-1996,-1995\n"), 0u);
  EXPECT_NE(text.find("\n3, , ,0,-91,597,1,"), std::string::npos) << "free records are written too";
  EXPECT_NE(text.find("\n300, , ,1,800,300,0,"), std::string::npos);
  EXPECT_FALSE(fs::exists("data/lvobj07.txt.tmp"));

  for (PlacementRecord& p : g.tables.placements) p = PlacementRecord{};
  LoadPlacements(g);
  int32_t spawnable = 0;
  for (int32_t i = 0; i < kPlacementCount; ++i) {
    const PlacementRecord& a = saved.tables.placements[i];
    const PlacementRecord& b = g.tables.placements[i];
    ASSERT_EQ(b.active, a.active) << i;
    ASSERT_EQ(b.x, a.x) << i;
    ASSERT_EQ(b.y, a.y) << i;
    ASSERT_EQ(b.type, a.type) << i;
    ASSERT_EQ(b.extra[0], 0) << "the six further words are not read back";
    spawnable += a.active != 0 && a.type <= 90 ? 1 : 0;
  }
  // More spawnable records than the object table holds: it is full, and
  // nothing of type 95 is among them.
  ASSERT_GT(spawnable, kObjectCount);
  for (const MonsterRecord& r : g.tables.objects) {
    EXPECT_EQ(r.active, 1);
    EXPECT_LE(r.kind, 1);
  }

  // Level 100 shares the file of level 90; a table of free records still
  // writes 301 lines.
  for (PlacementRecord& p : g.tables.placements) p = PlacementRecord{};
  g.level = 100;
  SavePlacements(g);
  const std::string empty = vxtest::ReadFile("data/lvobj90.txt");
  EXPECT_EQ(Lines(empty), kPlacementCount + 2);
  EXPECT_NE(empty.find("\n150, , ,0,0,0,0,0,0,0,0,0,0\n"), std::string::npos);
}

TEST_F(LevelFileTest, AFailedWriteLosesNoLevelFile) {
  FillPlacements();
  const std::string old = "0, , ,1,10,20,0,0,0,0,0,0,0\n13131313,not found,not found\n";
  for (ReplaceStep step : {ReplaceStep::kCreate, ReplaceStep::kWrite, ReplaceStep::kSync, ReplaceStep::kClose,
                           ReplaceStep::kRename}) {
    vxtest::WriteFile("data/lvobj07.txt", old);
    platform::SetReplaceFault([step](ReplaceStep s) { return s == step; });
    SavePlacements(g);
    EXPECT_EQ(vxtest::ReadFile("data/lvobj07.txt"), old) << static_cast<int>(step);
    EXPECT_FALSE(fs::exists("data/lvobj07.txt.tmp")) << static_cast<int>(step);
  }
  // Only the folder's own sync comes after the rename: the new file stands.
  platform::SetReplaceFault([](ReplaceStep s) { return s == ReplaceStep::kSyncFolder; });
  SavePlacements(g);
  EXPECT_EQ(Lines(vxtest::ReadFile("data/lvobj07.txt")), kPlacementCount + 2);

  // Without a data folder nothing is written and nothing goes wrong.
  platform::SetReplaceFault(nullptr);
  fs::remove_all("data");
  SavePlacements(g);
  EXPECT_FALSE(fs::exists("data"));
}

// The editor's write under each way it can fail: a full disk, a read-only
// folder, a failing disk, a folder or a pipe at the level file's name (the
// write has five seconds: a pipe must not be waited on). Each is refused
// with one stderr line naming the file and the reason, raises the screen
// once, and leaves the old file. A pipe at the fixed temporary name of
// earlier versions is not used at all, and a link at the level file (into
// a shared data set) is replaced by the player's file, its target left alone.
TEST_F(LevelFileTest, EveryFailedWriteIsToldAndLeavesTheOldFile) {
  FillPlacements();
  const std::string old = "0, , ,1,10,20,0,0,0,0,0,0,0\n13131313,not found,not found\n";
  struct Case {
    const char* what;
    int error;
    ReplaceStep step;
    const char* reason;
  };
  for (const Case c : {Case{"full disk", ENOSPC, ReplaceStep::kWrite, "No space left on device"},
                       Case{"full at the flush", ENOSPC, ReplaceStep::kSync, "No space left on device"},
                       Case{"read-only folder", EROFS, ReplaceStep::kCreate, "Read-only file system"},
                       Case{"disk error", EIO, ReplaceStep::kRename, "Input/output error"}}) {
    SCOPED_TRACE(c.what);
    vxtest::WriteFile("data/lvobj07.txt", old);
    platform::SetFileFault([c](ReplaceStep s) { return s == c.step ? c.error : 0; });
    testing::internal::CaptureStderr();
    EXPECT_FALSE(SavePlacements(g));
    const std::string err = testing::internal::GetCapturedStderr();
    platform::SetFileFault(nullptr);
    EXPECT_EQ(err.rfind("vxgame: cannot write the level file: ", 0), 0u) << err;
    EXPECT_NE(err.find("data/lvobj07.txt"), std::string::npos) << err;
    EXPECT_NE(err.find(c.reason), std::string::npos) << err;
    EXPECT_TRUE(TakeLevelFileFailure());
    EXPECT_FALSE(TakeLevelFileFailure()) << "raised once";
    EXPECT_EQ(vxtest::ReadFile("data/lvobj07.txt"), old);
  }

  for (const char* thing : {"folder", "pipe", "old temporary pipe"}) {
    SCOPED_TRACE(thing);
    fs::remove_all("data");
    fs::create_directories("data");
    const std::string t = thing;
    if (t == "folder") fs::create_directory("data/lvobj07.txt");
    if (t == "pipe") {
      ASSERT_EQ(::mkfifo("data/lvobj07.txt", 0644), 0);
    }
    if (t == "old temporary pipe") {
      ASSERT_EQ(::mkfifo("data/lvobj07.txt.tmp", 0644), 0);
    }
    const int code = vxtest::RunBounded(5, [this] { return SavePlacements(g) ? 1 : 0; });
    ASSERT_NE(code, vxtest::kOutOfTime) << "waited on the pipe";
    EXPECT_EQ(code, t == "old temporary pipe" ? 1 : 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(SavePlacements(g), t == "old temporary pipe");
    const std::string err = testing::internal::GetCapturedStderr();
    if (t == "folder") {
      EXPECT_NE(err.find("data/lvobj07.txt: a folder stands at that name"), std::string::npos);
    }
    if (t == "pipe") {
      EXPECT_NE(err.find("data/lvobj07.txt: a named pipe stands at that name"), std::string::npos);
    }
    if (t == "old temporary pipe") {
      EXPECT_TRUE(err.empty()) << err;
    }
  }

  fs::remove_all("data");
  fs::create_directories("data");
  fs::create_directories("mine");
  vxtest::WriteFile("mine/level7.txt", old);
  fs::create_symlink("../mine/level7.txt", "data/lvobj07.txt");
  EXPECT_TRUE(SavePlacements(g));
  EXPECT_FALSE(fs::is_symlink("data/lvobj07.txt"));
  EXPECT_EQ(Lines(vxtest::ReadFile("data/lvobj07.txt")), kPlacementCount + 2);
  EXPECT_EQ(vxtest::ReadFile("mine/level7.txt"), old) << "what the link showed stays";
}

}  // namespace

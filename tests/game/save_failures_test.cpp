// Saves that cannot be written, files in the way of a save, a damaged save
// and a save a crash left under its temporary name: each is told (stderr,
// the log, a notice for the screen), waits on nothing and loses nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "game/saved_game.h"
#include "game/saved_game_support.h"
#include "platform/file_replace.h"
#include "shell/globals.h"
#include "support/bounded_run.h"

namespace {

namespace fs = std::filesystem;
using platform::ReplaceStep;
using vxtest::ReadFile;
using vxtest::WriteFile;

class SaveFailuresTest : public vxtest::StartedEngineTest {
 protected:
  void SetUp() override {
    StartedEngineTest::SetUp();
    // A save that succeeds ends any run of failures an earlier test left.
    vxtest::MakeGameInProgress(game, 0);
    ASSERT_TRUE(SaveGameAndWait(game));
    fs::remove(kSaveFile);
    Told();
  }
  void TearDown() override {
    platform::SetFileFault(nullptr);
    Told();
    StartedEngineTest::TearDown();
  }
  // What the frames would tell now: the notice, and the stderr lines in `err`.
  SaveNotice Told() {
    testing::internal::CaptureStderr();
    const SaveNotice n = TakeSaveNotice();
    err = testing::internal::GetCapturedStderr();
    return n;
  }
  std::string SaveTextOf(int32_t seed) {
    auto g = std::make_unique<GameState>();
    vxtest::MakeGameInProgress(*g, seed);
    SaveGame(*g);
    FinishSaving();
    const std::string text = ReadFile(kSaveFile);
    fs::remove(kSaveFile);
    fs::remove(kSaveBackupFile);
    return text;
  }
  static std::vector<int32_t> Expected(int32_t seed) {
    auto g = std::make_unique<GameState>();
    vxtest::MakeGameInProgress(*g, seed);
    return vxtest::LoadedWords(*g);
  }
  std::vector<int32_t> Load() {
    vxtest::ClearSavedWords(game);
    LoadGame(game);
    return vxtest::SavedWords(game);
  }
  void SaveSeed(int32_t seed) {
    vxtest::MakeGameInProgress(game, seed);
    SaveGame(game);
    FinishSaving();
  }

  std::string err;
};

// A full disk (at the write or at the flush), a read-only folder and a
// failing disk: the save is refused, the earlier one loads, stderr names
// the file and the reason; the screen is told once for a run of failures
// and again after a save has succeeded in between.
TEST_F(SaveFailuresTest, AFailedSaveIsToldOnceAndTheEarlierSaveStays) {
  SaveSeed(1);
  ASSERT_EQ(Told(), SaveNotice::kNone);
  const std::vector<int32_t> earlier = Expected(1);
  struct Case {
    ReplaceStep step;
    int error;
  };
  bool first = true;
  for (const Case c : {Case{ReplaceStep::kWrite, ENOSPC}, Case{ReplaceStep::kSync, ENOSPC},
                       Case{ReplaceStep::kCreate, EROFS}, Case{ReplaceStep::kCreate, EACCES},
                       Case{ReplaceStep::kRename, EIO}}) {
    SCOPED_TRACE(std::strerror(c.error));
    platform::SetFileFault([c](ReplaceStep s) { return s == c.step ? c.error : 0; });
    SaveSeed(2);
    platform::SetFileFault(nullptr);
    EXPECT_EQ(Told(), first ? SaveNotice::kSaveFailed : SaveNotice::kNone);
    first = false;
    EXPECT_NE(err.find("vxgame: cannot save the game: "), std::string::npos) << err;
    EXPECT_NE(err.find("gamesave.sav"), std::string::npos) << err;
    EXPECT_NE(err.find(std::strerror(c.error)), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(Load(), earlier);
  }
  SaveSeed(3);
  EXPECT_EQ(Told(), SaveNotice::kNone);
  EXPECT_TRUE(err.empty()) << err;
  platform::SetFileFault([](ReplaceStep s) { return s == ReplaceStep::kWrite ? ENOSPC : 0; });
  SaveSeed(4);
  platform::SetFileFault(nullptr);
  EXPECT_EQ(Told(), SaveNotice::kSaveFailed) << "a new run of failures is told again";
  EXPECT_EQ(Load(), Expected(3));
}

// Save and quit waits for its save and says whether it reached the disk.
TEST_F(SaveFailuresTest, SavingAndWaitingSaysWhetherTheSaveReachedTheDisk) {
  vxtest::MakeGameInProgress(game, 1);
  platform::SetFileFault([](ReplaceStep s) { return s == ReplaceStep::kSync ? ENOSPC : 0; });
  EXPECT_FALSE(SaveGameAndWait(game));
  EXPECT_FALSE(fs::exists(kSaveFile));
  EXPECT_EQ(Told(), SaveNotice::kNone) << "the caller tells this one itself";
  EXPECT_NE(err.find(std::strerror(ENOSPC)), std::string::npos) << err;
  platform::SetFileFault(nullptr);
  EXPECT_TRUE(SaveGameAndWait(game));
  EXPECT_EQ(Load(), Expected(1));
  game.player.alive = 0;
  EXPECT_TRUE(SaveGameAndWait(game)) << "a dead player has nothing to save";
}

// A named pipe at any name a save writes or reads: nothing waits on it (the
// child has five seconds), the save file and its backup are refused with
// a message, the names of earlier versions' temporary files are never
// used, and a pipe where a damaged save would go aside is passed over.
TEST_F(SaveFailuresTest, APipeAtAnyNameOfTheSaveIsNeverWaitedOn) {
  const std::string whole = SaveTextOf(1);
  struct Case {
    const char* pipe;
    bool withSave;  // a whole save is there first
    bool damaged;   // a damaged one instead
    bool saves;
  };
  for (const Case c :
       {Case{kSaveFile, false, false, false}, Case{kSaveBackupFile, true, false, false},
        Case{"gamesave.sav.tmp", true, false, true}, Case{"gamesave.sav.bak.tmp", true, false, true},
        Case{kDamagedSaveFile, false, true, true}}) {
    SCOPED_TRACE(c.pipe);
    for (const auto& e : fs::directory_iterator(".")) {
      if (e.path().filename().string().rfind("gamesave", 0) == 0) fs::remove_all(e.path());
    }
    if (c.withSave) WriteFile(kSaveFile, whole);
    if (c.damaged) WriteFile(kSaveFile, whole.substr(0, 4000));
    ASSERT_EQ(::mkfifo(c.pipe, 0644), 0);
    FinishBackgroundWork();
    const int code = vxtest::RunBounded(5, [] {
      const bool available = SavedGameAvailable();
      vxtest::MakeGameInProgress(game, 2);
      const bool saved = SaveGameAndWait(game);
      return (available ? 1 : 0) + (saved ? 2 : 0);
    });
    ASSERT_NE(code, vxtest::kOutOfTime) << "waited on the pipe";
    EXPECT_EQ((code & 2) != 0, c.saves);
    EXPECT_EQ((code & 1) != 0, c.withSave);
    struct stat st;
    ASSERT_EQ(::lstat(c.pipe, &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "the pipe is left as it was";
    if (c.damaged) {
      EXPECT_EQ(ReadFile(std::string(kDamagedSaveFile) + ".1"), whole.substr(0, 4000));
    }
  }
}

// A folder at the save's name or the backup's: refused and told, the
// earlier save untouched.
TEST_F(SaveFailuresTest, AFolderAtTheSaveOrTheBackupIsRefused) {
  const std::string whole = SaveTextOf(1);
  fs::create_directory(kSaveFile);
  SaveSeed(2);
  EXPECT_EQ(Told(), SaveNotice::kSaveFailed);
  EXPECT_NE(err.find("gamesave.sav: a folder stands at that name"), std::string::npos) << err;
  EXPECT_TRUE(fs::is_directory(kSaveFile));
  fs::remove(kSaveFile);

  WriteFile(kSaveFile, whole);
  fs::create_directory(kSaveBackupFile);
  SaveSeed(2);
  Told();
  EXPECT_NE(err.find("gamesave.sav.bak: a folder stands at that name"), std::string::npos) << err;
  EXPECT_EQ(ReadFile(kSaveFile), whole);
  EXPECT_EQ(Load(), Expected(1));
}

// A link at the save's name: the save goes to the link's target and the
// link stays (the player keeps the save elsewhere on purpose).
TEST_F(SaveFailuresTest, ALinkAtTheSaveIsFollowed) {
  const std::string whole = SaveTextOf(1), two = SaveTextOf(2);
  fs::create_directory("cloud");
  WriteFile("cloud/mine.sav", whole);
  fs::create_symlink("cloud/mine.sav", kSaveFile);
  SaveSeed(2);
  EXPECT_EQ(Told(), SaveNotice::kNone) << err;
  EXPECT_TRUE(fs::is_symlink(kSaveFile));
  EXPECT_EQ(ReadFile(kSaveBackupFile), whole);
  EXPECT_EQ(Load(), Expected(2));
  EXPECT_EQ(ReadFile("cloud/mine.sav"), two);
}

// A save cut short with every data line whole, only the end line short,
// and no backup: it is not loaded, but copied aside before any save can
// overwrite it, and the player is told which file and why, once. A later
// damaged save goes aside under the next free name.
TEST_F(SaveFailuresTest, ADamagedSaveIsKeptAsideAndTold) {
  const std::string whole = SaveTextOf(1);
  const std::string cut = whole.substr(0, whole.size() - 53);
  ASSERT_NE(cut.find("122,main vars 2"), std::string::npos);
  WriteFile(kSaveFile, cut);
  EXPECT_FALSE(SavedGameAvailable());
  EXPECT_EQ(ReadFile(kDamagedSaveFile), cut);
  EXPECT_EQ(Told(), SaveNotice::kDamagedSave);
  EXPECT_NE(
      err.find("gamesave.sav is damaged (it ends before its end line); it is kept as gamesave.sav.damaged; "
               "a new game starts"),
      std::string::npos)
      << err;
  EXPECT_EQ(Load(), vxtest::NewGameWords());
  EXPECT_EQ(Told(), SaveNotice::kNone) << "told once";
  SaveSeed(2);
  EXPECT_EQ(Told(), SaveNotice::kNone);
  EXPECT_EQ(ReadFile(kDamagedSaveFile), cut);
  EXPECT_FALSE(fs::exists(std::string(kDamagedSaveFile) + ".1"));
  EXPECT_EQ(Load(), Expected(2));

  // Damaged again (a level outside the world), now with a whole backup.
  std::string outside = ReadFile(kSaveFile);
  const size_t at = outside.find("121,main vars 1, ,") + 18;
  outside.replace(at, outside.find(',', at) - at, "101");
  SaveSeed(3);  // the backup is now save 2
  WriteFile(kSaveFile, outside);
  EXPECT_EQ(Load(), Expected(2));
  EXPECT_EQ(Told(), SaveNotice::kDamagedSave);
  EXPECT_NE(
      err.find("(its level lies outside 0..100); it is kept as gamesave.sav.damaged.1; the game goes on "
               "from gamesave.sav.bak"),
      std::string::npos)
      << err;
  EXPECT_EQ(ReadFile(std::string(kDamagedSaveFile) + ".1"), outside);
  EXPECT_EQ(ReadFile(kDamagedSaveFile), cut);

  // A damaged save that cannot be kept aside is not overwritten either.
  WriteFile(kSaveFile, cut + "x");
  platform::SetFileFault([](ReplaceStep s) { return s == ReplaceStep::kWrite ? ENOSPC : 0; });
  SaveSeed(4);
  platform::SetFileFault(nullptr);
  EXPECT_EQ(ReadFile(kSaveFile), cut + "x");
  EXPECT_EQ(Told(), SaveNotice::kSaveFailed);
  EXPECT_NE(err.find("cannot be kept aside"), std::string::npos) << err;

  // Nor when every name aside is taken by other damaged saves.
  for (int32_t n = 1; n < 100; ++n)
    WriteFile(std::string(kDamagedSaveFile) + "." + std::to_string(n), "other " + std::to_string(n));
  SaveSeed(5);
  EXPECT_EQ(ReadFile(kSaveFile), cut + "x");
  EXPECT_EQ(Told(), SaveNotice::kDamagedSave) << "the failed save itself was told before";
  EXPECT_NE(err.find("no free name"), std::string::npos) << err;
}

// A program killed after its new save was complete but before the rename
// leaves that save under its temporary name: the next start takes it when
// it is whole and not older than the save, keeps the save it replaces as
// the backup, and clears every leftover.
TEST_F(SaveFailuresTest, AWholeTemporarySaveNewerThanTheSaveIsTakenOnTheNextStart) {
  const std::string one = SaveTextOf(1), two = SaveTextOf(2);
  const auto later = fs::file_time_type::clock::now() + std::chrono::seconds(5);
  const auto earlier = fs::file_time_type::clock::now() - std::chrono::seconds(5);
  struct Case {
    const char* what;
    const char* temp;
    std::string bytes;
    bool newer, withSave;
    std::vector<int32_t> loads;
  };
  const std::vector<Case> cases = {
      {"newer whole", "gamesave.sav.tmp.99999999.abcdef", two, true, true, Expected(2)},
      {"older whole", "gamesave.sav.tmp.99999999.abcdef", two, false, true, Expected(1)},
      {"newer short", "gamesave.sav.tmp.99999999.abcdef", two.substr(0, 3000), true, true, Expected(1)},
      {"earlier versions' name", "gamesave.sav.tmp", two, true, true, Expected(2)},
      {"no save yet", "gamesave.sav.tmp.99999999.abcdef", two, true, false, Expected(2)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& e : fs::directory_iterator(".")) {
      if (e.path().filename().string().rfind("gamesave", 0) == 0) fs::remove_all(e.path());
    }
    if (c.withSave) WriteFile(kSaveFile, one);
    WriteFile(c.temp, c.bytes);
    WriteFile("gamesave.sav.bak.tmp.99999999.abcdef", one.substr(0, 100));
    fs::last_write_time(c.temp, c.newer ? later : earlier);
    EXPECT_EQ(Load(), c.loads);
    EXPECT_FALSE(fs::exists(c.temp));
    EXPECT_FALSE(fs::exists("gamesave.sav.bak.tmp.99999999.abcdef"));
    const bool taken = c.loads == Expected(2);
    EXPECT_EQ(ReadFile(kSaveFile), taken ? two : one);
    EXPECT_EQ(fs::exists(kSaveBackupFile), taken && c.withSave);
    if (taken && c.withSave) {
      EXPECT_EQ(ReadFile(kSaveBackupFile), one);
    }
  }
}

// A hand-edited height at either end of 32 bits would fall out of the
// world after every load: the player starts at the new game's height. A
// height the game can save stays exact.
TEST_F(SaveFailuresTest, AHeightFarOutsideTheScreenLoadsAsTheNewGamesHeight) {
  std::string save = SaveTextOf(1);
  const size_t at = save.find("121,main vars 1, ,") + 18;
  const size_t y = save.find(',', save.find(',', at) + 1) + 1;
  const size_t len = save.find(',', y) - y;
  const int32_t fresh = vxtest::NewGameWords()[1202];
  const int32_t h = engine.gfx.screenHeight;
  struct Case {
    int64_t saved;
    int32_t loaded;
  };
  for (const Case c : {Case{2147483647, fresh}, Case{-2147483648LL, fresh}, Case{99999999999LL, fresh},
                       Case{int64_t{h + 17} << 16, h << 16}, Case{int64_t{h + 18} << 16, fresh},
                       Case{int64_t{-h + 17} << 16, -h * 65536}, Case{int64_t{-h + 16} << 16, fresh},
                       Case{0, -17 * 65536}}) {
    SCOPED_TRACE(c.saved);
    std::string edited = save;
    edited.replace(y, len, std::to_string(c.saved));
    WriteFile(kSaveFile, edited);
    EXPECT_EQ(Load()[1202], c.loaded);
    EXPECT_EQ(game.level, Expected(1)[1200]);
  }
}

}  // namespace

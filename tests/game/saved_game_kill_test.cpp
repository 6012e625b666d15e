// A program killed while it saves: the next start still finds a save that
// loads, the earlier one or the new one, never a damaged file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "game/saved_game.h"
#include "game/saved_game_support.h"
#include "platform/file_replace.h"
#include "shell/globals.h"

namespace {

namespace fs = std::filesystem;

class SavedGameKillTest : public vxtest::StartedEngineTest {
 protected:
  // The saved words the next start loads.
  std::vector<int32_t> LoadAfterwards() {
    vxtest::ClearSavedWords(game);
    LoadGame(game);
    return vxtest::SavedWords(game);
  }
  static std::vector<int32_t> Expected(int32_t seed) {
    auto g = std::make_unique<GameState>();
    vxtest::MakeGameInProgress(*g, seed);
    return vxtest::LoadedWords(*g);
  }
  void SaveInParent(int32_t seed) {
    vxtest::MakeGameInProgress(game, seed);
    SaveGame(game);
    FinishSaving();
  }
  // Runs `child` in a child process and waits until SIGKILL ends it.
  template <typename F>
  void RunKilled(F child, int32_t killAfterMicroseconds) {
    FinishBackgroundWork();  // no thread of ours may be caught mid-step by the fork
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      child();
      _exit(0);
    }
    if (killAfterMicroseconds >= 0) {
      usleep(static_cast<useconds_t>(killAfterMicroseconds));
      kill(pid, SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
  }
};

// The child kills itself just before each step of the file writer.
TEST_F(SavedGameKillTest, KilledBeforeEachStepOfASave) {
  const std::vector<int32_t> earlier = Expected(1), later = Expected(2);
  for (int32_t step = 0; step < 12; ++step) {
    SCOPED_TRACE(step);
    fs::remove(kSaveFile);
    fs::remove(kSaveBackupFile);
    SaveInParent(1);
    SaveInParent(1);
    RunKilled(
        [step] {
          int32_t call = 0;
          platform::SetReplaceFault([&](platform::ReplaceStep s) {
            if (call++ == step || s == platform::ReplaceStep::kSyncFolder) raise(SIGKILL);
            return false;
          });
          vxtest::MakeGameInProgress(game, 2);
          SaveGame(game);
          FinishSaving();
        },
        -1);
    EXPECT_TRUE(SavedGameAvailable());
    // From its first write on, the new save is whole under its temporary
    // name (the kill loses no written bytes), and the next start takes it.
    EXPECT_EQ(LoadAfterwards(), step >= 2 ? later : earlier);
    for (const auto& e : fs::directory_iterator(".")) {
      EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << "a leftover stays";
    }
  }
}

// The child saves two games in turn as fast as it can and is killed at
// random moments.
TEST_F(SavedGameKillTest, KilledAtRandomMomentsWhileSaving) {
  const std::vector<int32_t> one = Expected(1), two = Expected(2);
  SaveInParent(1);
  uint32_t x = 2024;
  for (int32_t round = 0; round < 25; ++round) {
    SCOPED_TRACE(round);
    x = x * 1103515245u + 12345u;
    RunKilled(
        [] {
          for (int32_t i = 0;; ++i) {
            vxtest::MakeGameInProgress(game, 1 + i % 2);
            SaveGame(game);
            FinishSaving();
          }
        },
        static_cast<int32_t>(2000 + (x >> 16) % 20000));
    ASSERT_TRUE(SavedGameAvailable());
    const std::vector<int32_t> loaded = LoadAfterwards();
    EXPECT_TRUE(loaded == one || loaded == two);
  }
}

}  // namespace

// The saved-game loader on arbitrary bytes, as "gamesave.sav" and, when the
// first byte asks for one, as its backup too. Whatever loads must keep the
// level inside the world, and a game saved from it must load back the same.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "game/level_start.h"
#include "game/saved_game.h"
#include "platform/headless/headless_backend.h"

namespace {

std::string& Folder() {
  static std::string folder;
  return folder;
}

// Everything the game left there goes: saves, temporaries, damaged copies.
void EmptyOwnFolder() {
  if (DIR* dir = opendir(Folder().c_str())) {
    while (const dirent* e = readdir(dir)) {
      if (e->d_name[0] != '.') unlink((Folder() + "/" + e->d_name).c_str());
    }
    closedir(dir);
  }
}

void RemoveOwnFolder() {
  EmptyOwnFolder();
  rmdir(Folder().c_str());
}

// A folder of this process's own; on a memory file system when there is
// one, since every save is flushed to the disk.
bool MakeOwnFolder() {
  const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  Folder() = std::string(base) + "/vx-fuzz-save-" + std::to_string(getpid());
  if (mkdir(Folder().c_str(), 0700) != 0) return false;
  std::atexit(RemoveOwnFolder);
  return true;
}

void Run(const uint8_t* data, size_t size);

// Where a new game puts the player; a loaded height out of reach gives way
// to it.
int32_t NewGameHeight() {
  static GameState fresh;
  ResetGame(fresh);
  return fresh.player.y;
}

int32_t Words(const GameState& g, int32_t i) {
  if (i < 100) return g.progress.owned[i];
  if (i < 1100) return g.progress.resultSeen[i - 100];
  if (i < 1200) return g.progress.levelCleared[i - 1100];
  const int32_t rest[] = {g.level,
                          g.player.x,
                          g.player.y,
                          g.player.weapon,
                          g.progress.difficultyOffset,
                          g.progress.difficultyBase,
                          g.progress.longBlade,
                          g.progress.armour,
                          g.progress.doubleShot,
                          g.progress.regeneration,
                          g.progress.broadBlade};
  return rest[i - 1200];
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static platform::HeadlessBackend backend;
  platform::Install(&backend);
  // The logical screen the game fixes at start-up: a loaded height is kept
  // only within a screen's height of it.
  engine.gfx.screenWidth = 800;
  engine.gfx.screenHeight = 600;
  if (!MakeOwnFolder()) std::abort();
  return 0;
}

// The game reads and writes its save in the working folder; the fuzzer's
// own paths may be relative to the folder it was started in.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int back = open(".", O_RDONLY | O_DIRECTORY);
  if (back < 0 || chdir(Folder().c_str()) != 0) std::abort();
  Run(data, size);
  if (fchdir(back) != 0) std::abort();
  close(back);
  return 0;
}

namespace {

void Run(const uint8_t* data, size_t size) {
  // Each input starts in an empty folder: what an earlier input left there
  // (a hundred damaged copies, say) must not change this one's outcome.
  EmptyOwnFolder();
  // Byte 0: bit 0 asks for a backup, the rest says where the input splits.
  size_t split = size;
  const bool backup = size > 0 && (data[0] & 1) != 0;
  if (backup) split = 1 + (size - 1) * (data[0] >> 1) / 127;
  const uint8_t* save = size > 0 ? data + 1 : data;
  const size_t saveBytes = size > 0 ? split - 1 : 0;
  if (!fuzz::WriteInput(kSaveFile, save, saveBytes)) return;
  if (backup) {
    if (!fuzz::WriteInput(kSaveBackupFile, data + split, size - split)) return;
  } else {
    unlink(kSaveBackupFile);
  }

  const bool available = SavedGameAvailable();
  LoadGame(game);
  if (game.level < 0 || game.level > 100) __builtin_trap();
  if (!available) return;

  // Saved and loaded again, every word comes back, the player 17 pixels
  // higher once more.
  static GameState before;
  before.player.alive = -1;
  before.progress = game.progress;
  before.level = game.level;
  before.player.x = game.player.x;
  before.player.y = game.player.y;
  before.player.weapon = game.player.weapon;
  SaveGame(before);
  LoadGame(game);
  // A height lifted out of reach of the screen is not taken; the player
  // starts at the new game's height instead.
  const int32_t lifted = static_cast<int32_t>(static_cast<uint32_t>(before.player.y) - (17u << 16));
  before.player.y = (lifted >> 16) >= -600 && (lifted >> 16) <= 600 ? lifted : NewGameHeight();
  for (int32_t i = 0; i < 1211; ++i) {
    if (Words(game, i) != Words(before, i)) __builtin_trap();
  }
}

}  // namespace

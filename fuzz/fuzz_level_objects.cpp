// The level object file reader on arbitrary bytes, as "data/lvobj07.txt":
// whatever it reads is spawned and drawn as the editor draws it, and the
// placements written back by the editor's save read back the same.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "game/editor.h"
#include "game/placements.h"
#include "gfx/image_slots.h"
#include "platform/headless/headless_backend.h"
#include "random/random_source.h"

namespace {

constexpr const char* kLevelFile = "data/lvobj07.txt";

std::string& Folder() {
  static std::string folder;
  return folder;
}

void RemoveOwnFolder() {
  for (const char* name : {kLevelFile, "data/lvobj07.txt.tmp"}) unlink((Folder() + "/" + name).c_str());
  rmdir((Folder() + "/data").c_str());
  rmdir(Folder().c_str());
}

// A folder of this process's own with its "data/"; on a memory file system
// when there is one, since every save is flushed to the disk.
bool MakeOwnFolder() {
  const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  Folder() = std::string(base) + "/vx-fuzz-level-" + std::to_string(getpid());
  if (mkdir(Folder().c_str(), 0700) != 0) return false;
  if (mkdir((Folder() + "/data").c_str(), 0700) != 0) return false;
  std::atexit(RemoveOwnFolder);
  return true;
}

// Small pictures in every slot an icon or a spawned object names, and the
// text font, so the icons are really drawn.
void MakePictures() {
  const int32_t slots[] = {40,  41,  42,  43,  44,  45,  46,  47,  48,  103, 120, 126, 132,
                           138, 150, 156, 162, 167, 172, 177, 182, 187, 192, 725, 726, 727};
  for (int32_t slot : slots) {
    CreatePicture(engine.gfx, slot, 48, 12);
    for (int32_t y = 0; y < 12; ++y)
      for (int32_t x = 0; x < 48; ++x) SetPixel(engine.gfx, slot, x, y, 0xff808080u);
    ComputeRowSpans(engine.gfx, slot);
  }
}

void Run(const uint8_t* data, size_t size);

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static platform::HeadlessBackend backend;
  platform::Install(&backend);
  static std::vector<uint32_t> screen(800 * 600);
  engine.gfx.screenWidth = 800;
  engine.gfx.screenHeight = 600;
  InitGraphics(engine.gfx, screen.data(), 800, 600);
  SeedRandom(engine.random, 77);
  MakePictures();
  if (!MakeOwnFolder()) std::abort();
  return 0;
}

// The game reads and writes its level files in the working folder; the
// fuzzer's own paths may be relative to the folder it was started in.
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
  if (!fuzz::WriteInput(kLevelFile, data, size)) return;
  GameState& g = game;
  g.level = 7;
  LoadPlacements(g);
  // The editor draws what it read, wherever it lies.
  for (const PlacementRecord& p : g.tables.placements) {
    if (p.active != 0 && p.type <= 90) DrawObjectIcon(g, p.x, p.y, p.type);
  }

  // Written by the editor and read again, every placement comes back.
  static PlacementRecord before[kPlacementCount];
  for (int32_t i = 0; i < kPlacementCount; ++i) before[i] = g.tables.placements[i];
  SavePlacements(g);
  LoadPlacements(g);
  for (int32_t i = 0; i < kPlacementCount; ++i) {
    const PlacementRecord& a = before[i];
    const PlacementRecord& b = g.tables.placements[i];
    if (a.active != b.active || a.x != b.x || a.y != b.y || a.type != b.type) __builtin_trap();
  }
}

}  // namespace

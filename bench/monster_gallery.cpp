// The monster gallery: a fight over the night scene of the effects gallery,
// with the creature, shot and pickup pictures of a game folder (stand-ins
// where the folder lacks them), run for some frames and written as a PNG.
//
//   ninja -C build-test monster_gallery
//   ./build-test/bench/monster_gallery GAMEFOLDER [OUT.png] [FRAMES]
//
// The player is not drawn (his position is what the monsters aim at); the
// floor of the mask follows the scene's ground.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/loading.h"
#include "display/screenshot.h"
#include "effects_scene.h"
#include "game/objects.h"
#include "monster_scene.h"
#include "platform/headless/headless_backend.h"
#include "program_args.h"

namespace {

void MakeGroundMask(int32_t slot) {
  GfxContext& gfx = engine.gfx;
  CreatePicture(gfx, slot, fxscene::kWidth, fxscene::kHeight);
  for (int32_t x = 0; x < fxscene::kWidth; ++x) {
    const int32_t top = static_cast<int32_t>(fxscene::GroundTop(x));
    for (int32_t y = std::max(top, 0); y < fxscene::kHeight; ++y) SetPixel(gfx, slot, x, y, 0xffffffffu);
  }
  game.levelState.maskSlot = slot;
}

int32_t Floor(int32_t x) { return static_cast<int32_t>(fxscene::GroundTop(x)); }

}  // namespace

int main(int argc, char** argv) {
  int code = 0;
  if (bench::ProgramArgsDone(argc, argv, "monster_gallery",
                             "usage: monster_gallery GAMEFOLDER [OUT.png] [FRAMES]\n"
                             "  Draws a fight of every kind of monster with the pictures of GAMEFOLDER\n"
                             "  after FRAMES frames (default 40) into OUT.png (default monster-fight.png).\n",
                             3, code))
    return code;
  if (argc < 2) {
    std::fprintf(stderr, "usage: monster_gallery GAMEFOLDER [OUT.png] [FRAMES]\n");
    return 2;
  }
  const std::string out = std::filesystem::absolute(argc > 2 ? argv[2] : "monster-fight.png").string();
  const int frames = argc > 3 ? std::max(1, std::atoi(argv[3])) : 40;
  platform::HeadlessBackend backend;
  platform::Install(&backend);
  std::vector<uint32_t> background;
  fxscene::StartEngine(background);
  if (chdir(argv[1]) != 0) {
    std::fprintf(stderr, "monster_gallery: cannot enter %s\n", argv[1]);
    return 2;
  }
  for (int32_t step : {0, 2, 5, 6, 7, 8})
    LoadAssetsStep(game.levelPictures, game.level, step, engine.gfx, engine.effects, engine.sound);
  ConfigureFog(engine, 940, 60, 740, 60);
  monster_scene::MakeStandInPictures();
  MakeGroundMask(251);

  GameState& g = game;
  g.settings.soundOn = 0;
  g.level = 7;
  g.player.alive = -1;
  g.player.health = kFullHealth;
  g.player.x = ToFixed(430);
  g.player.y = ToFixed(Floor(430) - 43);
  g.fight.time = 3000;
  g.fight.timeStart = 4000;
  struct Placed {
    int32_t code, x, lift;
  };
  // Walkers stand 15 pixels over the floor, jumpers 92; the rest fly.
  const Placed cast[] = {{0, 140, 14},  {1, 250, 14},   {5, 560, 14},   {7, 650, 14},   {2, 330, 14},
                         {17, 720, 92}, {19, 520, 260}, {20, 200, 250}, {24, 380, 300}, {14, 470, 90}};
  for (const Placed& p : cast) SpawnMonster(g, p.x, Floor(p.x) - p.lift, p.code);
  for (int32_t f = 0; f < frames; ++f) {
    std::memcpy(engine.gfx.backBuffer, background.data(), background.size() * 4);
    g.player.health = kFullHealth;
    g.player.hitStun = 0;
    // A few gun shots and a kill on the way, as a fight would have them.
    if (f == frames - 12) {
      g.player.facing = 2;
      SpawnMonster(g, 300, Floor(300) - 60, 10);
      SpawnMonster(g, 300, Floor(300) - 60, 15);
    }
    if (f == frames - 6) SpawnDebris(g, 600, Floor(600) - 90, 150, 0);
    UpdateMonsters(g);
    UpdateDebris(g);
    UpdateFlashes(engine);
    DrawFog(engine, 0);
    UpdateFog(engine);
  }
  const bool ok = WritePng(out, engine.gfx.backBuffer, fxscene::kWidth, fxscene::kHeight, fxscene::kWidth);
  std::printf("%s %s\n", ok ? "wrote" : "could not write", out.c_str());
  platform::Install(nullptr);
  return ok ? 0 : 1;
}

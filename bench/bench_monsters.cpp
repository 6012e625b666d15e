// The monster steps of the in-game frame at the heaviest load a level can
// hold: the object table full (101 records of every kind) and the debris
// table full (201 pieces), topped up again before every frame. Each frame
// times UpdateMonsters and UpdateDebris, and then the effects they feed
// (the flash rings, the fog puffs drawn and moved), against one memcpy of
// the 800 x 600 back buffer measured in the same run. Every other frame the
// sword is out on a new attack frame with no marker on screen, so every
// monster's hit test scans its whole picture. Thread time; the goal is that
// of the whole frame (median <= 15x, worst <= 30x), which these steps share
// with the level picture, the player and the rest.
// With a game folder the creature, shot, piece and pickup pictures are the
// folder's (stand-ins fill in what it lacks).
//   ninja -C build-test bench_monsters && ./build-test/bench/bench_monsters [FRAMES [GAMEFOLDER]]
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "assets/loading.h"
#include "bench_support.h"
#include "effects_scene.h"
#include "game/objects.h"
#include "monster_scene.h"
#include "platform/headless/headless_backend.h"
#include "program_args.h"

namespace {

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

void Report(const char* name, const std::vector<double>& t, double copy, bool goal) {
  const double med = Percentile(t, 0.5), p99 = Percentile(t, 0.99), worst = Percentile(t, 1.0);
  std::printf("%-34s %8.0f %8.0f %8.0f %7.2f %7.2f %7.2f  %s\n", name, med / 1e3, p99 / 1e3, worst / 1e3,
              med / copy, p99 / copy, worst / copy,
              goal ? (med / copy <= 15.0 && worst / copy <= 30.0 ? "ok" : "MISSED") : "");
}

}  // namespace

int main(int argc, char** argv) {
  int code = 0;
  if (bench::ProgramArgsDone(argc, argv, "bench_monsters",
                             "usage: bench_monsters [FRAMES] [GAMEFOLDER]\n"
                             "  Times the monster, debris and effect updates over full tables for\n"
                             "  FRAMES frames (default 400), with the pictures of GAMEFOLDER if given.\n",
                             2, code))
    return code;
  const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 400;
  platform::HeadlessBackend backend;
  platform::Install(&backend);
  std::vector<uint32_t> background;
  fxscene::StartEngine(background);
  if (argc > 2) {
    if (chdir(argv[2]) != 0) {
      std::fprintf(stderr, "bench_monsters: cannot enter %s\n", argv[2]);
      return 2;
    }
    for (int32_t step : {0, 2, 5, 6, 7, 8})
      LoadAssetsStep(game.levelPictures, game.level, step, engine.gfx, engine.effects, engine.sound);
  } else {
    fxscene::MakeFogPictures(engine.gfx, 880, 740, 940, 60, 200, 150, 60.0);
  }
  ConfigureFog(engine, 940, 60, 740, 60);
  monster_scene::MakeStandInPictures();
  monster_scene::MakeStandInMask(game, 251);
  game.settings.soundOn = 0;
  game.level = 7;

  const double copy = bench::Median(bench::BackBufferCopyTimes(bench::ThreadNanoseconds));
  std::vector<double> monsters, debris, effects, all;
  uint32_t* screen = engine.gfx.backBuffer;
  for (int f = 0; f < frames; ++f) {
    monster_scene::FillMonsterTables(game);
    std::memcpy(screen, background.data(), bench::kBackBytes);
    game.player.swordActive = f % 2 == 0 ? -1 : 0;
    game.player.prevAttackFrame = game.player.attackFrame;
    game.player.attackFrame = (game.player.attackFrame + 1) % 10;
    const double t0 = bench::ThreadNanoseconds();
    UpdateMonsters(game);
    const double t1 = bench::ThreadNanoseconds();
    UpdateDebris(game);
    const double t2 = bench::ThreadNanoseconds();
    UpdateFlashes(engine);
    DrawFog(engine, 0);
    UpdateFog(engine);
    const double t3 = bench::ThreadNanoseconds();
    monsters.push_back(t1 - t0);
    debris.push_back(t2 - t1);
    effects.push_back(t3 - t2);
    all.push_back(t3 - t0);
  }
  std::printf("%d frames, full object and debris tables; memcpy of the back buffer %.0f us\n", frames,
              copy / 1e3);
  std::printf("%-34s %8s %8s %8s %7s %7s %7s\n", "step (us)", "median", "p99", "worst", "med x", "p99 x",
              "worst x");
  Report("UpdateMonsters (101 records)", monsters, copy, false);
  Report("UpdateDebris (201 pieces)", debris, copy, false);
  Report("their flashes and fog", effects, copy, false);
  Report("all of the above", all, copy, true);
  platform::Install(nullptr);
  return 0;
}

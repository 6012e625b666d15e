// Experiment: the real program under a greedy search.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/fight.h"
#include "game/new_game_start.h"
#include "monsters/monster_update.h"
#include "routecheck/distance_field.h"
#include "routecheck/fork_each.h"
#include "routecheck/game_driver.h"
#include "shell/globals.h"

using namespace routecheck;
namespace fs = std::filesystem;

namespace {

void Step(GameDriver& d, Keys k) {
  if (!InGame()) {
    Keys m;
    m.enter = !d.held().enter;
    d.Tick(m);
    return;
  }
  d.Tick(k);
}

int32_t Weighted() { return WeightedMonsterCount(game); }

// Remaining monster strength: small ones 1, big ones by their health.
double Strength() {
  double s = 0;
  for (const MonsterRecord& r : game.objects) {
    if (r.active == 0) continue;
    const int32_t c = MonsterClass(game, r.kind);
    if (c == 1) s += 1;
    if (c >= 2) s += 1 + 0.25 * r.health / 65536.0;
  }
  return s;
}

int32_t NearestField() {
  const int32_t px = WholePixel(game.playerX), py = WholePixel(game.playerY);
  int32_t best = 1 << 20;
  int32_t bx = 0, by = 0, bd = 1 << 30;
  for (const MonsterRecord& r : game.objects) {
    if (r.active == 0 || MonsterClass(game, r.kind) == 0) continue;
    const int32_t d = std::abs(WholePixel(r.x) - px) + std::abs(WholePixel(r.y) - py);
    if (d < bd) {
      bd = d;
      bx = WholePixel(r.x);
      by = WholePixel(r.y);
    }
  }
  if (bd == (1 << 30)) return 0;
  const DistanceField f(game, bx, by, 40);
  best = f.At(px, py);
  return best;
}

double Evaluate(int32_t level, int32_t offset0) {
  if (game.playerAlive == 0) return -1e9;
  if (game.difficultyOffset < offset0) return -1e8;
  if (game.levelCleared[level] != 0) return 1e8;
  double s = -1000.0 * Strength();
  s -= 8 * NearestField();
  s += game.health / 65536.0 * 20;
  return s;
}

void Dump(GameDriver& d) {
  std::printf("tick %lld level %d p (%d,%d) alive %d health %d weapon %d fight %d time %d W %d D %d\n",
              static_cast<long long>(d.ticks()), game.level, WholePixel(game.playerX),
              WholePixel(game.playerY), game.playerAlive, game.health >> 16, game.weapon, game.fightState,
              game.fightTime, Weighted(), Difficulty(game));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) return 2;
  const fs::path data = fs::absolute(argv[1]);
  const fs::path dir = fs::absolute(argv[2]);
  const int32_t level = std::atoi(argv[3]);
  const int32_t difficulty = std::atoi(argv[4]);
  const std::string items = argc > 5 ? argv[5] : "";
  fs::remove_all(dir);
  fs::create_directories(dir / "ini");
  fs::create_symlink(data / "data", dir / "data");
  std::ofstream(dir / "ini" / "main.ini")
      << "5,,,1\n6,,,0\n13,,,1\n15,,,0\n17,,,0\n19,,,0\n20,,,1\n13131313,,,\n";
  newGameStart.level = level;
  newGameStart.straightToGame = 1;
  GameDriver d;
  if (!d.Start(dir.string())) return 1;
  while (!(InGame() && d.ticks() > 12)) Step(d, Keys{});
  game.difficultyOffset = game.difficultyBase - difficulty;
  for (char c : items) {
    if (c == 'm') {
      game.owned[40] = 1;
      game.owned[41] = 0;
      game.weapon = 40;
    }
    if (c == 'p') game.owned[42] = 1;
    if (c == 'c') game.owned[43] = 1;
    if (c == 'd') game.doubleShot = -1;
    if (c == 'a') game.armour = -1;
    if (c == 'l') game.longBlade = -1;
    if (c == 'r') game.regeneration = -1;
    if (c == 'b') game.broadBlade = -1;
  }
  game.cachedWeapon = -13;
  for (int i = 0; i < 1010; ++i) game.resultSeen[i] = 1;
  Dump(d);
  const int32_t offset0 = game.difficultyOffset;
  std::vector<Keys> cands;
  for (int m = 0; m < 3; ++m)
    for (int j = 0; j < 2; ++j)
      for (int a = 0; a < 2; ++a) {
        Keys k;
        k.left = m == 1;
        k.right = m == 2;
        k.jump = j == 1;
        k.attack = a == 1;
        cands.push_back(k);
      }
  const int horizon = 8, commit = 4;
  int64_t fightStart = -1;
  while (game.levelCleared[level] == 0 && d.ticks() < 1500 && game.playerAlive != 0) {
    auto res = ForkEach<double>(static_cast<int>(cands.size()), 2, [&](int i) {
      for (int t = 0; t < horizon; ++t) Step(d, cands[i]);
      return Evaluate(level, offset0);
    });
    int best = 0;
    for (int i = 1; i < static_cast<int>(cands.size()); ++i)
      if (res[i].value_or(-1e18) > res[best].value_or(-1e18)) best = i;
    for (int t = 0; t < commit; ++t) {
      Step(d, cands[best]);
      if (fightStart < 0 && game.fightState == 1) fightStart = d.frames();
    }
    std::printf("%-20s %.0f ", KeysName(cands[best]).c_str(), res[best].value_or(-1e18));
    Dump(d);
    if (game.difficultyOffset < offset0) {
      std::printf("LOST\n");
      break;
    }
  }
  std::printf("result: cleared %d after %lld frames of fight\n", game.levelCleared[level],
              static_cast<long long>(d.frames() - fightStart));
  std::ofstream(dir / "script.txt") << d.Script();
  return 0;
}

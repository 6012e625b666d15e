#include "monsters/big_monster_kit.h"

#include <algorithm>

#include "engine/engine_effects.h"
#include "game/fight.h"
#include "game/object_kinds.h"
#include "game/objects.h"
#include "game/singletons.h"
#include "game/weapons.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "monsters/monster_common.h"

namespace monsters {

namespace {

int32_t Rand(int32_t lo, int32_t hi) { return Random(engine.random, lo, hi); }

// The health a sword frame takes: by kind, with the curved sword, and the
// extras of the long and the broad blade (16.16).
int32_t SwordLoss(const GameState& g, int32_t kind) {
  constexpr int32_t kQuarter = kFixedOne / 4;
  int32_t loss = 0, longExtra = 0, broadExtra = kQuarter;
  if (kind == kBigJumper) {
    loss = g.player.weapon == kSword ? 3 * kQuarter : 2 * kQuarter;
    longExtra = 2 * kQuarter;
  } else if (kind == kBreedingFlyer) {
    loss = g.player.weapon == kSword ? 3 * kQuarter : kQuarter;
    longExtra = 2 * kQuarter;
  } else {  // 32
    loss = g.player.weapon == kSword ? 2 * kQuarter : kQuarter;
    longExtra = kQuarter;
  }
  if (g.progress.longBlade != 0) loss += longExtra;
  if (g.progress.broadBlade != 0) loss += broadExtra;
  return loss;
}

}  // namespace

bool SwordWound(GameState& g, int32_t i, int32_t strip) {
  MonsterRecord& r = g.tables.objects[i];
  const int32_t half = PictureHeight(engine.gfx, r.image) / 2;
  const int32_t shown = r.frame / std::max(r.frameDivisor, 1);
  if (!SwordTouches(g.player, strip, Px(r) - half, MonsterTop(g, i), shown)) return false;
  const int32_t plx = PlayerPx(g);
  const int32_t ply = PlayerPy(g);
  Flashes(plx, ply - 5, 21, 20, 1024, 512);
  if (Rand(0, 100) > 60) SpawnDebris(g, plx, ply - 5, kShellPicture, 1);
  Sparks(g, plx, ply - 5, 24, 13, 20);
  if (g.settings.soundOn != 0) {
    if (Rand(0, 100) > 75) PlaySound(engine.sound, 1);
    PlaySound(engine.sound, Rand(40, 41));
  }
  const int32_t health = fixed::Sub(std::clamp(r.health, 0, kFullHealth), SwordLoss(g, r.kind));
  const bool dies = health < 1;
  if (dies) BigDeath(g, i, r.kind == kBigJumper ? 51 : 21, 0);
  r.health = health;
  if (r.kind == kBreedingFlyer || r.kind == kSecondBigJumper) Sample(g, 1);
  StartFight(g);
  return dies;
}

void BigDeath(GameState& g, int32_t i, int32_t rings, int32_t offset) {
  MonsterRecord& r = g.tables.objects[i];
  const int32_t px = Px(r);
  const int32_t py = Py(r);
  const int32_t half = PictureHeight(engine.gfx, r.image) / 2;
  r.active = 0;
  if (g.settings.soundOn != 0) {
    PlaySound(engine.sound, Rand(15, 17));
    for (int32_t k = 0; k < 5; ++k) PlaySound(engine.sound, Rand(40, 45));
  }
  Sparks(g, px, py, 131, 13, 20);
  for (int32_t k = 0; k < 4; ++k) {
    const int32_t green = 80 + Rand(-50, 50);
    const int32_t red = 100 + Rand(-50, 50);
    const int32_t oy = Rand(-50, 50);
    const int32_t ox = Rand(-50, 50);
    AddRadialLight(engine, px + ox, py + oy, 40, red, green, 50);
  }
  SpawnDebris(g, px - half, py - half, r.image, 0);
  Flashes(px + offset, py + offset, rings, 100, 10240, 768);
}

bool FightOn(const GameState& g) { return g.fight.time > 0 && g.player.alive != 0; }

bool RoomToBreed(const GameState& g) { return FreeRecords(g.tables) > 14; }

void BreedAt(GameState& g, int32_t x, int32_t y, int32_t (*drawCode)(), int32_t bonusOver) {
  if (x < 80 || x > ScreenW() - 80 || y < 150 || y > ScreenH() - 100) return;
  SpawnMonster(g, x, y, drawCode());
  if (Rand(0, 100) > bonusOver) g.fight.time = fixed::Add(g.fight.time, Difficulty(g.progress));
  g.fight.time = std::min(g.fight.time, fixed::Sub(g.fight.timeStart, 1));
}

void HealthBar(int32_t x, int32_t y, int32_t length, int32_t filled) {
  GfxContext& gfx = engine.gfx;
  FillRect(gfx, x - 3, y - 3, x + length + 3, y + 8, 0xf5f5f5u);
  FillRect(gfx, x - 1, y - 1, x + length + 1, y + 6, 0u);
  FillRect(gfx, x, y, x + length, y + 5, 0xff0000u);
  FillRect(gfx, x, y, x + filled, y + 5, 0x00c864u);
}

}  // namespace monsters

// The hoverer (kind 24, spawn codes 24 and 26): it drifts about its home,
// fires and breeds walkers while a fight runs, and is hurt only by its own
// shots sent back by the sword.
#include <algorithm>

#include "engine/engine_effects.h"
#include "game/object_kinds.h"
#include "game/objects.h"
#include "game/screens.h"
#include "game/singletons.h"
#include "game/weapons.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "monsters/big_monster_kit.h"
#include "monsters/kinds.h"
#include "monsters/monster_common.h"

namespace monsters {

namespace {

int32_t Rand(int32_t lo, int32_t hi) { return Random(engine.random, lo, hi); }

int32_t SmallWalker() { return 2 * Random(engine.random, 0, 1); }

}  // namespace

void MoveHoverer(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  const bool fight = g.fight.time >= 1;
  Roam(r, Px(r), 65);
  r.x = fixed::Add(r.x, fixed::Mul(fixed::Mul(r.direction, r.speed), fight ? 1 << 18 : 1 << 15));
  constexpr int32_t kPull = 24576;  // 0.375 pixel
  r.vy = fixed::Add(r.vy, r.homeY >= Py(r) ? kPull : -kPull);
  r.vy = fixed::Add(r.vy, fixed::Shl(Rand(-11, 11), 13));
  r.y = fixed::Add(r.y, fight ? fixed::Mul(r.vy, 2) : r.vy);
  r.vy = std::clamp(r.vy, -3 * kFixedOne, 3 * kFixedOne);
  // It changes pose at random instead of animating.
  if (Rand(0, 100) > 65 && Rand(0, 100) > 60) r.frame = 4 * Rand(0, 2);
  if (Outside(Px(r), Py(r), 300)) r.active = 0;
}

void TouchHoverer(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  const int32_t h = PictureHeight(engine.gfx, r.image);
  if (FightOn(g) && Rand(0, 100) > 50 && Rand(0, 100) > 50 && Rand(0, 100) > 50) {
    g.tables.currentShooter = i;
    SpawnMonster(g, Px(r), MonsterTop(g, i) + h / 2 + h / 5 + 4, 25);
  }
  if (FightOn(g) && Rand(0, 100) > 75 && Rand(0, 100) > 70 && RoomToBreed(g)) {
    BreedAt(g, Px(r), MonsterTop(g, i) + h / 2 + h / 5 + 24, SmallWalker, 85);
  }
}

void DrawHoverer(GameState& g, int32_t i) {
  const MonsterRecord& r = g.tables.objects[i];
  GfxContext& gfx = engine.gfx;
  ResetDrawMode(gfx);
  const int32_t h = PictureHeight(gfx, r.image);
  const int32_t px = Px(r);
  const int32_t top = MonsterTop(g, i);
  const int32_t shown = r.frame / std::max(r.frameDivisor, 1);
  DrawPicture(gfx, r.poseImage + shown + (r.direction <= 0 ? 3 : 0), px - h / 2, top);
  HealthBar(px - 20, top + 40, 40, std::clamp(WholePixel(r.health), 0, 40));
  RaiseMessage(g, OpenScreen(kScreenHovererSeen), 3);
}

void WoundShooter(GameState& g, int32_t shooter) {
  // Only a live hoverer is hurt; an index outside the table names nobody.
  if (shooter < 0 || shooter >= kObjectCount) return;
  MonsterRecord& r = g.tables.objects[shooter];
  if (r.active == 0 || r.kind != kHoverer) return;
  int32_t loss = g.player.weapon == kSword ? 3 * kFixedOne + kFixedOne / 4 : 2 * kFixedOne + 3 * kFixedOne / 4;
  if (g.progress.longBlade != 0) loss += kFixedOne;
  if (g.progress.broadBlade != 0) loss += kFixedOne / 2;
  r.health = fixed::Sub(r.health, loss);
  if (r.health < 1) BigDeath(g, shooter, 21, 50);
}

}  // namespace monsters

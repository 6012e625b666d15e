// Jumpers (kinds 17 and 32): heavy monsters that move only by leaping.
// Kind 17 leaps and fires while the player's weapon is out and calms down
// in peace; kind 32 leaps at random while a fight runs and breeds.
#include <algorithm>

#include "engine/engine_effects.h"
#include "game/object_kinds.h"
#include "game/objects.h"
#include "game/screens.h"
#include "game/singletons.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "monsters/big_monster_kit.h"
#include "monsters/kinds.h"
#include "monsters/monster_common.h"

namespace monsters {

namespace {

int32_t Rand(int32_t lo, int32_t hi) { return Random(engine.random, lo, hi); }

// A jumper stands while any of six points under its feet is solid.
bool Stands(const GameState& g, int32_t px, int32_t py) {
  for (int32_t b : {90, 97}) {
    for (int32_t a : {-40, 0, 40}) {
      if (Solid(g, px + a, py + b)) return true;
    }
  }
  return false;
}

int32_t DrawSmallShooter() {
  static constexpr int32_t kCodes[4] = {1, 5, 5, 7};
  return kCodes[Random(engine.random, 0, 3)];
}

}  // namespace

void MoveJumper(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  const int32_t w = ScreenW();
  const bool stands = Stands(g, Px(r), Py(r));
  if (stands) {
    r.airFrames = 0;
    if (r.vy > 0) {
      r.vy = 0;
      r.vx = 0;
    }
  } else {
    r.airFrames = fixed::Add(r.airFrames, 1);
  }
  if (r.airFrames > 3) r.y = fixed::Add(r.y, fixed::Shl(6, 16));
  if (Solid(g, Px(r) - 80, Py(r))) r.direction = fixed::Abs(r.direction);
  if (Solid(g, Px(r) + 80, Py(r))) r.direction = fixed::Sub(0, fixed::Abs(r.direction));
  if (r.airFrames < 4) r.x = fixed::Add(r.x, fixed::Mul(fixed::Mul(r.direction, r.speed), 1 << 15));
  if (Px(r) < 100) r.x = fixed::Shl(100, 16);
  if (Px(r) > w - 100) r.x = fixed::Shl(w - 100, 16);
  const int32_t half = PictureHeight(engine.gfx, r.image) / 2;
  if (Py(r) - half < -50) r.y = fixed::Shl(half - 50, 16);
  r.frame = r.frame > r.lastFrame - 1 ? 0 : r.frame + 1;
  if (r.kind == kBigJumper) {
    if (g.player.swordActive == 0) {
      if (r.rage <= 999) r.rage += 2;
    } else {
      r.rage = 0;
    }
    r.rage = std::clamp(r.rage, 0, 1000);
  }
  const bool eager = r.kind == kBigJumper ? r.rage < 350 : g.fight.time >= 1 && g.player.alive != 0;
  if (eager && Rand(0, 100) > 20 && Rand(0, 100) >= 21 && stands && r.vy >= 0) {
    if (r.kind == kBigJumper) r.rage = fixed::Add(r.rage, 70 * Rand(0, 2));
    // Always towards the middle of the screen.
    const int32_t dx = Px(r) < w / 2 ? Rand(-50, 350) : Rand(-350, 50);
    const int32_t dy = Rand(-30, 30) - 100;
    const int32_t n = fixed::Abs(dx) + fixed::Abs(dy) + 1;
    r.vx = fixed::Shl(100 * dx / n, 14);
    r.vy = fixed::Shl(100 * dy / n, 15);
  }
  r.vx = fixed::Sub(r.vx, r.vx / 32);
  r.vy = fixed::Sub(r.vy, r.vy / 32);
  if (!(stands && r.vy >= 0)) r.vy = fixed::Add(r.vy, kFixedOne);
  r.x = fixed::Add(r.x, r.vx);
  r.y = fixed::Add(r.y, r.vy);
  if (Outside(Px(r), Py(r), 400)) r.active = 0;
}

void TouchJumper(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  if (g.player.swordActive != 0) {
    // Kind 17 is hit on the strip that faces the player, kind 32 on the one
    // its direction names (it keeps the 0 it spawned with, so the mirrored).
    const bool mirrored = r.kind == kBigJumper ? Px(r) >= PlayerPx(g) : r.direction < 1 && r.airFrames < 4;
    if (SwordWound(g, i, mirrored ? r.image + 1 : r.image)) return;
  }
  const int32_t h = PictureHeight(engine.gfx, r.image);
  const int32_t px = Px(r);
  if (r.kind == kBigJumper) {
    if (g.player.alive != 0 && r.rage < 350 && Rand(0, 100) > 78 && Rand(0, 100) > 78) {
      const int32_t x = px < PlayerPx(g) ? px + 5 : px - 5;
      SpawnMonster(g, x, MonsterTop(g, i) + h / 2 + 19, 18);
    }
    return;
  }
  if (FightOn(g) && Rand(0, 100) > 75 && Rand(0, 100) > 70 && RoomToBreed(g)) {
    BreedAt(g, px, MonsterTop(g, i) + h / 4, DrawSmallShooter, 80);
  }
}

void DrawJumper(GameState& g, int32_t i) {
  const MonsterRecord& r = g.tables.objects[i];
  GfxContext& gfx = engine.gfx;
  ResetDrawMode(gfx);
  const int32_t h = PictureHeight(gfx, r.image);
  const int32_t px = Px(r);
  const int32_t top = MonsterTop(g, i);
  const int32_t shown = r.frame / std::max(r.frameDivisor, 1);
  const int32_t leftSet = px >= PlayerPx(g) ? (r.kind == kBigJumper ? 2 : 5) : 0;
  DrawPicture(gfx, r.poseImage + shown + leftSet, px - h / 2, top + 10);
  if (r.kind == kBigJumper) Sparks(g, px, top + h / 2 + 19, 8, 10, 10, 3);
  HealthBar(px - 20, top + 45, 40, std::clamp(WholePixel(r.health), 0, 40));
  if (r.kind == kBigJumper) {
    RaiseMessage(g, OpenScreen(kScreenBigJumperSeen), 3);
  } else {
    RaiseMessage(g, OpenScreen(kScreenSecondBigJumperSeen), 4);
  }
}

}  // namespace monsters

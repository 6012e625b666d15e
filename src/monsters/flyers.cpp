// Flyers: the big flyer (kind 19), which fires and breeds small flyers
// while a fight runs, and the small flyer (kind 20), which dies from one
// touch and fires shoving shots.
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

int32_t SmallFlyer() { return 20; }

}  // namespace

void MoveFlyer(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  Roam(r, Px(r), 55);
  r.x = fixed::Add(r.x, fixed::Mul(fixed::Mul(r.direction, r.speed), 1 << 15));
  // Drawn back to its home height, with a random flutter.
  r.vy = fixed::Add(r.vy, r.homeY >= Py(r) ? kHalfPixel : -kHalfPixel);
  r.vy = fixed::Add(r.vy, fixed::Shl(Rand(-13, 13), r.kind == kSmallFlyer ? 14 : 13));
  r.y = fixed::Add(r.y, r.vy);
  r.vy = std::clamp(r.vy, -4 * kFixedOne, 4 * kFixedOne);
  // The two middle wing frames last twice as long.
  const int32_t k = std::max(r.frameDivisor, 1);
  if (r.frame > r.lastFrame - 2) {
    r.frame = 0;
  } else {
    const int32_t shown = r.frame / k;
    r.frame += shown == 2 || shown == 3 ? 1 : 2;
  }
  if (Outside(Px(r), Py(r), 300)) r.active = 0;
}

void TouchFlyer(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  const int32_t h = PictureHeight(engine.gfx, r.image);
  if (r.kind == kSmallFlyer) {
    if (SwordHitsSmallMonster(g, i)) {
      KillSmallMonster(g, i);
      return;
    }
    if (g.player.alive != 0 && Rand(0, 100) > 83 && Rand(0, 100) > 83 && Rand(0, 100) > 83) {
      SpawnMonster(g, Px(r), MonsterTop(g, i) + h / 2, 4);
    }
    return;
  }
  if (g.player.swordActive != 0) {
    const int32_t strip = r.direction < 1 && r.airFrames < 4 ? r.image + 1 : r.image;
    if (SwordWound(g, i, strip)) return;
  }
  if (FightOn(g) && Rand(0, 100) > 80 && Rand(0, 100) > 70 && Rand(0, 100) > 65) {
    SpawnMonster(g, Px(r), MonsterTop(g, i) + h / 2, 3);
  }
  if (FightOn(g) && Rand(0, 100) > 75 && Rand(0, 100) > 70 && RoomToBreed(g)) {
    BreedAt(g, Px(r), MonsterTop(g, i) + h / 2 + 20, SmallFlyer, 80);
  }
}

void DrawFlyer(GameState& g, int32_t i) {
  const MonsterRecord& r = g.tables.objects[i];
  GfxContext& gfx = engine.gfx;
  ResetDrawMode(gfx);
  const int32_t h = PictureHeight(gfx, r.image);
  const int32_t px = Px(r);
  const int32_t top = MonsterTop(g, i);
  const int32_t shown = r.frame / std::max(r.frameDivisor, 1);
  DrawPicture(gfx, r.poseImage + shown + (r.direction <= 0 ? 5 : 0), px - h / 2, top);
  if (r.kind == kSmallFlyer) return;
  HealthBar(px - 20, top + 45, 40, std::clamp(WholePixel(r.health), 0, 40));
  RaiseMessage(g, OpenScreen(kScreenSmallFlyerSeen), 4);
}

}  // namespace monsters

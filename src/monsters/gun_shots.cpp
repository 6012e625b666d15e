// The player's gun shots: the shot of the first gun (kind 10), which bursts
// on walls and on monsters, and the bouncing shot of the second (kind 15),
// which bounces off walls until its fuse runs out.
#include "engine/engine_effects.h"
#include "game/fight.h"
#include "game/levels.h"
#include "game/object_kinds.h"
#include "game/objects.h"
#include "game/singletons.h"
#include "gfx/image_slots.h"
#include "monsters/big_monster_kit.h"
#include "monsters/kinds.h"
#include "monsters/monster_common.h"

namespace monsters {

namespace {

int32_t Rand(int32_t lo, int32_t hi) { return Random(engine.random, lo, hi); }

// What a gun shot can hit: everything but gun shots, pickups, rocks, and
// the jumper and hoverer, which shots pass through.
bool IsTarget(int32_t kind) {
  switch (kind) {
    case kGunShot:
    case kSwordPickup:
    case kSecondSwordPickup:
    case kGunPickup:
    case kBouncingShot:
    case kSecondGunPickup:
    case kBigJumper:
    case kLongBladePickup:
    case kArmourPickup:
    case kDoubleShotPickup:
    case kHoverer:
    case kRegenerationPickup:
    case kRock:
    case kBroadBladePickup:
      return false;
    default:
      return true;
  }
}

// Whether target j's middle lies within h / 2 + reach of (mx, my).
bool Within(GameState& g, int32_t j, int32_t mx, int32_t my, int32_t reach) {
  const MonsterRecord& t = g.tables.objects[j];
  if (t.active == 0 || !IsTarget(t.kind)) return false;
  const int32_t h = PictureHeight(engine.gfx, t.image);
  const int64_t cy = int64_t{MonsterTop(g, j)} + h / 2;
  const int64_t dx = int64_t{Px(t)} - mx;
  const int64_t dy = cy - my;
  return (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy) + 1 < h / 2 + reach;
}

bool AnyWithin(GameState& g, int32_t mx, int32_t my, int32_t reach) {
  for (int32_t j = 0; j < kObjectCount; ++j) {
    if (Within(g, j, mx, my, reach)) return true;
  }
  return false;
}

// Every target within h / 2 + reach of the burst is struck: big monsters
// and the ground boss lose health, small monsters die, monster shots break
// (on the deeper levels half of them hold).
void Strike(GameState& g, int32_t mx, int32_t my, int32_t reach, int32_t bigLoss, int32_t bossLoss) {
  for (int32_t j = 0; j < kObjectCount; ++j) {
    if (!Within(g, j, mx, my, reach)) continue;
    MonsterRecord& t = g.tables.objects[j];
    const int32_t h = PictureHeight(engine.gfx, t.image);
    const int32_t top = MonsterTop(g, j);
    for (int32_t k = 0; k < 9; ++k) AddFlash(engine, Px(t), top + h / 2, 3840, 512);
    const int32_t cls = MonsterClass(t.kind);
    if (cls == 2 || cls == 3) {
      t.health = fixed::Sub(t.health, cls == 2 ? bigLoss : bossLoss);
      if (t.health < 1) BigDeath(g, j, 21, 0);
    } else if (cls == 1 || !(IsDeepLevel(g.level) && Rand(0, 100) < 51)) {
      SpawnDebris(g, Px(t) - h / 2, top, t.image, 0);
      t.active = 0;
    }
    StartFight(g);
  }
}

void Explode(GameState& g, MonsterRecord& r, int32_t mx, int32_t my) {
  SpawnDebris(g, mx, my, ShellPicture(g.level), 1);
  r.active = 0;
}

}  // namespace

void MoveGunShot(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  r.x = fixed::Add(r.x, r.vx);
  r.y = fixed::Add(r.y, r.vy);
  r.vy = fixed::Add(r.vy, kHalfPixel);
  r.angle = TurnAngle(r.angle, fixed::Shl(13, 16));
  if (Outside(Px(r), Py(r), 300)) r.active = 0;
}

void TouchGunShot(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  const int32_t mx = Px(r);
  const int32_t my = Py(r);
  if (!Solid(g, mx, my) && !AnyWithin(g, mx, my, 20)) return;
  AddRadialLight(engine, mx, my, 40, 100, 80, 50);
  Sparks(g, mx, my, 131, 13, 20);
  Sparks(g, mx, my, 81, 20, 15);
  ExplosionSample(g.settings);
  Explode(g, r, mx, my);
  Strike(g, mx, my, 25, kFixedOne + kHalfPixel, kHalfPixel);
}

void MoveBouncingShot(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  r.x = fixed::Add(r.x, r.vx);
  r.y = fixed::Add(r.y, r.vy);
  r.vy = fixed::Add(r.vy, kQuarterPixel);
  const int32_t px = Px(r);
  const int32_t py = Py(r);
  if (Solid(g, px, py)) {
    // It bounces off the flatter side: a wall (more solid across than up
    // and down) turns it back, a floor or ceiling turns it over.
    int32_t across = 0, upright = 0;
    for (int32_t k = -26; k <= 26; ++k) {
      across += Solid(g, px + k, py) ? 1 : 0;
      upright += Solid(g, px, py + k) ? 1 : 0;
    }
    if (across <= upright) {
      r.vx = fixed::Sub(0, r.vx);
    } else {
      r.vy = fixed::Sub(0, r.vy);
    }
    r.x = fixed::Add(r.x, fixed::Mul(r.vx, 2));
    r.y = fixed::Add(r.y, fixed::Mul(r.vy, 2));
    ExplosionSample(g.settings);
  }
  r.angle = TurnAngle(r.angle, fixed::Shl(13, 16));
  if (Outside(Px(r), Py(r), 300)) {
    r.active = 0;
    return;
  }
  if (r.fuse > 0) {
    r.fuse -= 1;
    return;
  }
  // The fuse is out: a harmless burst.
  Sparks(g, Px(r), Py(r), 331, 7, 25);
  Sparks(g, Px(r), Py(r), 131, 10, 18);
  Sparks(g, Px(r), Py(r), 81, 18, 10);
  r.active = 0;
}

void TouchBouncingShot(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  const int32_t mx = Px(r);
  const int32_t my = Py(r);
  if (!AnyWithin(g, mx, my, 30)) return;
  static constexpr int32_t kColours[3][3] = {{100, 80, 50}, {80, 110, 50}, {100, 40, 10}};
  for (const auto& c : kColours) {
    const int32_t oy = Rand(-20, 20);
    const int32_t ox = Rand(-20, 20);
    AddRadialLight(engine, mx + ox, my + oy, 80, c[0], c[1], c[2]);
  }
  Sparks(g, mx, my, 331, 13, 50);
  Sparks(g, mx, my, 131, 13, 30);
  Sparks(g, mx, my, 81, 20, 15);
  ExplosionSample(g.settings);
  ExplosionSample(g.settings);
  Explode(g, r, mx, my);
  Strike(g, mx, my, 100, 2 * kFixedOne, 3 * kFixedOne / 4);
}

}  // namespace monsters

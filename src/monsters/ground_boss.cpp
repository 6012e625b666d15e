// The ground boss (kind 28): it waits, leaps and slams down, shaking the
// screen and bringing down rocks, then sweeps the floor with shots; it
// crushes a player who gets under it, and only gun shots hurt it.
#include <algorithm>
#include <climits>

#include "engine/engine_effects.h"
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

int32_t DrawSmallShooter() {
  static constexpr int32_t kCodes[4] = {1, 5, 5, 7};
  return kCodes[Random(engine.random, 0, 3)];
}

// The landing shakes the screen: the picture so far is drawn again two
// pixels lower.
void ShakeScreen() {
  GfxContext& gfx = engine.gfx;
  SetDrawMode(gfx, -2);
  CopyFromScreen(gfx, 2, 0, 0);
  DrawPicture(gfx, 2, 0, 2);
  ResetDrawMode(gfx);
}

// The attack cycle, while a fight runs: wait, leap, land, fire.
void Attack(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  if (r.phase == 0 || r.phase == 3) {
    if (r.phaseTimer > 4 * Rand(30, 100)) {
      r.phase = 1;
      r.phaseTimer = 0;
      r.bob = 0;
      r.bobSpeed = -20 * kFixedOne;
    }
  }
  if (r.phase == 1) {
    r.bobSpeed = fixed::Add(r.bobSpeed, kFixedOne + kHalfPixel);
    r.bob = fixed::Add(r.bob, r.bobSpeed);
    if (r.bob > 0) {
      Sample(g, 60);
      ShakeScreen();
      r.phase = 2;
      r.phaseTimer = 0;
      const int32_t plx = PlayerPx(g);
      for (int32_t k = 0; k < 5; ++k) SpawnMonster(g, plx + Rand(-120, 120), -40, 29);
    }
  }
  if (r.phase == 2 && r.phaseTimer > 6) {
    r.phase = 3;
    r.phaseTimer = 0;
  }
  if (r.phase == 3 && Rand(0, 100) > 70) {
    g.tables.currentShooter = i;
    SpawnMonster(g, Px(r) - 135, Py(r) - 40, 30);
  }
}

}  // namespace

void MoveGroundBoss(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  r.frame = r.frame > r.lastFrame - 1 ? 0 : r.frame + 1;
  if (Outside(Px(r), Py(r), 300)) r.active = 0;
}

void TouchGroundBoss(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  if (r.phaseTimer < 6000) r.phaseTimer += 1;
  if (FightOn(g)) Attack(g, i);
  // Under its body the player is crushed, whether a fight runs or not.
  const int32_t h = PictureHeight(engine.gfx, r.image);
  const int32_t half = h / 2;
  const int32_t left = Px(r) - half;
  const int32_t top = MonsterTop(g, i);
  const int32_t plx = PlayerPx(g);
  const int32_t ply = PlayerPy(g);
  if (plx >= left + 50 && plx <= left + 2 * half - 50 && ply >= top + 50 && ply <= top + 2 * half - 50) {
    Flashes(plx, ply, 6, 20, 10240, 768);
    if (g.settings.soundOn != 0) {
      PlaySound(engine.sound, Rand(15, 17));
      PlaySound(engine.sound, Rand(15, 17));
      PlaySound(engine.sound, 40);
    }
    SpawnPlayerDebris(g, left, top);
    g.player.alive = 0;
    g.player.x = kOffScreenFixed;
    g.player.y = kOffScreenFixed;
  }
  if (FightOn(g) && Rand(0, 100) > 75 && Rand(0, 100) > 75 && Rand(0, 100) > 70 && RoomToBreed(g)) {
    const int32_t x = PlayerPx(g) + Rand(-50, 50);
    BreedAt(g, x, PlayerPy(g) - 150, DrawSmallShooter, 80);
  }
}

void DrawGroundBoss(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  GfxContext& gfx = engine.gfx;
  const int32_t h = PictureHeight(gfx, r.image);
  const int32_t px = Px(r);
  const int32_t top = MonsterTop(g, i);
  const int32_t shown = r.frame / std::max(r.frameDivisor, 1);
  if (r.phase == 1 || r.phase == 2) {
    // Squashed before the leap, stretched in the air, squashed on landing.
    int32_t f = 256;
    int32_t b = top;
    if (r.phase == 1) {
      const int32_t t = std::min(r.phaseTimer - 3, 2);
      if (t < 0) {
        f = 170 - 20 * t;
        b = Py(r) - h / 2;
      } else {
        f = 256 + 40 * t;
      }
    } else {
      f = 300 - 40 * std::min(r.phaseTimer, 2);
    }
    const int32_t tall = h * f / 256;
    const int32_t x0 = px - h / 2;
    SetSupersampling(gfx, 0);
    DrawToCorners(gfx, r.image, x0, b + h - tall, x0 + h, b + h - tall, x0, b + h, x0 + h, b + h, shown);
    SetSupersampling(gfx, 1);
  } else {
    DrawFrame(gfx, r.image, px - h / 2, top, shown);
  }
  HealthBar(px - 40, top - 10, 80, std::clamp(WholePixel(fixed::Mul(r.health, 2)), 0, 80));
  // Its introduction waits until it has been on screen for 50 frames.
  if (g.tables.bossSightings < INT32_MAX) g.tables.bossSightings += 1;
  if (g.tables.bossSightings >= 50) RaiseMessage(g, OpenScreen(kScreenGroundBoss), 3);
}

}  // namespace monsters

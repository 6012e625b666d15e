// Monster shots (kinds 3, 4, 6, 8, 18 and 25): they fly, spin, burst on
// walls and on the player, and break on the sword. Their drawing serves the
// player's gun shots too.
#include "engine/engine_effects.h"
#include "game/object_kinds.h"
#include "game/objects.h"
#include "game/singletons.h"
#include "gfx/angles.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "monsters/kinds.h"
#include "monsters/monster_common.h"

namespace monsters {

namespace {

int32_t Rand(int32_t lo, int32_t hi) { return Random(engine.random, lo, hi); }

// Damage by shot kind and difficulty band (s >= 51, 36..50, 26..35, <= 25).
int32_t ShotDamage(int32_t kind, int32_t band) {
  static constexpr int32_t kDamage[5][4] = {
      {5, 6, 7, 10}, {3, 4, 5, 8}, {3, 4, 5, 7}, {6, 7, 8, 10}, {1, 1, 2, 3}};
  switch (kind) {
    case kAimedShot:
      return kDamage[0][band];
    case kSpit:
      return kDamage[1][band];
    case kLobbedShot:
      return kDamage[2][band];
    case kArcingShot:
      return kDamage[3][band];
    case kHovererShot:
      return kDamage[4][band];
    default:
      return 0;
  }
}

struct ShotLight {
  int32_t red, green, blue;
};
ShotLight LightOf(int32_t kind) {
  switch (kind) {
    case kAimedShot:
      return {190, 130, 20};
    case kSpinningShot:
      return {0, 110, 110};
    case kSpit:
      return {190, 50, 0};
    case kLobbedShot:
      return {140, 140, 0};
    case kGunShot:
      return {180, 40, 0};
    case kBouncingShot:
      return {100, 50, 50};
    case kArcingShot:
      return {140, 10, 0};
    default:
      return {100, 30, 0};  // kind 25
  }
}

bool Scaled(int32_t kind) {
  return kind == kSpit || kind == kLobbedShot || kind == kGunShot || kind == kBouncingShot ||
         kind == kArcingShot;
}

// A scaled shot: its square of half-side (h / 2) · glow / 256 about (px, py),
// turned with its spin, drawn directly on the screen.
void DrawScaled(const MonsterRecord& r, int32_t h) {
  GfxContext& gfx = engine.gfx;
  const int32_t px = Px(r);
  const int32_t py = Py(r);
  const int32_t s = (h / 2) * r.glow / 256;
  int32_t xs[4] = {px - s, px + s, px - s, px + s};
  int32_t ys[4] = {py - s, py - s, py + s, py + s};
  const int32_t turn = WholePixel(r.angle);
  for (int32_t k = 0; k < 4; ++k) RotatePoint(gfx, xs[k], ys[k], turn, px, py);
  SetSupersampling(gfx, 0);
  DrawToCorners(gfx, r.image, xs[0], ys[0], xs[1], ys[1], xs[2], ys[2], xs[3], ys[3], -1);
  SetSupersampling(gfx, 1);
}

}  // namespace

void MoveShot(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  if (r.kind == kSpit) {
    // The spit wobbles: it slows by a 32nd and gets a random kick.
    r.vx = fixed::Sub(r.vx, r.vx / 32);
    r.vy = fixed::Sub(r.vy, r.vy / 32);
    r.vx = fixed::Add(r.vx, fixed::Shl(Rand(-100, 100), 11));
    r.vy = fixed::Add(r.vy, fixed::Shl(Rand(-100, 100), 11));
  }
  r.x = fixed::Add(r.x, r.vx);
  r.y = fixed::Add(r.y, r.vy);
  if (r.kind == kLobbedShot || r.kind == kArcingShot) r.vy = fixed::Add(r.vy, kHalfPixel);
  r.angle = TurnAngle(r.angle, fixed::Shl(r.kind == kSpinningShot ? -13 : 13, 16));
  const int32_t px = Px(r);
  const int32_t py = Py(r);
  if (Solid(g, px, py)) {
    if (r.kind == kSpinningShot) {
      AddRadialLight(engine, px, py, 50, 30, 80, 0);
    } else {
      AddRadialLight(engine, px, py, 40, 150, 110, 50);
    }
    ShotBurst(g, px, py);
    SpawnDebris(g, px, py, ShellPicture(g.level), 1);
    r.active = 0;
    return;
  }
  if (Outside(px, py, 300)) r.active = 0;
}

void TouchShot(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  const int32_t half = PictureHeight(engine.gfx, r.image) / 2;
  const int32_t px = Px(r);
  const int32_t py = Py(r);
  if (g.player.swordActive != 0 && SwordTouches(g.player, r.image, px - half, py - half, 0)) {
    CutFlashes(px, py - half, half);
    SpawnDebris(g, px - half, py - half, r.image, 2);
    AddRadialLight(engine, px, py, 40, 200, 180, 50);
    r.active = 0;
    Sample(g, 1);
    if (r.kind == kHovererShot) WoundShooter(g, r.shooter);
    return;
  }
  const int32_t d = fixed::Abs(px - PlayerPx(g)) + fixed::Abs(py - (PlayerPy(g) + 22)) / 3 + 1;
  if (r.kind == kSpinningShot) {
    // The small flyer's shot only shoves.
    if (g.player.hitStun < 8 && d < 25) {
      PushPlayer(g, px, py, 15, 13);
      g.player.hitStun = 10;
      PushFlashes(g, px, py);
      AddRadialLight(engine, px, py, 50, 30, 80, 0);
      ShotBurst(g, px, py);
      r.active = 0;
    }
    return;
  }
  if (r.kind == kArcingShot && r.fuse > 0) {
    r.fuse -= 1;
    return;
  }
  if (d < 15) {
    r.active = 0;
    AddRadialLight(engine, px, py, 40, 150, 110, 50);
    ShotBurst(g, px, py);
    HurtPlayer(g, ShotDamage(r.kind, DamageBand(g)), px, py);
  }
}

void DrawShot(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
  GfxContext& gfx = engine.gfx;
  const int32_t h = PictureHeight(gfx, r.image);
  const int32_t px = Px(r);
  const int32_t py = Py(r);
  SetDrawMode(gfx, -1);
  int32_t radius = 0;
  if (Scaled(r.kind)) {
    DrawScaled(r, h);
    const int32_t extra = r.kind == kBouncingShot ? 25 : (r.kind == kArcingShot ? 13 : 10);
    radius = r.glow * 10 / 256 + Rand(-3, 3) + extra;
  } else {
    if (r.kind == kSpinningShot) {
      DrawRotated(gfx, r.image, px - h / 2, py - h / 2, WholePixel(r.angle));
    } else {
      DrawPicture(gfx, r.image, px - h / 2, py - h / 2);
    }
    radius = 20 + Rand(-3, 3);
  }
  const ShotLight c = LightOf(r.kind);
  AddTexturedLight(engine, px, py, radius, c.red, c.green, c.blue, WholePixel(r.angle) / 15);
  if (r.kind == kAimedShot) {
    for (int32_t k = 0; k < 4; ++k) EmitParticle(g, px, py, 10);
    for (int32_t k = 0; k < 4; ++k) AddFlash(engine, px, py, 1280, 256);
  } else if (r.kind == kSpinningShot) {
    for (int32_t k = 0; k < 5; ++k) EmitParticle(g, px, py, 4);
  } else if (r.kind == kBouncingShot) {
    AddFlash(engine, px, py, 1536, 256);
  } else {
    AddFlash(engine, px, py, 1280, 256);
  }
  if (Scaled(r.kind) && r.glow <= 249) r.glow += 30;
  ResetDrawMode(gfx);
}

}  // namespace monsters

// Pickups (kinds 11, 13, 14, 16, 21, 22, 23, 27 and 31): weapons and
// special items that float and bob in place until the player touches them.
#include "engine/engine_effects.h"
#include "game/singletons.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "monsters/kinds.h"
#include "monsters/monster_common.h"

namespace monsters {

namespace {

// What collecting a pickup gives, and its message.
int32_t Collect(GameState& g, int32_t kind) {
  switch (kind) {
    case 11:
      g.weapon = 40;
      g.owned[40] = 1;
      g.owned[41] = 0;
      return 110;
    case 13:
      g.weapon = 41;
      g.owned[41] = 1;
      return 111;
    case 14:
      g.weapon = 42;
      g.owned[42] = 1;
      return 113;
    case 16:
      g.weapon = 43;
      g.owned[43] = 1;
      return 114;
    case 21:
      g.longBlade = -1;
      g.cachedWeapon = -13;
      return 123;
    case 22:
      g.armour = -1;
      return 124;
    case 23:
      g.doubleShot = -1;
      return 125;
    case 27:
      g.regeneration = -1;
      return 129;
    default:  // 31
      g.broadBlade = -1;
      g.cachedWeapon = -13;
      return 132;
  }
}

struct Glow {
  int32_t red, green, blue;
};
Glow GlowOf(int32_t kind) {
  switch (kind) {
    case 14:
      return {0, 110, 200};
    case 21:
      return {20, 0, 100};
    case 22:
      return {100, 80, 0};
    case 23:
      return {120, 40, 0};
    case 27:
      return {90, 80, 0};
    case 31:
      return {0, 60, 90};
    default:
      return {0, 80, 150};  // the weapons 11, 13 and 16
  }
}

}  // namespace

void MovePickup(GameState& g, int32_t i) {
  MonsterRecord& r = g.objects[i];
  r.angle = TurnAngle(r.angle, fixed::Shl(13, 16));
  // The bob swings about its rest line: the speed always turns back towards it.
  r.bobSpeed = fixed::Add(r.bobSpeed, r.bob < 1 ? 1 : -1);
  r.bob = fixed::Add(r.bob, fixed::Shl(r.bobSpeed, 14));
  const int32_t d = fixed::Abs(Px(r) - PlayerPx(g)) + fixed::Abs(Py(r) - (PlayerPy(g) + 15)) + 1;
  if (d < 50) {
    r.active = 0;
    RaiseMessage(g, Collect(g, r.kind), 4);
  }
}

void DrawPickup(GameState& g, int32_t i) {
  const MonsterRecord& r = g.objects[i];
  GfxContext& gfx = engine.gfx;
  ResetDrawMode(gfx);
  const int32_t w = PictureWidth(gfx, r.image) * 70 / 256;
  const int32_t h = PictureHeight(gfx, r.image) * 70 / 256;
  const int32_t cx = Px(r);
  const int32_t cy = Py(r) + WholePixel(r.bob);
  const int32_t left = cx - w / 2;
  const int32_t top = cy - h / 2;
  DrawToCorners(gfx, r.image, left, top, left + w, top, left, top + h, left + w, top + h, -1);
  const Glow c = GlowOf(r.kind);
  const int32_t radius = 35 + Random(engine.random, -4, 4);
  AddTexturedLight(engine, cx, cy, radius, c.red, c.green, c.blue, WholePixel(r.angle) / 15);
}

}  // namespace monsters

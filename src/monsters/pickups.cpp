// Pickups (kinds 11, 13, 14, 16, 21, 22, 23, 27 and 31): weapons and
// special items that float and bob in place until the player touches them.
#include "engine/engine_effects.h"
#include "game/object_kinds.h"
#include "game/screens.h"
#include "game/singletons.h"
#include "game/weapons.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "monsters/kinds.h"
#include "monsters/monster_common.h"

namespace monsters {

namespace {

// What collecting a pickup gives, and its message.
int32_t Collect(GameState& g, int32_t kind) {
  switch (kind) {
    case kSwordPickup:
      g.player.weapon = kSword;
      g.progress.owned[kSword] = 1;
      g.progress.owned[kSecondSword] = 0;
      return OpenScreen(kScreenSwordTaken);
    case kSecondSwordPickup:
      g.player.weapon = kSecondSword;
      g.progress.owned[kSecondSword] = 1;
      return OpenScreen(kScreenSecondSwordTaken);
    case kGunPickup:
      g.player.weapon = kGun;
      g.progress.owned[kGun] = 1;
      return OpenScreen(kScreenGunTaken);
    case kSecondGunPickup:
      g.player.weapon = kSecondGun;
      g.progress.owned[kSecondGun] = 1;
      return OpenScreen(kScreenSecondGunTaken);
    case kLongBladePickup:
      g.progress.longBlade = -1;
      g.player.cachedWeapon = -13;
      return OpenScreen(kScreenLongBladeTaken);
    case kArmourPickup:
      g.progress.armour = -1;
      return OpenScreen(kScreenArmourTaken);
    case kDoubleShotPickup:
      g.progress.doubleShot = -1;
      return OpenScreen(kScreenDoubleShotTaken);
    case kRegenerationPickup:
      g.progress.regeneration = -1;
      return OpenScreen(kScreenRegenerationTaken);
    default:  // kBroadBladePickup
      g.progress.broadBlade = -1;
      g.player.cachedWeapon = -13;
      return OpenScreen(kScreenBroadBladeTaken);
  }
}

struct Glow {
  int32_t red, green, blue;
};
Glow GlowOf(int32_t kind) {
  switch (kind) {
    case kGunPickup:
      return {0, 110, 200};
    case kLongBladePickup:
      return {20, 0, 100};
    case kArmourPickup:
      return {100, 80, 0};
    case kDoubleShotPickup:
      return {120, 40, 0};
    case kRegenerationPickup:
      return {90, 80, 0};
    case kBroadBladePickup:
      return {0, 60, 90};
    default:
      return {0, 80, 150};  // the other weapons
  }
}

}  // namespace

void MovePickup(GameState& g, int32_t i) {
  MonsterRecord& r = g.tables.objects[i];
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
  const MonsterRecord& r = g.tables.objects[i];
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

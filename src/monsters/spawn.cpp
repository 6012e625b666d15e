#include "engine/engine_effects.h"
#include "game/object_kinds.h"
#include "game/objects.h"
#include "game/singletons.h"
#include "monsters/monster_common.h"

namespace {

using monsters::PlayerPx;
using monsters::PlayerPy;

int32_t Rand(int32_t lo, int32_t hi) { return Random(engine.random, lo, hi); }

// What a spawn code makes, before the draws that depend on the code.
struct Blueprint {
  int32_t kind;
  int32_t image;
  int32_t lastFrame;
  int32_t frameDivisor;
  int32_t speed;
  int32_t roamBase;
  int32_t poseImage;
  int32_t frameSteps;  // frame = frameStep · rand(0, frameSteps - 1); 0: frame 0
  int32_t frameStep;
};

enum class Role { kWalker, kShot, kPickup, kBig, kRock };

struct Code {
  Role role;
  Blueprint b;
};

constexpr Blueprint kShotPrint = {0, 138, 0, 1, 5, 200, 0, 0, 0};

// The spawn codes; a code outside the table creates nothing.
bool Lookup(int32_t code, Code& out) {
  switch (code) {
    case kWalker:
      out = {Role::kWalker, {kWalker, 120, 5, 1, 5, 200, 415, 6, 1}};
      return true;
    case kShootingWalker:
      out = {Role::kWalker, {kShootingWalker, 126, 11, 2, 6, 200, 427, 6, 2}};
      return true;
    case kQuickWalker:
      out = {Role::kWalker, {kQuickWalker, 132, 8, 1, 8, 200, 439, 9, 1}};
      return true;
    case kSpittingWalker:
      out = {Role::kWalker, {kSpittingWalker, 150, 11, 2, 4, 200, 457, 6, 2}};
      return true;
    case kLobbingWalker:
      out = {Role::kWalker, {kLobbingWalker, 156, 11, 2, 4, 200, 469, 6, 2}};
      return true;
    case kAimedShot:
    case kSpinningShot:
    case kSpit:
    case kLobbedShot:
    case kGunShot:
    case kBouncingShot:
    case kArcingShot:
    case kHovererShot:
      out = {Role::kShot, kShotPrint};
      out.b.kind = code;
      return true;
    case kLobbedShotLeftCode:
    case kSweepingShotCode:
      out = {Role::kShot, kShotPrint};
      out.b.kind = code == kLobbedShotLeftCode ? kLobbedShot : kAimedShot;
      return true;
    case kSwordPickup:
      out = {Role::kPickup, {kSwordPickup, 40, -1, 1, 5, 0, 0, 0, 0}};
      return true;
    case kSecondSwordPickup:
      out = {Role::kPickup, {kSecondSwordPickup, 41, -1, 1, 5, 0, 0, 0, 0}};
      return true;
    case kGunPickup:
      out = {Role::kPickup, {kGunPickup, 42, -1, 1, 5, 0, 0, 0, 0}};
      return true;
    case kSecondGunPickup:
      out = {Role::kPickup, {kSecondGunPickup, 43, -1, 1, 5, 0, 0, 0, 0}};
      return true;
    case kLongBladePickup:
      out = {Role::kPickup, {kLongBladePickup, 44, -1, 1, 5, 0, 0, 0, 0}};
      return true;
    case kArmourPickup:
      out = {Role::kPickup, {kArmourPickup, 45, -1, 1, 5, 0, 0, 0, 0}};
      return true;
    case kDoubleShotPickup:
      out = {Role::kPickup, {kDoubleShotPickup, 46, -1, 1, 5, 0, 0, 0, 0}};
      return true;
    case kRegenerationPickup:
      out = {Role::kPickup, {kRegenerationPickup, 47, -1, 1, 5, 0, 0, 0, 0}};
      return true;
    case kBroadBladePickup:
      out = {Role::kPickup, {kBroadBladePickup, 48, -1, 1, 5, 0, 0, 0, 0}};
      return true;
    case kBigJumper:
      out = {Role::kBig, {kBigJumper, 162, 15, 8, 4, 200, 481, 2, 8}};
      return true;
    case kBreedingFlyer:
      out = {Role::kBig, {kBreedingFlyer, 167, 19, 4, 8, 220, 485, 5, 4}};
      return true;
    case kSmallFlyer:
      out = {Role::kBig, {kSmallFlyer, 172, 9, 2, 10, 220, 495, 5, 2}};
      return true;
    case kHoverer:
      out = {Role::kBig, {kHoverer, 177, 11, 4, 1, 220, 505, 3, 4}};
      return true;
    case kSecondHovererCode:
      out = {Role::kBig, {kHoverer, 182, 11, 4, 4, 220, 511, 3, 4}};
      return true;
    case kGroundBoss:
      out = {Role::kBig, {kGroundBoss, 187, 19, 4, 0, 220, 505, 5, 4}};
      return true;
    case kSecondBigJumper:
      out = {Role::kBig, {kSecondBigJumper, 192, 19, 4, 4, 200, 517, 5, 4}};
      return true;
    case kRock:
      out = {Role::kRock, {kRock, 0, 0, 0, 10, 220, 0, 0, 0}};
      return true;
    default:
      return false;
  }
}

// (f · d / n) for an aim from (x, y) at (tx, ty), n = |dx| + |dy| + 1; the
// 64-bit sums keep far-off points defined, and the quotient is within ±f.
struct Aim {
  int32_t qx, qy;
};
Aim AimAt(int32_t x, int32_t y, int64_t tx, int64_t ty, int32_t f) {
  const int64_t dx = tx - x;
  const int64_t dy = ty - y;
  const int64_t n = (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy) + 1;
  return {static_cast<int32_t>(f * dx / n), static_cast<int32_t>(f * dy / n)};
}

// The shooter whose record a hoverer or ground-boss shot refers to; an index
// outside the table names record 0.
int32_t ShooterIndex(ObjectTables& tables) {
  if (tables.currentShooter > kObjectCount - 1 || tables.currentShooter < 0) tables.currentShooter = 0;
  return tables.currentShooter;
}

// The velocity of a shot (and the draws it takes), by code.
void ShotVelocity(GameState& g, MonsterRecord& r, int32_t code, int32_t x, int32_t y) {
  const int32_t plx = PlayerPx(g);
  const int32_t ply = PlayerPy(g);
  switch (code) {
    case kAimedShot: {
      const Aim a = AimAt(x, y, plx, ply, 50);
      r.vx = fixed::Shl(a.qx, 13);
      r.vy = fixed::Shl(a.qy, 13);
      break;
    }
    case kSpinningShot: {
      const int32_t oy = Rand(-20, 20);
      const int32_t ox = Rand(-20, 20);
      const Aim a = AimAt(x, y, int64_t{plx} + ox, int64_t{ply} + oy, 65);
      r.vx = fixed::Shl(a.qx, 13);
      r.vy = fixed::Shl(a.qy, 13);
      break;
    }
    case kSpit: {
      const Aim a = AimAt(x, y, plx, ply, 10);
      const int32_t wx = Rand(-10, 10);
      r.vx = fixed::Shl(wx + a.qx, 13);
      r.vy = fixed::Shl(Rand(-10, 10), 13);
      break;
    }
    case kLobbedShot:
    case kLobbedShotLeftCode: {
      const int32_t wx = Rand(-8, 8);
      r.vx = fixed::Shl((code == kLobbedShot ? 50 : -50) + wx, 13);
      const int32_t wy = Rand(-4, 4);
      r.vy = fixed::Shl(wy - 50, 13);
      break;
    }
    case kGunShot: {
      const int32_t base = g.progress.doubleShot != 0 ? 60 : 50;
      int32_t across = (g.player.facing == 2 ? base : -base) + Rand(-8, 8);
      if (g.progress.doubleShot != 0) across += Rand(-20, 20);
      r.vx = fixed::Shl(across, 13);
      int32_t up = Rand(-4, 4) - 50;
      if (g.progress.doubleShot != 0) up += Rand(-20, 20);
      r.vy = fixed::Shl(up, 13);
      break;
    }
    case kBouncingShot: {
      const int32_t wx = Rand(-8, 8);
      r.vx = fixed::Shl((g.player.facing == 2 ? 50 : -50) + wx, 13);
      const int32_t wy = Rand(-4, 4);
      r.vy = fixed::Shl(wy - 42, 13);
      r.fuse = 40;
      break;
    }
    case kArcingShot: {
      const int32_t wx = Rand(-8, 8);
      r.vx = fixed::Shl((x < plx ? 20 : -20) + wx, 13);
      const int32_t wy = Rand(-4, 4);
      r.vy = fixed::Shl(wy - 70, 13);
      r.fuse = 10;
      break;
    }
    case kHovererShot: {
      r.shooter = ShooterIndex(g.tables);
      const Aim a = AimAt(x, y, plx, ply, 50);
      const int32_t wx = Rand(-18, 18);
      r.vx = fixed::Shl(a.qx + wx, 13);
      const int32_t wy = Rand(-18, 18);
      r.vy = fixed::Shl(a.qy + wy, 13);
      break;
    }
    case kSweepingShotCode: {
      const int32_t t = g.tables.objects[ShooterIndex(g.tables)].phaseTimer;
      const int64_t tx = int64_t{monsters::ScreenW()} / 2 - int64_t{6} * t;
      const Aim a = AimAt(x, y, tx, monsters::ScreenH(), 70);
      const int32_t wx = Rand(-10, 10);
      r.vx = fixed::Shl(a.qx + wx, 13);
      const int32_t wy = Rand(-10, 10);
      r.vy = fixed::Shl(a.qy + wy, 13);
      break;
    }
    default:
      break;
  }
}

}  // namespace

void SpawnMonster(GameState& g, int32_t x, int32_t y, int32_t code) {
  Code c;
  if (!Lookup(code, c)) return;
  MonsterRecord* slot = nullptr;
  for (MonsterRecord& r : g.tables.objects) {
    if (r.active == 0) {
      slot = &r;
      break;
    }
  }
  if (slot == nullptr) return;
  MonsterRecord& r = *slot;
  const Blueprint& b = c.b;
  // The named words are all rewritten; draws follow the record's word order.
  r.active = 1;
  r.x = ToFixed(x);
  r.y = ToFixed(y);
  r.image = c.role == Role::kRock ? Rand(725, 727) : b.image;
  r.frame = b.frameSteps > 0 ? b.frameStep * Rand(0, b.frameSteps - 1) : (c.role == Role::kPickup ? -1 : 0);
  r.lastFrame = b.lastFrame;
  r.homeX = c.role == Role::kPickup ? 0 : x;
  const bool standsStill = c.role == Role::kPickup || b.kind == kBigJumper || b.kind == kSecondBigJumper;
  r.direction = standsStill ? 0 : Rand(0, 1) * 2 - 1;
  r.roamRange = static_cast<int32_t>(int64_t{b.roamBase} * engine.gfx.screenWidth / 1024);
  r.kind = b.kind;
  r.speed = b.speed;
  r.airFrames = 0;
  r.frameDivisor = b.frameDivisor;
  r.vx = 0;
  r.vy = 0;
  r.angle = 0;
  r.glow = 0;
  r.bob = 0;
  r.bobSpeed = 0;
  r.poseImage = b.poseImage;
  r.fuse = 0;
  r.health = 0;
  r.rage = 0;
  r.homeY = 0;
  r.shooter = 0;
  r.phase = 0;
  r.phaseTimer = 0;
  switch (c.role) {
    case Role::kShot:
      ShotVelocity(g, r, code, x, y);
      r.angle = fixed::Shl(Rand(0, 359), 16);
      r.glow = 50;
      break;
    case Role::kPickup:
      r.angle = fixed::Shl(Rand(0, 359), 16);
      r.bob = fixed::Shl(Rand(10, 20), 16);
      break;
    case Role::kRock:
      r.vy = fixed::Shl(Rand(0, 18), 14);
      break;
    case Role::kBig:
      if (b.kind != kSmallFlyer) r.health = kFullHealth;
      if (b.kind == kBigJumper) r.rage = 500;
      if (b.kind != kBigJumper && b.kind != kSecondBigJumper) r.homeY = y;
      if (b.kind == kGroundBoss) r.phaseTimer = 120;
      break;
    case Role::kWalker:
      break;
  }
}

int32_t SpawnPicture(int32_t code) {
  Code c;
  if (!Lookup(code, c) || c.role == Role::kShot || c.role == Role::kRock) return -1;
  return c.b.image;
}

void ClearObjects(ObjectTables& tables) {
  for (MonsterRecord& r : tables.objects) r = MonsterRecord{};
}

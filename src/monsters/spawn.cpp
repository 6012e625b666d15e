#include "engine/engine_effects.h"
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
    case 0:
      out = {Role::kWalker, {0, 120, 5, 1, 5, 200, 415, 6, 1}};
      return true;
    case 1:
      out = {Role::kWalker, {1, 126, 11, 2, 6, 200, 427, 6, 2}};
      return true;
    case 2:
      out = {Role::kWalker, {2, 132, 8, 1, 8, 200, 439, 9, 1}};
      return true;
    case 5:
      out = {Role::kWalker, {5, 150, 11, 2, 4, 200, 457, 6, 2}};
      return true;
    case 7:
      out = {Role::kWalker, {7, 156, 11, 2, 4, 200, 469, 6, 2}};
      return true;
    case 3:
    case 4:
    case 6:
    case 8:
    case 10:
    case 15:
    case 18:
    case 25:
      out = {Role::kShot, kShotPrint};
      out.b.kind = code;
      return true;
    case 9:
    case 30:
      out = {Role::kShot, kShotPrint};
      out.b.kind = code == 9 ? 8 : 3;
      return true;
    case 11:
      out = {Role::kPickup, {11, 40, -1, 1, 5, 0, 0, 0, 0}};
      return true;
    case 13:
      out = {Role::kPickup, {13, 41, -1, 1, 5, 0, 0, 0, 0}};
      return true;
    case 14:
      out = {Role::kPickup, {14, 42, -1, 1, 5, 0, 0, 0, 0}};
      return true;
    case 16:
      out = {Role::kPickup, {16, 43, -1, 1, 5, 0, 0, 0, 0}};
      return true;
    case 21:
      out = {Role::kPickup, {21, 44, -1, 1, 5, 0, 0, 0, 0}};
      return true;
    case 22:
      out = {Role::kPickup, {22, 45, -1, 1, 5, 0, 0, 0, 0}};
      return true;
    case 23:
      out = {Role::kPickup, {23, 46, -1, 1, 5, 0, 0, 0, 0}};
      return true;
    case 27:
      out = {Role::kPickup, {27, 47, -1, 1, 5, 0, 0, 0, 0}};
      return true;
    case 31:
      out = {Role::kPickup, {31, 48, -1, 1, 5, 0, 0, 0, 0}};
      return true;
    case 17:
      out = {Role::kBig, {17, 162, 15, 8, 4, 200, 481, 2, 8}};
      return true;
    case 19:
      out = {Role::kBig, {19, 167, 19, 4, 8, 220, 485, 5, 4}};
      return true;
    case 20:
      out = {Role::kBig, {20, 172, 9, 2, 10, 220, 495, 5, 2}};
      return true;
    case 24:
      out = {Role::kBig, {24, 177, 11, 4, 1, 220, 505, 3, 4}};
      return true;
    case 26:
      out = {Role::kBig, {24, 182, 11, 4, 4, 220, 511, 3, 4}};
      return true;
    case 28:
      out = {Role::kBig, {28, 187, 19, 4, 0, 220, 505, 5, 4}};
      return true;
    case 32:
      out = {Role::kBig, {32, 192, 19, 4, 4, 200, 517, 5, 4}};
      return true;
    case 29:
      out = {Role::kRock, {29, 0, 0, 0, 10, 220, 0, 0, 0}};
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
int32_t ShooterIndex(GameState& g) {
  if (g.currentShooter > kObjectCount - 1 || g.currentShooter < 0) g.currentShooter = 0;
  return g.currentShooter;
}

// The velocity of a shot (and the draws it takes), by code.
void ShotVelocity(GameState& g, MonsterRecord& r, int32_t code, int32_t x, int32_t y) {
  const int32_t plx = PlayerPx(g);
  const int32_t ply = PlayerPy(g);
  switch (code) {
    case 3: {
      const Aim a = AimAt(x, y, plx, ply, 50);
      r.vx = fixed::Shl(a.qx, 13);
      r.vy = fixed::Shl(a.qy, 13);
      break;
    }
    case 4: {
      const int32_t oy = Rand(-20, 20);
      const int32_t ox = Rand(-20, 20);
      const Aim a = AimAt(x, y, int64_t{plx} + ox, int64_t{ply} + oy, 65);
      r.vx = fixed::Shl(a.qx, 13);
      r.vy = fixed::Shl(a.qy, 13);
      break;
    }
    case 6: {
      const Aim a = AimAt(x, y, plx, ply, 10);
      const int32_t wx = Rand(-10, 10);
      r.vx = fixed::Shl(wx + a.qx, 13);
      r.vy = fixed::Shl(Rand(-10, 10), 13);
      break;
    }
    case 8:
    case 9: {
      const int32_t wx = Rand(-8, 8);
      r.vx = fixed::Shl((code == 8 ? 50 : -50) + wx, 13);
      const int32_t wy = Rand(-4, 4);
      r.vy = fixed::Shl(wy - 50, 13);
      break;
    }
    case 10: {
      const int32_t base = g.doubleShot != 0 ? 60 : 50;
      int32_t across = (g.facing == 2 ? base : -base) + Rand(-8, 8);
      if (g.doubleShot != 0) across += Rand(-20, 20);
      r.vx = fixed::Shl(across, 13);
      int32_t up = Rand(-4, 4) - 50;
      if (g.doubleShot != 0) up += Rand(-20, 20);
      r.vy = fixed::Shl(up, 13);
      break;
    }
    case 15: {
      const int32_t wx = Rand(-8, 8);
      r.vx = fixed::Shl((g.facing == 2 ? 50 : -50) + wx, 13);
      const int32_t wy = Rand(-4, 4);
      r.vy = fixed::Shl(wy - 42, 13);
      r.fuse = 40;
      break;
    }
    case 18: {
      const int32_t wx = Rand(-8, 8);
      r.vx = fixed::Shl((x < plx ? 20 : -20) + wx, 13);
      const int32_t wy = Rand(-4, 4);
      r.vy = fixed::Shl(wy - 70, 13);
      r.fuse = 10;
      break;
    }
    case 25: {
      r.shooter = ShooterIndex(g);
      const Aim a = AimAt(x, y, plx, ply, 50);
      const int32_t wx = Rand(-18, 18);
      r.vx = fixed::Shl(a.qx + wx, 13);
      const int32_t wy = Rand(-18, 18);
      r.vy = fixed::Shl(a.qy + wy, 13);
      break;
    }
    case 30: {
      const int32_t t = g.objects[ShooterIndex(g)].phaseTimer;
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
  for (MonsterRecord& r : g.objects) {
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
  const bool standsStill = c.role == Role::kPickup || b.kind == 17 || b.kind == 32;
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
      if (b.kind != 20) r.health = kFullHealth;
      if (b.kind == 17) r.rage = 500;
      if (b.kind != 17 && b.kind != 32) r.homeY = y;
      if (b.kind == 28) r.phaseTimer = 120;
      break;
    case Role::kWalker:
      break;
  }
}

void ClearObjects(GameState& g) {
  for (MonsterRecord& r : g.objects) r = MonsterRecord{};
}

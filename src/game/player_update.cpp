// The player's frame: the swing, the shots, the weapon change, and the body
// on its one rotating leg moved through the level mask in eleven sub-steps.
#include <algorithm>

#include "engine/engine_effects.h"
#include "game/game_state.h"
#include "game/levels.h"
#include "game/object_kinds.h"
#include "game/objects.h"
#include "game/player.h"
#include "game/player_internal.h"
#include "game/screens.h"
#include "game/singletons.h"
#include "game/weapons.h"
#include "gfx/angles.h"
#include "gfx/image_slots.h"
#include "sound/sound_context.h"

namespace {

constexpr int32_t kSubSteps = 11;
constexpr int32_t kProbes = 101;
constexpr int32_t kRollStep = 352;        // 1.375 degrees per sub-step
constexpr int32_t kJumpLift = 0x24000;    // 2.25 pixels per sub-step
constexpr int32_t kJumpCooldown = 13;     // frames between two jumps
constexpr int32_t kJumpBufferFrames = 4;  // a jump press remembered this long
constexpr int32_t kShellPicture = 806;
constexpr int32_t kShellMode = 3;

int32_t Owned(const ProgressRecord& progress, int32_t w) {
  return w >= 0 && w <= kHighestLevel ? progress.owned[w] : 0;
}

// One press runs a whole swing (frames 1..10 and back to 0); the two rest
// frames after it count down only while the attack goes on.
void StepSwing(PlayerRecord& player, int32_t attack) {
  if (attack == 0 && player.attackLatch == 0) return;
  player.attackLatch = -1;
  if (player.attackCooldown >= 1) {
    --player.attackCooldown;
  } else if (player.attackFrame < 10) {
    ++player.attackFrame;
  } else {
    player.attackFrame = 0;
    player.attackCooldown = 2;
    player.attackLatch = 0;
  }
}

void PlayOneOf(const GameSettings& settings, int32_t first) {
  if (settings.soundOn == 0) return;
  PlaySound(engine.sound, Random(engine.random, first, first + 2));
}

// Muzzle smoke: the y offset of each puff is drawn before its x offset.
void MuzzleSmoke(GameState& g, int32_t x, int32_t y, int32_t count) {
  for (int32_t n = 0; n < count; ++n) {
    const int32_t oy = Random(engine.random, -10, 10);
    const int32_t ox = Random(engine.random, -10, 10);
    EmitParticle(g, x + ox, y + oy, 20);
  }
}

void FireGun(GameState& g) {
  const int32_t px = WholePixel(g.player.x), py = WholePixel(g.player.y);
  const int32_t mx = g.player.facing == 1 ? px - 42 : px + 20;
  const int32_t my = py;
  if (g.player.weapon == kGun) {
    SpawnMonster(g, mx, my + 3, kGunShot);
    if (g.progress.doubleShot != 0) SpawnMonster(g, mx, my + 3, kGunShot);
    MuzzleSmoke(g, mx, my, 41);
    PlayOneOf(g.settings, 20);
    SpawnDebris(g, mx, my, kShellPicture, kShellMode);
  } else if (g.player.weapon == kSecondGun) {
    if (g.player.attackFrame == 6 || g.progress.doubleShot != 0) {
      SpawnMonster(g, mx, my, kBouncingShot);
      MuzzleSmoke(g, mx, my, 81);
      SpawnDebris(g, mx, my, kShellPicture, kShellMode);
      PlayOneOf(g.settings, 30);
    } else {
      MuzzleSmoke(g, mx, my, 11);  // the first frame only smokes
    }
  }
}

// On release of the next-weapon action: the next weapon in turn, or the
// first owned one after it, or the first owned one at all.
void ChangeWeapon(GameState& g) {
  g.player.weapon = g.player.weapon >= kSecondGun ? int32_t{kSword} : g.player.weapon + 1;
  if (Owned(g.progress, g.player.weapon) != 0) return;
  for (int32_t w = std::max(g.player.weapon, 0); w <= kHighestLevel; ++w) {
    if (g.progress.owned[w] == 1) {
      g.player.weapon = w;
      return;
    }
  }
  for (int32_t w = 0; w <= std::min(g.player.weapon, kHighestLevel); ++w) {
    if (g.progress.owned[w] == 1) {
      g.player.weapon = w;
      return;
    }
  }
}

// The mask test: x below 0 is taken as 1 and x beyond the screen as W - 2,
// y is not clamped, and anything outside the mask picture is free (as
// GetPixel answers). The player holds one for a whole frame, so the slot is
// looked up once and not once per probe.
class MaskTest {
 public:
  explicit MaskTest(const GameState& g)
      : mask_(UsableSlot(engine.gfx, g.levelState.maskSlot)), width_(engine.gfx.screenWidth) {}
  bool Solid(int32_t x, int32_t y) const {
    if (x < 0) {
      x = 1;
    } else if (x > width_ - 1) {
      x = width_ - 2;
    }
    if (mask_ == nullptr || x < 0 || y < 0 || x >= mask_->width || y >= mask_->height) return false;
    return mask_->pixels[static_cast<size_t>(y) * static_cast<size_t>(mask_->width) +
                         static_cast<size_t>(x)] != 0;
  }

 private:
  const ImageSlot* mask_;
  int32_t width_;
};

// The leg: a segment of half-length r through the lower body, turned by the
// roll angle. Its ends are worked out again only when the body has moved a
// whole pixel, which is when a probe would see other ends.
struct Leg {
  int32_t r = 0;
  int32_t lift = 0;  // from the body centre down to the leg's centre
  int32_t angle = 0;
  int32_t px = 0, py = 0;
  bool valid = false;
  int32_t ax = 0, ay = 0, bx = 0, by = 0;

  void Place(int32_t x, int32_t y) {
    if (valid && x == px && y == py) return;
    valid = true;
    px = x;
    py = y;
    const int32_t cx = x - 15, cy = y - 20 + lift;
    ax = bx = cx;
    ay = cy - r;
    by = cy + r;
    RotatePoint(engine.gfx, ax, ay, angle, cx, cy);
    RotatePoint(engine.gfx, bx, by, angle, cx, cy);
  }
};

// Pushes the body out of the mask probe by probe: a probe that lands in a
// solid pixel moves the player back to where it was last free. True when
// any probe touched.
bool PushOutOfMask(PlayerRecord& player, const MaskTest& mask, Leg& leg) {
  const int32_t degrees = player.angle / 256;
  // Whichever end of the leg points upwards (the first probes while the leg
  // stands near upright, the last ones while it is turned over) is pushed
  // only up or down: a wall touched by the top of the leg must not shove
  // the body sideways.
  const bool footSlides = degrees >= 111 && degrees <= 249;
  const bool headSlides = degrees < 70 || degrees > 290;
  bool touched = false;
  for (int32_t i = 0; i < kProbes; ++i) {
    leg.Place(WholePixel(player.x), WholePixel(player.y));
    const auto x = static_cast<int32_t>((int64_t{100 - i} * leg.ax + int64_t{i} * leg.bx) / 100);
    const auto y = static_cast<int32_t>((int64_t{100 - i} * leg.ay + int64_t{i} * leg.by) / 100);
    if (!mask.Solid(x, y)) {
      player.probeFreeX[i] = x;
      player.probeFreeY[i] = y;
      continue;
    }
    const int32_t fx = player.probeFreeX[i], fy = player.probeFreeY[i];
    if (fx == kOffScreen || (fx == x && fy == y)) continue;
    const bool keepX = (i > 90 && footSlides) || (i < 10 && headSlides);
    if (!keepX) player.x = fixed::Add(player.x, (int64_t{fx} - x) * kFixedOne);
    player.y = fixed::Add(player.y, (int64_t{fy} - y) * kFixedOne);
    player.velX -= player.velX / 64;
    player.velY -= player.velY / 64;
    touched = true;
  }
  return touched;
}

void MoveBody(GameState& g, int32_t moveLeft, int32_t moveRight, int32_t jump) {
  const int64_t s = engine.gfx.sizeScale;
  const auto gravity = static_cast<int32_t>(((42 * s) >> 10) * 16);
  const auto push = static_cast<int32_t>(((25 * s) >> 10) * 16);
  const auto limit = static_cast<int32_t>(std::clamp<int64_t>((0x30000 * s) >> 10, 0, INT32_MAX));
  const MaskTest mask(g);
  Leg leg;
  leg.r = static_cast<int32_t>((29 * s) >> 10);
  leg.lift = PictureHeight(engine.gfx, g.player.bodySlot) / 2;
  uint32_t sumX = 0, sumY = 0;  // the 32-bit sums of the sub-step positions
  for (int32_t step = 0; step < kSubSteps; ++step) {
    // Small nudges that cancel over the frame shake the leg loose from
    // pixel edges it would otherwise rest on forever.
    if (step == 0) g.player.x = fixed::Add(g.player.x, -0x800);
    if (step == 1) g.player.x = fixed::Add(g.player.x, 0x1000);
    if (step == 3) {
      g.player.x = fixed::Add(g.player.x, -0x800);
      g.player.y = fixed::Add(g.player.y, 0x2000);
    }
    if (step == 4) g.player.y = fixed::Add(g.player.y, -0x2000);
    g.player.velY = fixed::Add(g.player.velY, gravity);
    if (moveLeft != 0) g.player.velX = fixed::Add(g.player.velX, -int64_t{push});
    if (moveRight != 0) g.player.velX = fixed::Add(g.player.velX, push);
    if (moveLeft != 0) {
      g.player.facing = 1;
      g.player.angle = fixed::Add(g.player.angle, kRollStep);
      if (g.player.angle > kFullTurn) g.player.angle -= kFullTurn;
    }
    if (moveRight != 0) {
      g.player.facing = 2;
      g.player.angle = fixed::Add(g.player.angle, -kRollStep);
      if (g.player.angle < 0) g.player.angle = fixed::Add(g.player.angle, kFullTurn);
    }
    leg.angle = g.player.angle / 256;
    leg.valid = false;
    const bool touched = PushOutOfMask(g.player, mask, leg);
    if (touched && (jump != 0 || g.player.jumpBuffer > 0) && g.player.jumpCooldown < 1) {
      const int32_t jx = Random(engine.random, -3, 3);
      g.player.x = fixed::Add(g.player.x, int64_t{jx} * kFixedOne);
      const int32_t jy = Random(engine.random, -4, 1);
      g.player.y = fixed::Add(g.player.y, int64_t{jy} * kFixedOne);
      g.player.velY = fixed::Add(g.player.velY, -kJumpLift);
      g.player.jumpCooldown = kJumpCooldown;
    }
    if (jump != 0 && g.player.jumpCooldown < 11) g.player.jumpBuffer = kJumpBufferFrames;
    g.player.velX -= g.player.velX / 128;
    g.player.velY -= g.player.velY / 128;
    g.player.velX = std::clamp(g.player.velX, -limit, limit);
    g.player.velY = std::clamp(g.player.velY, -limit, limit);
    g.player.x = fixed::Add(g.player.x, g.player.velX);
    g.player.y = fixed::Add(g.player.y, g.player.velY);
    sumX += static_cast<uint32_t>(g.player.x);
    sumY += static_cast<uint32_t>(g.player.y);
    ++g.player.subStepCount;
  }
  g.player.drawX = static_cast<int32_t>(sumX);
  g.player.drawY = static_cast<int32_t>(sumY);
}

void CountDown(int32_t& v) {
  if (v > 0) --v;
}

// The mean position, held still while it only wobbles by a pixel sideways
// (or by less than one pixel upwards), so a resting player does not jitter.
void SettleDrawnPosition(PlayerRecord& player) {
  if (player.subStepCount != 0) {
    player.drawX /= player.subStepCount;
    player.drawY /= player.subStepCount;
  }
  player.drawAngle = player.angle;
  const int32_t dx = fixed::WholeDifference(player.lastDrawX, player.drawX);
  const int32_t dy = fixed::WholeDifference(player.lastDrawY, player.drawY);
  if (dx >= -1 && dx <= 1 && dy == 0) {
    player.drawX = player.lastDrawX;
    player.drawY = player.lastDrawY;
  } else {
    player.lastDrawX = player.drawX;
    player.lastDrawY = player.drawY;
  }
}

}  // namespace

bool IsSolid(GameState& g, int32_t x, int32_t y) { return MaskTest(g).Solid(x, y); }

void UpdatePlayer(GameState& g, int32_t moveLeft, int32_t moveRight, int32_t jump, int32_t nextWeapon,
                  int32_t attack) {
  g.player.drawX = g.player.drawY = g.player.drawAngle = g.player.subStepCount = 0;
  if (g.level == kEndingLevel) {
    attack = 0;  // the last level is a walk to the ending
    if (g.player.endingTimer < 150) {
      ++g.player.endingTimer;
    } else {
      g.frameResult = OpenScreen(kScreenEnding);
    }
  }
  if (g.player.alive != 0) {
    g.player.prevAttackFrame = g.player.attackFrame;
    StepSwing(g.player, attack);
    g.player.swordActive = 0;
    if (g.player.weapon == kSword && g.player.attackFrame != 0) g.player.swordActive = -1;
    if (g.player.weapon == kSecondSword && g.player.attackFrame >= 4 && g.player.attackFrame <= 9) g.player.swordActive = -1;
    const bool attacking = attack != 0 || g.player.attackLatch != 0;
    if (attacking && IsSword(g.player.weapon) && g.player.attackFrame == 7) PlayOneOf(g.settings, 8);
    if (attacking && (g.player.attackFrame == 1 || g.player.attackFrame == 6)) FireGun(g);
    if (nextWeapon == 0 && g.player.prevSwitchKey != 0) ChangeWeapon(g);
    if (IsSword(g.player.weapon)) g.player.bodySlot = kSwordBodySlot;
    if (g.player.weapon >= kGun && g.player.weapon <= kLastGunBody) g.player.bodySlot = kGunBodySlot;
    g.player.prevSwitchKey = nextWeapon;
    MoveBody(g, moveLeft, moveRight, jump);
    CountDown(g.player.jumpCooldown);
    CountDown(g.player.hitStun);
    CountDown(g.player.jumpBuffer);
    SettleDrawnPosition(g.player);
    g.player.deathTimer = 0;
  } else if (g.player.deathTimer < 100) {
    ++g.player.deathTimer;
  }
  if (g.player.deathTimer > 30 && g.frameResult == kStayInGame) g.frameResult = OpenScreen(kScreenDeath);
}

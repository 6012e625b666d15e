#pragma once
// The player's record, which the player (game/player.h) owns: where he is
// and how he moves, the weapon in hand and its pose, his health and the
// caches of the weapon picture and the leg probes. Positions are 16.16
// fixed point in screen pixels, angles in 1/256 degree, flags 0 or -1.
#include <cstdint>

#include "game/fixed_point.h"
#include "game/progress.h"

inline constexpr int32_t kFullHealth = 40 * kFixedOne;
inline constexpr int32_t kFullTurn = 92160;  // 360 degrees in 1/256 degree

struct PlayerRecord {
  int32_t x = 0, y = 0;  // 16.16, the centre of the body
  // The weapon in hand: its picture number (a Weapon, game/weapons.h).
  int32_t weapon = 0;
  int32_t lightFlicker = 0;
  int32_t angle = 0;           // roll, 0..92160
  int32_t facing = 0;          // 1 left, 2 right
  int32_t velX = 0, velY = 0;  // 16.16 pixels per sub-step
  int32_t drawX = 0, drawY = 0;
  int32_t drawAngle = 0;
  int32_t subStepCount = 0;
  int32_t lastDrawX = 0, lastDrawY = 0;
  int32_t bodySlot = 0;     // kSwordBodySlot or kGunBodySlot (game/weapons.h)
  int32_t attackFrame = 0;  // 0..10
  int32_t attackCooldown = 0;
  int32_t prevSwitchKey = 0;
  int32_t weaponRect[4] = {};  // left, top, right, bottom around the drawn weapon
  int32_t prevAttackFrame = 0;
  int32_t jumpCooldown = 0;
  int32_t alive = 0;
  int32_t deathTimer = 0;  // frames since he died, counting to 100
  int32_t swordActive = 0;
  int32_t attackLatch = 0;
  int32_t lightOn = 0;
  int32_t hitStun = 0;
  int32_t health = 0;  // 16.16, full is 40.0
  int32_t healthBarTimer = 0;
  int32_t jumpBuffer = 0;
  int32_t cachedBody = 0, cachedWeapon = 0;
  int32_t endingTimer = 0;
  int32_t probeFreeX[kLevelEntries] = {};  // the last free point of each leg probe
  int32_t probeFreeY[kLevelEntries] = {};
  int32_t weaponCacheValid[2][16] = {};  // by side (0 right, 1 left) and attack frame
};

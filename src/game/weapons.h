#pragma once
// The player's weapons. A weapon is the number of its picture, which is also
// its index in the owned-weapons flags (GameState::owned) and in the saved
// game, so the values never change.
#include <cstdint>

enum Weapon : int32_t {
  kSword = 40,
  kSecondSword = 41,  // strikes only in the middle of its swing
  kGun = 42,
  kSecondGun = 43,
  // No pickup gives it, but a saved game may hold it: it takes the gun's body.
  kLastGunBody = 44,
};

inline constexpr bool IsSword(int32_t weapon) { return weapon == kSword || weapon == kSecondSword; }
inline constexpr bool IsGun(int32_t weapon) { return weapon == kGun || weapon == kSecondGun; }

// The player's body strips: one holding a sword, one holding a gun.
inline constexpr int32_t kSwordBodySlot = 21;
inline constexpr int32_t kGunBodySlot = 24;

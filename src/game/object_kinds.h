#pragma once
// The kinds of the object table's records (MonsterRecord::kind) and the
// spawn codes that make them. A spawn code makes the kind of its own number,
// except the three codes at the end, which make another kind; the values
// are those of the level object files, so they never change.
#include <cstdint>

enum ObjectKind : int32_t {
  // Walkers (monsters/walkers.cpp).
  kWalker = 0,
  kShootingWalker = 1,
  kQuickWalker = 2,
  kSpittingWalker = 5,
  kLobbingWalker = 7,
  // Monster shots (monsters/shots.cpp).
  kAimedShot = 3,
  kSpinningShot = 4,  // spins the other way and only pushes
  kSpit = 6,
  kLobbedShot = 8,
  kArcingShot = 18,   // the big jumper's
  kHovererShot = 25,  // wounds its hoverer when the sword cuts it
  // The player's gun shots (monsters/gun_shots.cpp).
  kGunShot = 10,
  kBouncingShot = 15,  // the second shot of the double shot
  // Pickups (monsters/pickups.cpp): the four weapons and five special items.
  kSwordPickup = 11,
  kSecondSwordPickup = 13,
  kGunPickup = 14,
  kSecondGunPickup = 16,
  kLongBladePickup = 21,
  kArmourPickup = 22,
  kDoubleShotPickup = 23,
  kRegenerationPickup = 27,
  kBroadBladePickup = 31,
  // Big monsters (monsters/jumpers.cpp, flyers.cpp, hoverer.cpp, ground_boss.cpp).
  kBigJumper = 17,
  kSecondBigJumper = 32,
  kBreedingFlyer = 19,
  kSmallFlyer = 20,
  kHoverer = 24,
  kGroundBoss = 28,
  // Falling rocks (monsters/rocks.cpp).
  kRock = 29,
};

// Spawn codes that are not kinds of their own.
enum SpawnCode : int32_t {
  kLobbedShotLeftCode = 9,  // a lobbed shot thrown to the left
  kSecondHovererCode = 26,  // a hoverer with its own strip
  kSweepingShotCode = 30,   // the ground boss's aimed shot
  kUnusedCode = 12,         // makes nothing; the editor still shows it
};

// The highest spawn code the level start and the fight's reinforcements
// spawn; larger codes are kept in the placements but never spawned.
inline constexpr int32_t kHighestSpawnedCode = 90;

// MonsterClass: what a kind counts as in the fight.
enum MonsterClassValue : int32_t {
  kNotAMonster = 0,  // shots, pickups, gun shots, rocks
  kSmallMonster = 1,
  kBigMonster = 2,
  kBossMonster = 3,
};

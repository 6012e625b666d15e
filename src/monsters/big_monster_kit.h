#pragma once
// What the big monsters share: the sword wound with its health loss, the
// big death, breeding while a fight runs, and the health bar.
#include <cstdint>

struct GameState;

namespace monsters {

// The sword against a big monster of kind 17, 19 or 32 tested on `strip`;
// true when the wound killed it (the record is then free).
bool SwordWound(GameState& g, int32_t i, int32_t strip);
// The death of a big monster: the record is freed in a burst of particles,
// lights, body pieces and `rings` flash rings spread ±100 about its middle
// moved by (offset, offset).
void BigDeath(GameState& g, int32_t i, int32_t rings, int32_t offset);

// A fight runs and the player lives: the first tests of firing and breeding.
bool FightOn(const GameState& g);
// Room to breed: more than 14 object records are free.
bool RoomToBreed(const GameState& g);
// Spawns the small monster when (x, y) lies inside the breeding area; the
// spawn code is drawn only then. After a spawn the fight may grow by the
// difficulty value (when rand(0, 100) is above `bonusOver`), never past its
// start.
void BreedAt(GameState& g, int32_t x, int32_t y, int32_t (*drawCode)(), int32_t bonusOver);

// A health bar of `length` pixels (40 or 80) with its top-left at (x, y),
// green for `filled` pixels.
void HealthBar(int32_t x, int32_t y, int32_t length, int32_t filled);

}  // namespace monsters

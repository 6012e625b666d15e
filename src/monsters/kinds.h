#pragma once
// The three passes of each kind of object: movement, contact and drawing.
// Each takes the index of an active record; a kind without a step in a pass
// has no function for it.
#include <cstdint>

struct GameState;

namespace monsters {

// Walkers: kinds 0, 1, 2, 5 and 7.
void MoveWalker(GameState& g, int32_t i);
void TouchWalker(GameState& g, int32_t i);
void DrawWalker(GameState& g, int32_t i);

// The walkers' sword rule, which the small flyer shares: one touch kills.
bool SwordHitsSmallMonster(GameState& g, int32_t i);
void KillSmallMonster(GameState& g, int32_t i);

// Monster shots: kinds 3, 4, 6, 8, 18 and 25. The drawing also serves the
// player's gun shots (kinds 10 and 15).
void MoveShot(GameState& g, int32_t i);
void TouchShot(GameState& g, int32_t i);
void DrawShot(GameState& g, int32_t i);

// Pickups: kinds 11, 13, 14, 16, 21, 22, 23, 27 and 31; collected while moving.
void MovePickup(GameState& g, int32_t i);
void DrawPickup(GameState& g, int32_t i);

// The player's gun shot (kind 10) and bouncing second shot (kind 15).
void MoveGunShot(GameState& g, int32_t i);
void TouchGunShot(GameState& g, int32_t i);
void MoveBouncingShot(GameState& g, int32_t i);
void TouchBouncingShot(GameState& g, int32_t i);

// Jumpers: kinds 17 and 32.
void MoveJumper(GameState& g, int32_t i);
void TouchJumper(GameState& g, int32_t i);
void DrawJumper(GameState& g, int32_t i);

// Flyers: kinds 19 (big, breeds) and 20 (small).
void MoveFlyer(GameState& g, int32_t i);
void TouchFlyer(GameState& g, int32_t i);
void DrawFlyer(GameState& g, int32_t i);

// The hoverer: kind 24.
void MoveHoverer(GameState& g, int32_t i);
void TouchHoverer(GameState& g, int32_t i);
void DrawHoverer(GameState& g, int32_t i);
// A kind 25 shot that the sword destroyed wounds the hoverer that fired it.
void WoundShooter(GameState& g, int32_t shooter);

// The ground boss: kind 28.
void MoveGroundBoss(GameState& g, int32_t i);
void TouchGroundBoss(GameState& g, int32_t i);
void DrawGroundBoss(GameState& g, int32_t i);

// Falling rocks: kind 29.
void MoveRock(GameState& g, int32_t i);
void TouchRock(GameState& g, int32_t i);
void DrawRock(GameState& g, int32_t i);

}  // namespace monsters

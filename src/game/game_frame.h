#pragma once
// One in-game frame: the fixed order of steps that is also the drawing order.
#include <cstdint>

struct GameState;

// The five actions are truth values: left, right, jump, next weapon, attack.
// Returns 0 to stay in the game, or 100 + n to open menu screen n.
int32_t RunGameFrame(GameState& g, int32_t moveLeft, int32_t moveRight, int32_t jump, int32_t nextWeapon,
                     int32_t attack);
// The level picture with its lamps, twinkles, shimmer and drift.
void DrawLevel(GameState& g);
// The end of a frame: a result outside 0..1000 becomes 0, the result is
// marked seen, and a message asked for more than 7 times (by the weights its
// producers add to `resultCount`) is refused as 0.
void SettleFrameResult(GameState& g);

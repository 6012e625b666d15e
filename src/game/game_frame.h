#pragma once
// One in-game frame.
#include <cstdint>

struct GameState;

// The five actions: left, right, jump, next weapon, attack. Returns the
// frame result (0 stay in the game, 100 + n show menu screen n).
int32_t RunGameFrame(GameState& g, int32_t left, int32_t right, int32_t jump, int32_t nextWeapon,
                     int32_t attack);

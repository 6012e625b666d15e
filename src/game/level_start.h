#pragma once
// Game reset, level start and room changes.
#include <cstdint>

struct GameState;

void ResetGame(GameState& g);
void StartLevel(GameState& g, int32_t level);

#pragma once
// Flying body pieces and shell fragments.
#include <cstdint>

struct GameState;

void SpawnDebris(GameState& g, int32_t x, int32_t y, int32_t image, int32_t mode);
void SpawnPlayerDebris(GameState& g, int32_t x, int32_t y);
void ClearDebris(GameState& g);
void UpdateDebris(GameState& g);

#pragma once
// Level object placements and the level object files that hold them.
#include <cstdint>

struct GameState;

void ClearPlacements(GameState& g);
void AddPlacement(GameState& g, int32_t x, int32_t y, int32_t type);
// Reads the current level's object file and spawns its objects.
void LoadPlacements(GameState& g);
// Writes the current level's object file.
void SavePlacements(GameState& g);

#pragma once
// Level object placements and the level object files that hold them.
#include <cstdint>
#include <string>

struct GameState;
struct ObjectTables;

void ClearPlacements(ObjectTables& tables);
void AddPlacement(ObjectTables& tables, int32_t x, int32_t y, int32_t type);
// Reads the current level's object file and spawns its objects.
void LoadPlacements(GameState& g);
// Writes the current level's object file; false (told on stderr and in the
// log) when it could not be written, the old file then being as it was.
bool SavePlacements(GameState& g);
// Whether a write failed since the last call: the screen is to tell it.
bool TakeLevelFileFailure();
// "lvobjTU.txt" for level n, each digit capped at 9 (level 100 gives lvobj90).
std::string ObjectFileName(int32_t n);

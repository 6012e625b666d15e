#pragma once
// The object table: spawning monsters, shots, rocks and pickups.
#include <cstdint>

struct GameState;

// Fills the first free record from a spawn code at the integer point (x, y);
// nothing when the table is full or the code creates nothing.
void SpawnMonster(GameState& g, int32_t x, int32_t y, int32_t code);
// Clears every word of all object records.
void ClearObjects(GameState& g);

#pragma once
// Level construction: the level picture composed once into picture 13, and
// the level's decoration (twinkles, shimmer, fog, clouds, drift, lamps).
#include <cstdint>

struct GameState;

// Builds level n; a number without a script only stores n and asks for its
// pictures, leaving the previous picture and decoration.
void BuildLevel(GameState& g, int32_t n);
// A faint scan-line darkening that also keeps every pixel off the weapon
// marker colour.
void DarkenRows(GameState& g, int32_t picture);

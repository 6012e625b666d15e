#pragma once
// Level construction: the level picture composed once into picture 13, and
// the level's decoration (twinkles, shimmer, fog, clouds, drift, lamps).
#include <cstdint>

struct GameState;

// The composed level picture, drawn whole at the start of every frame.
inline constexpr int32_t kComposedSlot = 13;

// Builds level n; a number without a script only stores n and asks for its
// pictures, leaving the previous picture and decoration.
void BuildLevel(GameState& g, int32_t n);
// A faint scan-line darkening that also keeps every pixel off the weapon
// marker colour.
void DarkenRows(GameState& g, int32_t picture);

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

namespace level_build_detail {
// Row y of a picture `width` wide, darkened from `from` into `to` (the same
// row, or a copy), the first and the last pixel copied as they are:
// DarkenRows is this on every row, four pixels at a time in generic vectors
// at every kernel level. DarkenRowPlain is its definition, pixel by pixel.
void DarkenRow(const uint32_t* from, uint32_t* to, int32_t width, int32_t y);
void DarkenRowPlain(const uint32_t* from, uint32_t* to, int32_t width, int32_t y);
// The darkening and packing of a screen-sized composition straight from the
// screen (`from`, width x height) into the pixels `to` of a picture of that
// size, at the active kernel level: the bytes DarkenRows then PackTo24
// leave. For the tests that compare the two.
void DarkenPackRows(const uint32_t* from, uint32_t* to, int32_t width, int32_t height);
}  // namespace level_build_detail

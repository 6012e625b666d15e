#pragma once
// The procedural light maps that texture AddTexturedLight.
#include <cstdint>

struct GfxContext;

// Draws map `frame` (0 .. 30) into `map`, a 368 x 368 byte map centred at
// (184, 184): soft rays turned by 15 degrees per frame, over a level and a
// few faint rings of the frame's own. `random` holds the 1841 numbers
// (0 .. 255) drawn at start-up.
void DrawLightMap(uint8_t* map, int32_t frame, const uint8_t* random);

#pragma once
// Screens that show the creatures as the game will: loaded and cut by the
// game's own loading steps, standing where their ground and wall probes
// put them, with their poses, body pieces, shots and fragments.
#include <cstdint>
#include <vector>

#include "datagen/screen_preview.h"
#include "gfx/gfx_context.h"

namespace datagen {

// Loads the creature pictures of the current folder into `gfx` (already set
// up on an 800 × 600 back buffer) and adds the creature screens.
void AddCreatureScreens(GfxContext& gfx, std::vector<uint32_t>& backBuffer,
                        std::vector<PreviewScreen>& screens);

// How far the game lifts a walker's pose so that its lower body rests on the
// mask: the largest d (depth, depth − 2, ... 0) for which an opaque pixel of
// the lower three eighths of the pose, raised by d, still lies on solid mask.
int32_t GroundSinkOf(GfxContext& gfx, int32_t maskSlot, int32_t left, int32_t top, int32_t pose,
                     int32_t depth);

}  // namespace datagen

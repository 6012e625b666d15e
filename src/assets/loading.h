#pragma once
// The asset loading schedule: which file goes into which slot, when.
#include <cstdint>

struct GameState;

// The pictures of loading step 0's menus and the loader group of steps 1 to 8.
void LoadAssetsStep(GameState& g, int32_t step);

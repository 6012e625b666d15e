#pragma once
// The hidden level editor.
#include <cstdint>

struct GameState;

// One editor frame; a non-zero result returns to the game.
int32_t EditorFrame(GameState& g, int32_t mouseX, int32_t mouseY, int32_t click);

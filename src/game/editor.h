#pragma once
// The hidden level editor.
#include <cstdint>

struct GameState;

void DrawObjectIcon(GameState& g, int32_t x, int32_t y, int32_t type);
// One editor frame; -1 asks to return to the game, 0 stays.
int32_t EditorFrame(GameState& g, int32_t mouseX, int32_t mouseY, int32_t click);

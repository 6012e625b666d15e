#pragma once
// The hidden level editor.
#include <cstdint>

struct GameState;

// What an editor frame answers.
inline constexpr int32_t kEditorStays = 0;
inline constexpr int32_t kEditorLeaves = -1;  // a command asks to return to the game

void DrawObjectIcon(GameState& g, int32_t x, int32_t y, int32_t type);
// One editor frame: kEditorStays or kEditorLeaves.
int32_t EditorFrame(GameState& g, int32_t mouseX, int32_t mouseY, int32_t click);

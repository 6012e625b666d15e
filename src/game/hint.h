#pragma once
// The blinking arrow that points the way after a won fight.
#include <cstdint>

struct GameState;

void StartHint(GameState& g);
void ClearHint(GameState& g);
void DrawHintArrow(GameState& g);

#pragma once
// Message and menu screens shown over the frozen game.
#include <cstdint>

struct GameState;

void MenuSetup(GameState& g, int32_t screen);
// One menu frame; the result steers the dispatcher (0 stay, 1 game, 2 quit,
// 3 credits, 4 fade to the game, 100 + n another screen).
int32_t MenuFrame(GameState& g, int32_t select, int32_t confirm);

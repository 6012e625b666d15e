#pragma once
// Message and menu screens shown over the frozen game: a box with a face,
// a text of the message file and one or two answer buttons.
#include <cstdint>

struct GameState;

// Prepares screen 0..41 (12 is unused; 38 to 41 tell of files that could
// not be written or read); a freezing screen takes the current
// picture as its background and slides in.
void MenuSetup(GameState& g, int32_t screen);
// One menu frame; answers are taken when Space (select) or Enter (confirm)
// is let go. The result steers the dispatcher (0 stay, 1 game, 2 quit,
// 3 credits, 4 fade to the game, 5 back to the level editor, 100 + n
// another screen).
int32_t MenuFrame(GameState& g, int32_t select, int32_t confirm);

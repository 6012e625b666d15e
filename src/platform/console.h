#pragma once
// Where the program's own lines (usage, errors, the headless replay's
// messages) go. On Windows the game is a windowed program, so a player who
// starts it from the desktop gets no console window beside the game; started
// from a console, it writes into that console, and output redirected to a
// file or pipe goes there as usual. Elsewhere nothing needs doing.

namespace platform {

// Called first thing in main, before anything is printed.
void UseStartingConsole();

}  // namespace platform

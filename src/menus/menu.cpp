#include "menus/menu.h"

// The menu screens are not built yet: every page answers "stay", except
// that the title page lets Enter or Space through to the game.
void MenuSetup(GameState&, int32_t) {}
int32_t MenuFrame(GameState&, int32_t select, int32_t confirm) { return (select | confirm) != 0 ? 1 : 0; }

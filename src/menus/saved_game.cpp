#include "menus/saved_game.h"

// Saving and resuming arrive with the menu screens.
void SaveGame(GameState&) {}
void LoadGame(GameState&) {}

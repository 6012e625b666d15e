#pragma once
// The saved game "gamesave.sav".
struct GameState;

void SaveGame(GameState& g);
// Resets the game, reads the saved fields when the file is there and
// starts the saved level.
void LoadGame(GameState& g);

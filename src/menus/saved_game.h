#pragma once
// The saved game "gamesave.sav".
struct GameState;

void LoadGame(GameState& g);

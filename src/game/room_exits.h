#pragma once
// Room changes: the player walks off an edge of the screen into the
// neighbouring level of the five-column grid, and the game is saved there.
struct GameState;

// The first step of every in-game frame: changes the level at the screen
// edges, or ends the player's life at a closed bottom.
void CheckRoomExit(GameState& g);

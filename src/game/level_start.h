#pragma once
// Game reset, level start and room changes: the player walks off an edge
// of the screen into the neighbouring level of the five-column grid.
#include <cstdint>
#include <string>

struct GameState;

// A new game: player, weapons, progress, difficulty and fight in their
// starting state, entering level 2.
void ResetGame(GameState& g);
// Enters level n: its pictures, objects, probes and fight.
void StartLevel(GameState& g, int32_t n);
// How many levels StartLevel has entered since the program began (a room
// change, a lost fight's restart, a loaded game): frame timings use it to
// tell the frames that build a level from the others.
int64_t LevelStartCount();
// After a level's objects are spawned: a won level loses its monsters
// (unless every level is open), and pickups the player has are taken away.
void RemoveSettledObjects(GameState& g);
// The first step of every in-game frame: changes the level at the screen
// edges, or ends the player's life at a closed bottom.
void CheckRoomExit(GameState& g);
// "lvobjTU.txt" for level n, each digit capped at 9 (level 100 gives lvobj90).
std::string ObjectFileName(int32_t n);

#pragma once
// Game reset and level start. The room changes that lead from one level to
// the next are in game/room_exits.h.
#include <cstdint>

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

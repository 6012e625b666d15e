#pragma once
// The player alone in a level: the engine set up for the player update, the
// part of the game state his movement lives in, and the screen edges he
// leaves a level by. The route search runs the game's own UpdatePlayer on
// the game's own mask test and random source.
#include <cstdint>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "random/random_source.h"

namespace routecheck {

// The actions held through a run of frames. Attacks and weapon changes do
// not move the player, so a route never needs them.
struct Held {
  bool left = false;
  bool right = false;
  bool jump = false;
  bool operator==(const Held&) const = default;
};

struct Segment {
  Held held;
  int32_t frames = 0;
};

// What an input script holds: held action sets with frame counts.
using InputSequence = std::vector<Segment>;

// "right+jump 12, none 4": a sequence as the tool prints it.
std::string Describe(const InputSequence& inputs);
int32_t TotalFrames(const InputSequence& inputs);

enum class Edge : int32_t { None = -1, Left, Right, Bottom, Top };
const char* EdgeName(Edge e);

// Everything UpdatePlayer reads or writes when only moving and jumping,
// with the random source it draws the jumps from.
struct BodyState {
  int32_t playerX, playerY, playerAngle, facing, velX, velY;
  int32_t drawX, drawY, drawAngle, subStepCount, lastDrawX, lastDrawY;
  int32_t jumpCooldown, jumpBuffer, hitStun, deathTimer, frameResult, endingTimer;
  int32_t probeFreeX[101], probeFreeY[101];
  Extended random;
};

BodyState SaveBody(const GameState& g, const RandomSource& r);
void RestoreBody(GameState& g, RandomSource& r, const BodyState& b);

// The graphics context made ready for the player update on an 800 x 600
// screen (tables, size scale, a back buffer), unless it already is. Needs
// an installed platform backend (its clock starts the frame timing).
void PrepareEngine();

// A level mask from the game folder's picture files, loaded and prepared as
// the level loader does; also loads the sword body strip, whose height
// places the leg. False when the level has no mask picture.
bool LoadLevelMask(GameState& g, int32_t level);

// The player as a new game or a room change leaves him: at (x, y) whole
// pixels, alive, sword in hand, leg at `angle`, no probe memory, at rest.
void PlacePlayer(GameState& g, int32_t x, int32_t y, int32_t angle = 11520);

// The edge the player has passed, tested in the order of the room-exit
// check: right, left, bottom, top. Edge::None while he is inside.
Edge PassedEdge(const GameState& g);

// One frame of the player update with the held actions.
void StepPlayer(GameState& g, const Held& held);

}  // namespace routecheck

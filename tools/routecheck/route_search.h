#pragma once
// A bounded search over input sequences for a way from a start point to a
// screen edge of one level, with the game's own player update. A route
// counts only when it works from several starts at once (other random
// states, other leg angles), so that it does not hang on one lucky jump.
#include <cstdint>
#include <string>

#include "routecheck/route_world.h"

namespace routecheck {

struct RouteTask {
  std::string name;
  int32_t x = 0, y = 0;  // the start, whole pixels
  Edge exit = Edge::Right;
};

struct SearchLimits {
  int32_t starts = 3;         // starts the route must work from
  int32_t maxFrames = 1400;   // the longest route looked for
  int32_t maxSegments = 900;  // segments run before the level counts as impassable
};

struct RouteResult {
  bool found = false;
  InputSequence inputs;
  int32_t frames = 0;       // until the last start has left by the exit
  int64_t segmentsRun = 0;  // search effort
  int64_t framesRun = 0;
};

// Needs the engine prepared and the level mask in `g.levelState.maskSlot`. A try in
// which a start leaves by another edge is dropped: the room-exit check would
// take the player to another level (or, at a closed edge, put him back,
// which the search does not count on).
RouteResult FindRoute(GameState& g, const RouteTask& task, const SearchLimits& limits);

// Where start number `start` of the search leaves the level with `inputs`
// (Edge::None when it stays inside), and after how many frames.
struct Outcome {
  Edge edge = Edge::None;
  int32_t frames = 0;
};
Outcome ReplayRoute(GameState& g, const RouteTask& task, const InputSequence& inputs, int32_t start);

}  // namespace routecheck

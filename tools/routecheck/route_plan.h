#pragma once
// The routes the world plan needs: from every way into a level to every
// edge by which the plan leaves it for a level that has a way in from it.
#include <cstdint>
#include <vector>

#include "routecheck/route_search.h"

namespace routecheck {

struct PlannedRoute {
  int32_t level = 0;
  RouteTask task;
};

// A way into a level, as the world plan lists it: the player appears at
// x0..x1 (both ends and the middle are tried), at height y.
enum class Arrival : int32_t { Start, AtLeft, AtRight, AtTop };
struct PlanEntry {
  int32_t level;
  Arrival way;
  int32_t x0, x1;
  int32_t y;
};

// Every entry of a level to every exit the other entries call for: a right
// exit when level + 1 is entered from its left, a left exit when level - 1
// is entered from its right, a bottom exit when level + 5 is entered from
// its top.
std::vector<PlannedRoute> RoutesFor(const std::vector<PlanEntry>& entries);

// The way through the whole world as the arrows point it, levels in the
// order the player is in them: row 0 west to the watchtower and east to the
// drowned gate, down the hole of 3, row 1 east to the cistern and west to
// the well, down the shaft, row 3 east to the last stair and down its well
// into the moon chamber.
inline constexpr int32_t kWorldRoute[] = {2, 1, 0, 1,  2,  3,  4,  3,  8,  9, 8,
                                          7, 6, 5, 10, 15, 16, 17, 18, 19, 24};
inline constexpr int32_t kWorldRouteLength = sizeof kWorldRoute / sizeof kWorldRoute[0];

// One stay in a level on that way: where the player comes in, the edge he
// must leave by (Edge::None in the moon chamber, where he stays), and the
// state the level is in: `fought` when its fight is still to be won there,
// `holeOpen` when its row is won, so that a hole in its floor leads on
// instead of ending the life.
struct Visit {
  int32_t step = 0;  // index into kWorldRoute
  PlanEntry entry;
  Edge exit = Edge::None;
  bool fought = false;
  bool holeOpen = false;
};

// The stays of kWorldRoute with the ways in of `entries`; a stay whose way in
// the entries lack is left out, which the caller sees as a shorter list.
std::vector<Visit> RouteVisits(const std::vector<PlanEntry>& entries);

// The entries of the world plan of the data set generator; empty while the
// generator has no plan.
std::vector<PlanEntry> WorldPlanEntries();

}  // namespace routecheck

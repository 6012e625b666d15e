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

// The entries of the world plan of the data set generator; empty while the
// generator has no plan.
std::vector<PlanEntry> WorldPlanEntries();

}  // namespace routecheck

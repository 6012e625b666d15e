#include "routecheck/route_plan.h"

#include <algorithm>
#include <string>

#include "worldplan/world_plan.h"

namespace routecheck {
namespace {

const char* ArrivalName(Arrival a) {
  switch (a) {
    case Arrival::Start:
      return "new game";
    case Arrival::AtLeft:
      return "from the left";
    case Arrival::AtRight:
      return "from the right";
    case Arrival::AtTop:
      return "from the top";
  }
  return "?";
}

bool Entered(const std::vector<PlanEntry>& entries, int32_t level, Arrival way) {
  return std::any_of(entries.begin(), entries.end(),
                     [&](const PlanEntry& e) { return e.level == level && e.way == way; });
}

}  // namespace

std::vector<PlannedRoute> RoutesFor(const std::vector<PlanEntry>& entries) {
  std::vector<PlannedRoute> routes;
  for (const PlanEntry& e : entries) {
    std::vector<Edge> exits;
    // The room change keeps to the row for side exits (columns 0..4).
    if (e.level % 5 < 4 && Entered(entries, e.level + 1, Arrival::AtLeft)) exits.push_back(Edge::Right);
    if (e.level % 5 > 0 && Entered(entries, e.level - 1, Arrival::AtRight)) exits.push_back(Edge::Left);
    if (Entered(entries, e.level + 5, Arrival::AtTop)) exits.push_back(Edge::Bottom);
    std::vector<int32_t> xs = {e.x0, (e.x0 + e.x1) / 2, e.x1};
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    for (const Edge exit : exits) {
      for (const int32_t x : xs) {
        PlannedRoute r;
        r.level = e.level;
        r.task.x = x;
        r.task.y = e.y;
        r.task.exit = exit;
        r.task.name = "level " + std::to_string(e.level) + " " + ArrivalName(e.way) + " at (" +
                      std::to_string(x) + ", " + std::to_string(e.y) + ") to the " + EdgeName(exit) + " edge";
        routes.push_back(r);
      }
    }
  }
  return routes;
}

std::vector<Visit> RouteVisits(const std::vector<PlanEntry>& entries) {
  std::vector<Visit> visits;
  std::vector<bool> won(101, false);
  const auto rowWon = [&](int32_t level) {
    if (level == 10) return true;  // the shaft has no gate
    const int32_t first = level / 5 * 5;
    for (int32_t l = first; l < first + 5; ++l)
      if (!won[static_cast<size_t>(l)]) return false;
    return true;
  };
  for (int32_t i = 0; i < kWorldRouteLength; ++i) {
    const int32_t level = kWorldRoute[i];
    Arrival way = Arrival::Start;
    if (i > 0) {
      const int32_t from = kWorldRoute[i - 1];
      way = from == level - 1 ? Arrival::AtLeft : from == level + 1 ? Arrival::AtRight : Arrival::AtTop;
    }
    const auto entry = std::find_if(entries.begin(), entries.end(),
                                    [&](const PlanEntry& e) { return e.level == level && e.way == way; });
    if (entry == entries.end()) continue;
    Visit v;
    v.step = i;
    v.entry = *entry;
    // Levels without a fight (the shaft, the moon chamber) count as won.
    v.fought = !won[static_cast<size_t>(level)] && level != 10 && level != 24;
    won[static_cast<size_t>(level)] = true;
    v.holeOpen = rowWon(level);
    if (i + 1 < kWorldRouteLength) {
      const int32_t to = kWorldRoute[i + 1];
      v.exit = to == level - 1 ? Edge::Left : to == level + 1 ? Edge::Right : Edge::Bottom;
    }
    visits.push_back(v);
  }
  return visits;
}

std::vector<PlanEntry> WorldPlanEntries() {
  std::vector<PlanEntry> out;
  namespace w = datagen::world;
  for (const w::Entry& e : w::kEntries) {
    Arrival a = Arrival::Start;
    if (e.way == w::Way::AtLeft) a = Arrival::AtLeft;
    if (e.way == w::Way::AtRight) a = Arrival::AtRight;
    if (e.way == w::Way::AtTop) a = Arrival::AtTop;
    out.push_back({e.level, a, e.x0, e.x1, e.y});
  }
  return out;
}

}  // namespace routecheck

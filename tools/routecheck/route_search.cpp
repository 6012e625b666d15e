#include "routecheck/route_search.h"

#include <algorithm>
#include <cstdint>
#include <queue>
#include <unordered_set>
#include <vector>

#include "engine/engine_effects.h"
#include "gfx/image_slots.h"
#include "routecheck/distance_field.h"
#include "shell/globals.h"

namespace routecheck {
namespace {

constexpr int32_t kCell = DistanceField::kCell;
constexpr int32_t kStartAngles[] = {11520, 0, 46080, 69120, 34560, 80640};
constexpr int32_t kStartAngleCount = sizeof kStartAngles / sizeof kStartAngles[0];

// 123.456 as the nearest extended value, plus 211 per start.
Extended StartSeed(int32_t start) {
  return ExtendedFromBits(0x4005, 0xf6e978d4fdf3b646) +
         static_cast<Extended>(211.0) * static_cast<Extended>(start);
}

struct Node {
  int32_t parent = -1;
  Segment segment;
  int32_t frames = 0;
  int32_t distance = 0;  // the field's distance of the start furthest from the exit
  int32_t toward = 1;    // the side the field falls off to: -1 left, +1 right
  std::vector<BodyState> bodies;
  std::vector<uint8_t> done;
};

// A segment to try from a node, in the order of its key.
struct Candidate {
  int64_t key;
  int64_t order;
  int32_t node;
  int32_t choice;
  bool operator>(const Candidate& o) const { return key != o.key ? key > o.key : order > o.order; }
};

// The segments tried from a node: mostly towards the exit, long runs first,
// with jumps, pauses and steps back as later choices.
struct Choice {
  int32_t move;  // +1 towards the exit's side, -1 away, 0 none
  bool jump;
  int32_t frames;
  int32_t penalty;
};
constexpr Choice kChoices[] = {
    {1, false, 24, 0}, {1, true, 24, 1},    {1, false, 8, 2},   {1, true, 8, 3},
    {0, true, 8, 5},   {1, true, 2, 5},     {0, false, 8, 6},   {-1, false, 8, 8},
    {-1, true, 8, 9},  {-1, false, 24, 10}, {-1, true, 24, 11}, {0, true, 24, 12},
};

Held HeldFor(const Choice& c, int32_t toward) {
  Held h;
  const int32_t side = c.move * toward;
  h.left = side < 0;
  h.right = side > 0;
  h.jump = c.jump;
  return h;
}

uint64_t Mix(uint64_t h, int64_t v) {
  h ^= static_cast<uint64_t>(v) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
  return h;
}

// Nodes that agree on this are taken as the same place to go on from.
uint64_t PlaceKey(const Node& n) {
  uint64_t h = 0;
  for (size_t k = 0; k < n.bodies.size(); ++k) {
    const BodyState& b = n.bodies[k];
    h = Mix(h, n.done[k]);
    if (n.done[k] != 0) continue;
    const int32_t fine = k == 0 ? 2 : 4;  // the first start decides, the others only roughly
    h = Mix(h, WholePixel(b.playerX) >> fine);
    h = Mix(h, WholePixel(b.playerY) >> fine);
    if (k != 0) continue;
    h = Mix(h, std::clamp(b.velX >> 14, -12, 12));
    h = Mix(h, std::clamp(b.velY >> 14, -12, 12));
    h = Mix(h, b.jumpCooldown > 0);
    h = Mix(h, b.jumpBuffer > 0);
    h = Mix(h, b.facing);
    h = Mix(h, b.playerAngle / 7680);
  }
  return h;
}

void PlaceStart(GameState& g, const RouteTask& task, int32_t start) {
  PlacePlayer(g, task.x, task.y, kStartAngles[start % kStartAngleCount]);
  SeedRandom(engine.random, StartSeed(start));
}

void Measure(Node& n, const DistanceField& field) {
  n.distance = 0;
  int32_t worst = -1;
  for (size_t k = 0; k < n.bodies.size(); ++k) {
    if (n.done[k] != 0) continue;
    const int32_t d = field.At(WholePixel(n.bodies[k].playerX), WholePixel(n.bodies[k].playerY));
    if (d > n.distance || worst < 0) {
      n.distance = d;
      worst = static_cast<int32_t>(k);
    }
  }
  if (worst < 0) return;
  const int32_t x = WholePixel(n.bodies[worst].playerX), y = WholePixel(n.bodies[worst].playerY);
  n.toward = field.At(x - 2 * kCell, y) < field.At(x + 2 * kCell, y) ? -1 : 1;
}

InputSequence PathTo(const std::vector<Node>& nodes, int32_t index) {
  InputSequence reversed;
  for (int32_t i = index; nodes[i].parent >= 0; i = nodes[i].parent) reversed.push_back(nodes[i].segment);
  InputSequence out;
  for (auto it = reversed.rbegin(); it != reversed.rend(); ++it) {
    if (!out.empty() && out.back().held == it->held) {
      out.back().frames += it->frames;
    } else {
      out.push_back(*it);
    }
  }
  return out;
}

}  // namespace

RouteResult FindRoute(GameState& g, const RouteTask& task, const SearchLimits& limits) {
  RouteResult result;
  const int32_t starts = std::max(limits.starts, 1);
  const DistanceField field(g, task.exit);
  const RandomSource saved = engine.random;

  std::vector<Node> nodes;
  nodes.reserve(static_cast<size_t>(limits.maxSegments) + 1);
  Node root;
  for (int32_t k = 0; k < starts; ++k) {
    PlaceStart(g, task, k);
    root.bodies.push_back(SaveBody(g, engine.random));
    root.done.push_back(0);
  }
  Measure(root, field);
  nodes.push_back(std::move(root));

  std::priority_queue<Candidate, std::vector<Candidate>, std::greater<>> queue;
  std::unordered_set<uint64_t> seen{PlaceKey(nodes[0])};
  int64_t order = 0;
  const auto offer = [&](int32_t index) {
    const Node& n = nodes[index];
    for (int32_t c = 0; c < static_cast<int32_t>(std::size(kChoices)); ++c)
      queue.push({int64_t{n.distance} * 4 + kChoices[c].penalty, order++, index, c});
  };
  offer(0);

  while (!queue.empty() && result.segmentsRun < limits.maxSegments) {
    const Candidate cand = queue.top();
    queue.pop();
    const Node& parent = nodes[cand.node];
    const Choice& choice = kChoices[cand.choice];
    if (parent.frames + choice.frames > limits.maxFrames) continue;
    ++result.segmentsRun;
    Node child;
    child.parent = cand.node;
    child.segment = {HeldFor(choice, parent.toward), choice.frames};
    child.frames = parent.frames + choice.frames;
    child.bodies = parent.bodies;
    child.done = parent.done;
    bool failed = false;
    int32_t lastExit = parent.frames;
    for (size_t k = 0; k < child.bodies.size() && !failed; ++k) {
      if (child.done[k] != 0) continue;
      RestoreBody(g, engine.random, child.bodies[k]);
      for (int32_t f = 0; f < choice.frames; ++f) {
        StepPlayer(g, child.segment.held);
        ++result.framesRun;
        const Edge e = PassedEdge(g);
        if (e == task.exit) {
          child.done[k] = 1;
          lastExit = std::max(lastExit, parent.frames + f + 1);
          break;
        }
        if (e != Edge::None) {
          failed = true;  // out by another edge: a fall or a wrong turn
          break;
        }
      }
      child.bodies[k] = SaveBody(g, engine.random);
    }
    if (failed) continue;
    if (std::all_of(child.done.begin(), child.done.end(), [](uint8_t d) { return d != 0; })) {
      nodes.push_back(std::move(child));
      result.found = true;
      result.inputs = PathTo(nodes, static_cast<int32_t>(nodes.size()) - 1);
      // The last segment is cut where the last start left.
      result.inputs.back().frames -= nodes.back().frames - lastExit;
      result.inputs.back().frames += result.inputs.back().frames % 2;  // whole ticks of two frames
      result.frames = TotalFrames(result.inputs);
      break;
    }
    if (!seen.insert(PlaceKey(child)).second) continue;
    Measure(child, field);
    nodes.push_back(std::move(child));
    offer(static_cast<int32_t>(nodes.size()) - 1);
  }
  engine.random = saved;
  return result;
}

Outcome ReplayRoute(GameState& g, const RouteTask& task, const InputSequence& inputs, int32_t start) {
  const RandomSource saved = engine.random;
  PlaceStart(g, task, start);
  Outcome out;
  for (const Segment& s : inputs) {
    for (int32_t f = 0; f < s.frames && out.edge == Edge::None; ++f) {
      StepPlayer(g, s.held);
      ++out.frames;
      out.edge = PassedEdge(g);
    }
  }
  engine.random = saved;
  return out;
}

}  // namespace routecheck

#include "routecheck/distance_field.h"

#include <algorithm>
#include <queue>
#include <utility>

#include "gfx/image_slots.h"
#include "shell/globals.h"

namespace routecheck {
namespace {

constexpr int32_t kClimbCost = 3;  // an upward step of the field costs this much

}  // namespace

void DistanceField::Open(const GameState& g) {
  cols_ = (engine.gfx.screenWidth + kCell - 1) / kCell;
  rows_ = (engine.gfx.screenHeight + kCell - 1) / kCell;
  const size_t n = static_cast<size_t>(cols_) * rows_;
  d_.assign(n, kUnreachable);
  open_.assign(n, false);
  for (int32_t r = 0; r < rows_; ++r)
    for (int32_t c = 0; c < cols_; ++c)
      open_[Index(c, r)] =
          GetPixel(engine.gfx, g.levelState.maskSlot, c * kCell + kCell / 2, r * kCell + kCell / 2) == 0;
}

DistanceField::DistanceField(const GameState& g, Edge exit) {
  Open(g);
  for (int32_t r = 0; r < rows_; ++r) {
    for (int32_t c = 0; c < cols_; ++c) {
      const bool edge = (exit == Edge::Left && c == 0) || (exit == Edge::Right && c == cols_ - 1) ||
                        (exit == Edge::Top && r == 0) || (exit == Edge::Bottom && r == rows_ - 1);
      if (edge && open_[Index(c, r)]) d_[Index(c, r)] = 0;
    }
  }
  Spread();
}

DistanceField::DistanceField(const GameState& g, int32_t x, int32_t y, int32_t radius) {
  Open(g);
  for (int32_t r = 0; r < rows_; ++r) {
    for (int32_t c = 0; c < cols_; ++c) {
      const int32_t dx = c * kCell + kCell / 2 - x, dy = r * kCell + kCell / 2 - y;
      if (dx * dx + dy * dy <= radius * radius && open_[Index(c, r)]) d_[Index(c, r)] = 0;
    }
  }
  Spread();
}

// Searched from the goal backwards: a step from cell a down to cell b is a
// fall when walking from a to b, so it is cheap; the reverse climb is dear.
void DistanceField::Spread() {
  using Item = std::pair<int32_t, int32_t>;  // distance, cell
  std::priority_queue<Item, std::vector<Item>, std::greater<>> queue;
  for (int32_t i = 0; i < static_cast<int32_t>(d_.size()); ++i)
    if (d_[i] == 0) queue.push({0, i});
  while (!queue.empty()) {
    const auto [dist, cell] = queue.top();
    queue.pop();
    if (dist > d_[cell]) continue;
    const int32_t c = cell % cols_, r = cell / cols_;
    const int32_t nc[4] = {c - 1, c + 1, c, c};
    const int32_t nr[4] = {r, r, r - 1, r + 1};
    const int32_t cost[4] = {1, 1, 1, kClimbCost};  // to the cell above: a fall from it
    for (int32_t k = 0; k < 4; ++k) {
      if (nc[k] < 0 || nc[k] >= cols_ || nr[k] < 0 || nr[k] >= rows_) continue;
      const int32_t next = Index(nc[k], nr[k]);
      if (!open_[next] || dist + cost[k] >= d_[next]) continue;
      d_[next] = dist + cost[k];
      queue.push({d_[next], next});
    }
  }
}

int32_t DistanceField::At(int32_t x, int32_t y) const {
  const int32_t c = std::clamp(x / kCell, 0, cols_ - 1);
  const int32_t r = std::clamp(y / kCell, 0, rows_ - 1);
  int32_t best = d_[Index(c, r)];
  if (best < kUnreachable) return best;
  for (int32_t dr = -1; dr <= 1; ++dr)
    for (int32_t dc = -1; dc <= 1; ++dc) {
      const int32_t cc = c + dc, rr = r + dr;
      if (cc >= 0 && cc < cols_ && rr >= 0 && rr < rows_) best = std::min(best, d_[Index(cc, rr)] + 1);
    }
  return best;
}

}  // namespace routecheck

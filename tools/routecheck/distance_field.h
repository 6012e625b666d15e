#pragma once
// How far each place of a level is from a goal through free mask pixels,
// climbing counted dearer than falling: a guide for the searches, which
// still have to find the inputs that move the player along it.
#include <cstdint>
#include <vector>

#include "game/game_state.h"
#include "routecheck/route_world.h"

namespace routecheck {

class DistanceField {
 public:
  static constexpr int32_t kCell = 8;  // the field's grid
  static constexpr int32_t kUnreachable = 1 << 20;

  // To a screen edge of the level in `g.levelState.maskSlot`.
  DistanceField(const GameState& g, Edge exit);
  // To the free cells within `radius` pixels of (x, y).
  DistanceField(const GameState& g, int32_t x, int32_t y, int32_t radius);

  // The distance at a body position, in cells; a position inside the mask
  // takes its nearest open neighbour's.
  int32_t At(int32_t x, int32_t y) const;

 private:
  void Open(const GameState& g);
  void Spread();
  int32_t Index(int32_t c, int32_t r) const { return r * cols_ + c; }
  int32_t cols_ = 0, rows_ = 0;
  std::vector<bool> open_;
  std::vector<int32_t> d_;
};

}  // namespace routecheck

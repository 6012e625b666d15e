#pragma once
// The solid shape of each level, from which both its mask and its
// foreground are drawn, so that the two agree to the pixel: one material
// per pixel, Air where the player can move.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "worldplan/world_plan.h"

namespace datagen {

enum class Stuff : uint8_t {
  Air = 0,
  Earth,    // soil with a grass top, outdoors
  Masonry,  // dressed stone blocks
  Rock,     // raw cave rock
  Iron,     // riveted plates of the foundry
  Brick,    // small fired bricks of the foundry
};

struct LevelGeometry {
  int32_t level = -1;
  std::vector<Stuff> stuff;  // world::kWidth × world::kHeight, rows top-down

  Stuff At(int32_t x, int32_t y) const {
    return stuff[static_cast<size_t>(y) * world::kWidth + static_cast<size_t>(x)];
  }
  bool Solid(int32_t x, int32_t y) const { return At(x, y) != Stuff::Air; }
};

// The shape of one of the levels of world::kLevels (an empty, all-air
// geometry for any other number).
LevelGeometry BuildGeometry(int32_t level);

}  // namespace datagen

#pragma once
// The level object files: which monsters and pickups each level holds, and
// where, written in the game's own level object file format.
#include <cstdint>
#include <vector>

namespace datagen {

struct PlacedObject {
  int32_t code;  // the spawn code
  int32_t x, y;  // the spawn point, screen pixels
};

struct LevelObjects {
  int32_t level;
  std::vector<PlacedObject> objects;
};

// Every level that has a file; the others count as won from the start.
const std::vector<LevelObjects>& LevelObjectPlan();

}  // namespace datagen

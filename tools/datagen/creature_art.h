#pragma once
// The creature strips and the pictures of shots, pieces and rocks, split by
// group; each returns the strips of its group with their file names.
#include <string>
#include <vector>

#include "datagen/creature_kit.h"

namespace datagen {

struct NamedStrip {
  std::string file;
  Strip strip;
};

// The small monsters that walk: kinds 0, 1, 2, 5 and 7.
std::vector<NamedStrip> WalkerStrips();
// The jumpers, flyers, hoverers and the ground boss.
std::vector<NamedStrip> BigCreatureStrips();
// Shots, the pieces that exploding shots scatter, the shell, the rocks and
// the danger warning.
std::vector<NamedStrip> ShotAndPieceStrips();

}  // namespace datagen

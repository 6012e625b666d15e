#pragma once
// The world sheet: every level's composed picture in the five-column grid
// of the world, with the outline of its mask, its exits and its ways in, on
// one PNG.
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

// A level's picture as the game composes it from a game folder: row 0 over
// the shared sky, the rest copied plainly, then the row darkening. Empty
// when the folder has no pictures for the level.
std::vector<uint32_t> ComposeLevel(const std::string& root, int32_t level);

// False when the PNG cannot be written.
bool WriteWorldSheet(const std::string& root, const std::string& pngFile);

}  // namespace datagen

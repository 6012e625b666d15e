#pragma once
// The world sheet: every level's composed picture in the five-column grid
// of the world, with the outline of its mask, its exits and its ways in, on
// one PNG.
#include <string>

namespace datagen {

// False when the PNG cannot be written.
bool WriteWorldSheet(const std::string& root, const std::string& pngFile);

}  // namespace datagen

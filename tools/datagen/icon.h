#pragma once
// The game's desktop icon: the one-legged swordsman against the moon, drawn
// with the same kit as the game's art.
#include <string>

namespace datagen {

// Writes a square RGBA PNG of `size` pixels (rounded corners transparent).
bool WriteIcon(const std::string& pngFile, int size = 256);

}  // namespace datagen

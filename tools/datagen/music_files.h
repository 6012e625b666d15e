#pragma once
#include <string>

namespace datagen {

// The decoder program that the music folder gets copies of (the build's
// own by default).
void SetMusicDecoder(const std::string& path);

}  // namespace datagen

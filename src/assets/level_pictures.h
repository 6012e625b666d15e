#pragma once
// The level loader's words: the current level's picture files and which
// levels' pictures are loaded.
#include <cstdint>
#include <string>

inline constexpr int32_t kLevelFlagCount = 201;

struct LevelPictureState {
  std::string foregroundFile, maskFile;
  int32_t loaded[kLevelFlagCount] = {};  // per level 0..200: its pictures were loaded
};

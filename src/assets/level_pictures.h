#pragma once
// The level loader's own words, kept in the game record as its
// `levelPictures` (loading.h loads into them).
#include <cstdint>
#include <string>

inline constexpr int32_t kLevelFlagCount = 201;  // levels 0..200 carry a loaded flag

struct LevelPictureState {
  // The current level's picture files as the loader last set them.
  std::string foregroundFile, maskFile;
  int32_t loaded[kLevelFlagCount] = {};  // per level 0..200: its pictures were loaded
};

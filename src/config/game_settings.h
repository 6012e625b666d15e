#pragma once
// The game's settings as the configuration and the game shell leave them.
#include <cstdint>
#include <string>

struct GameSettings {
  int32_t lowDetail = 0;
  int32_t musicOn = 0;
  int32_t assetsLoaded = 0;
  int32_t controlScheme = 0;
  int32_t altTextFile = 0;
  std::string textFileName;
  int32_t showStats = 0;
  int32_t soundOn = 0;
  int32_t allOpen = 0;
};

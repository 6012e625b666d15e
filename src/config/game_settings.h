#pragma once
// The settings the game reads from the configuration at loading step 0 (and
// the music switch at step 2), kept in the game record as its `settings`.
#include <cstdint>
#include <string>

struct GameSettings {
  int32_t lowDetail = 0;
  int32_t musicOn = 0;
  int32_t assetsLoaded = 0;
  int32_t controlScheme = 0;
  int32_t altTextFile = 0;
  std::string textFileName;  // the message text file the texts come from
  int32_t showStats = 0;
  int32_t soundOn = 0;
  int32_t allOpen = 0;
};

#pragma once
// The modes of the game mode dispatcher, and the key that opens the options.
#include <cstdint>

enum GameMode : int32_t {
  kModeLoading = 0,
  kModeGame = 1,
  kModeCredits = 2,
  kModeEditor = 3,
  kModeFade = 4,
  kModeMenu = 5,
  kModeOptions = 6,  // over the title or the pause screen; the game stands still
};

// The key (and the gamepad's Y, as this key) that opens the options from
// the title and the pause screen.
inline constexpr uint32_t kOptionsKey = 'O';

#pragma once
// The music check's words.
#include <cstdint>

struct MusicState {
  int32_t tracksReady = 0;
  int32_t currentTrack = 0;
  int32_t trackCountdown = 0;
  int32_t pendingTrack = 0;
  int32_t trackLoaded[3] = {};
};

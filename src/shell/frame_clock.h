#pragma once
// The globals of the timer-driven frame loop.
#include <cstdint>

inline constexpr int32_t kStartNoTick = 13;
inline constexpr int32_t kStartFirstTick = 14;
inline constexpr int32_t kAppNoDisplay = 13;
inline constexpr int32_t kPhaseWaiting = -1;
inline constexpr int32_t kPhaseRestarting = 22;

struct FrameClock {
  int32_t rawMouseX = 0;
  int32_t rawMouseY = 0;
  int32_t prevMouseX = 0;
  int32_t prevMouseY = 0;
  int32_t startState = 0;
  int32_t displayReady = 0;
  int32_t appActive = 0;
  int32_t resizePending = 0;
  int32_t firstStart = 0;
  int32_t fps = 0;
  int32_t tickStart = 0;
  int32_t elapsed = 0;
  int32_t secondPass = 0;
  int32_t tickPhase = 0;
  uint32_t timerId = 0;
  // The loop step returned between a tick's two passes (a non-blocking
  // host calls it again once the second is due).
  bool secondPassPending = false;
};

#pragma once
// What the level start sets up for the level the player is in, besides
// its objects (game/object_tables.h): the pictures it is drawn and tested
// against, its fog, and the timers of the direction hint and the danger
// warning. The level's number is GameState::level.
#include <cstdint>

inline constexpr int32_t kNoSelection = -1;

struct LevelState {
  int32_t foregroundSlot = 0, maskSlot = 0;
  int32_t backgroundSlot = 0;
  int32_t fogMode = 0;    // 1 or 2
  int32_t hintTimer = 0;  // frames the direction arrow blinks on
  int32_t dangerSum = 0;  // the threats counted by the last danger warning
  int32_t dangerTimer = 0;
  int32_t editorSelection = 0;  // the level editor's chosen type, or kNoSelection
};

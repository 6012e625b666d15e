#pragma once
// The player's progress through the game, which the saved game writes
// (game/saved_game.cpp) and the game reset clears: the weapons he may
// select, the levels won, the one-shot messages already shown, the
// adaptive difficulty and the special items.
#include <cstdint>

inline constexpr int32_t kResultCodes = 1010;  // entries 0..1000 are used
inline constexpr int32_t kHighestResult = 1000;
inline constexpr int32_t kLevelEntries = 110;  // entries 0..100 are used
inline constexpr int32_t kHighestLevel = 100;

struct ProgressRecord {
  // Flags of the weapons that may be selected, by picture number (Weapon).
  int32_t owned[kLevelEntries] = {};
  // -1 once the level's fight is won (or it has no objects).
  int32_t levelCleared[kLevelEntries] = {};
  // One-shot messages: set for the result code of every in-game frame.
  int32_t resultSeen[kResultCodes] = {};
  // The difficulty is difficultyBase - difficultyOffset (game/fight.h).
  int32_t difficultyOffset = 0;
  int32_t difficultyBase = 0;
  // Special items, each set by its pickup for the rest of the game.
  int32_t longBlade = 0, armour = 0, doubleShot = 0, regeneration = 0, broadBlade = 0;
};

// Whether every level of first..last has been won.
inline bool AllCleared(const ProgressRecord& progress, int32_t first, int32_t last) {
  for (int32_t n = first; n <= last; ++n)
    if (progress.levelCleared[n] == 0) return false;
  return true;
}

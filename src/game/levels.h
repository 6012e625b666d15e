#pragma once
// Levels with a role. The world is a grid of rooms five to a row; level n
// sits in row n / 5. The first two rows (levels 0..4 and 5..9) have their
// own gates, fight bar places and messages; the levels past them are the
// deep levels, where time runs out twice as fast and monsters come more
// often.
#include <cstdint>

#include "game/fixed_point.h"

inline constexpr int32_t kLevelsPerRow = 5;
inline constexpr int32_t kLastFirstRowLevel = 4;
inline constexpr int32_t kLastSecondRowLevel = 9;  // levels above it are the deep levels
// The well at the west end of row 1, the one way down from it.
inline constexpr int32_t kSecondRowWellLevel = 5;
// The shaft from row 1 down to row 3, walled on both sides.
inline constexpr int32_t kShaftLevel = 10;
// Row 3's west end, where the shaft comes out.
inline constexpr int32_t kShaftFootLevel = 15;
// The last row, with no way further down, and its last level: a walk to
// the ending, with no way out sideways.
inline constexpr int32_t kLastRow = 4;
inline constexpr int32_t kEndingLevel = 24;

inline constexpr bool IsDeepLevel(int32_t level) { return level > kLastSecondRowLevel; }

inline constexpr int32_t FirstOfRow(int32_t row) { return row * kLevelsPerRow; }
inline constexpr int32_t LastOfRow(int32_t row) { return row * kLevelsPerRow + kLevelsPerRow - 1; }
inline constexpr bool InRow(int32_t level, int32_t row) {
  return level >= FirstOfRow(row) && level <= LastOfRow(row);
}

// The ways out of a level into its neighbours, as the room changes take
// them (shut gates aside): sideways along the row, down and up between rows.
inline constexpr bool HasWayRight(int32_t level) {
  return level % kLevelsPerRow < kLevelsPerRow - 1 && level != kShaftLevel && level != kEndingLevel;
}
inline constexpr bool HasWayLeft(int32_t level) {
  return level % kLevelsPerRow > 0 && level != kShaftLevel + 1 && level != kEndingLevel;
}
// Every row above the last, except the two ends of row 0 and row 1 east
// of its well.
inline constexpr bool HasWayDown(int32_t level) {
  return level < FirstOfRow(kLastRow) && level != FirstOfRow(0) && level != LastOfRow(0) &&
         !(level > kSecondRowWellLevel && level <= LastOfRow(1));
}
// Every row below the first, except row 3 east of the shaft's foot.
inline constexpr bool HasWayUp(int32_t level) {
  return level >= FirstOfRow(1) && !(level > kShaftFootLevel && level <= LastOfRow(3));
}
// Where falling off the bottom of the screen leaves the world: the ends of
// row 0 and the last row.
inline constexpr bool FallsOutAtTheBottom(int32_t level) {
  return level == FirstOfRow(0) || level == LastOfRow(0) || InRow(level, kLastRow);
}

// The level `step` away. Level numbers can leave 0..100 through the
// editor's level commands, so neighbours are found in wrap-around
// arithmetic.
inline int32_t Neighbour(int32_t level, int32_t step) { return fixed::Add(level, step); }

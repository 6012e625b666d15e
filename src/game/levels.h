#pragma once
// Levels with a role. The world is a grid of rooms five to a row; level n
// sits in row n / 5. The first two rows (levels 0..4 and 5..9) have their
// own gates, fight bar places and messages; the levels past them are the
// deep levels, where time runs out twice as fast and monsters come more
// often.
#include <cstdint>

inline constexpr int32_t kLevelsPerRow = 5;
inline constexpr int32_t kLastSecondRowLevel = 9;  // levels above it are the deep levels
// The last level: a walk to the ending, with no way out sideways.
inline constexpr int32_t kEndingLevel = 24;

inline constexpr bool IsDeepLevel(int32_t level) { return level > kLastSecondRowLevel; }

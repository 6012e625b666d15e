#pragma once
// The blinking arrow that points the way after a won fight.
#include <cstdint>

struct GameState;
struct LevelState;

inline constexpr int32_t kHintLeft = 0;
inline constexpr int32_t kHintRight = 1;
inline constexpr int32_t kHintUp = 2;
inline constexpr int32_t kHintDown = 3;
inline constexpr int32_t kHintNone = -1;

void StartHint(LevelState& levelState);
void ClearHint(LevelState& levelState);
// Counts the hint down and draws the arrow while it blinks on.
void DrawHintArrow(GameState& g);
// Where the way goes on from the current level with the levels cleared so
// far: kHintLeft .. kHintDown, or kHintNone.
int32_t HintDirection(const GameState& g);

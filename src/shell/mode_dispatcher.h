#pragma once
// The game mode dispatcher: one call per frame, with the brightness fade
// and the six modes (loading, game, credits, editor, fade, menu).
#include <cstdint>

#include "shell/input_state.h"

struct GameState;

enum GameMode : int32_t {
  kModeLoading = 0,
  kModeGame = 1,
  kModeCredits = 2,
  kModeEditor = 3,
  kModeFade = 4,
  kModeMenu = 5,
};

void RunFrame(InputState& in);
void SetMode(InputState& in, int32_t mode);
void StartBrightnessFade(GameState& g, int32_t target);
void StepBrightnessFade(GameState& g);
void ClearBrightnessFade(GameState& g);

// The keys whose release, in this order, during play opens the level editor.
inline constexpr uint32_t kEditorKey1 = 46;  // Delete
inline constexpr uint32_t kEditorKey2 = 16;  // Shift
inline constexpr uint32_t kEditorKey3 = 20;  // Caps Lock

// The credit line of the credits screen; 0x1f is the font's spacing code.
inline constexpr char kCreditLine[] = "Program and graPhics Vx\x1f"
                                      "Developers";
static_assert(sizeof(kCreditLine) == 35, "the credit line is 34 characters");

#pragma once
// The game mode dispatcher: one call per frame, with the brightness fade
// and the six modes (loading, game, credits, editor, fade, menu).
#include <cstdint>

#include "engine/input_state.h"
#include "menus/menu.h"
#include "menus/options_screen.h"
#include "shell/game_modes.h"

struct GameState;



// The brightness fade of every frame: 16 steps from where it stood to the
// target, in 1/256 of full brightness (negative is darker).
struct BrightnessFade {
  int32_t current = 0, target = 0, stepsLeft = 0, start = 0;
};

// The dispatcher's own record: the mode and what each mode keeps between
// frames, one name per meaning.
struct DispatcherState {
  int32_t gameMode = 0;
  int32_t nextMode = 0;  // where the fade goes
  // Loading screen: the step, the text's width and the bar.
  int32_t loadingStep = 0;
  int32_t textWidth = 0;
  int32_t barX = 0, barY = 0;  // the bar's anchor
  int32_t barLeft = 0, barTop = 0, barRight = 0, barBottom = 0;
  int32_t barFill = 0;  // the right end of the filled part
  // 1313 from the end of loading until the game starts: the menus show the
  // title picture and line.
  int32_t afterLoading = 0;
  // Game: the frame's result and the editor key sequence (0 .. 3, 3 opens
  // the editor) with the keys' previous held states.
  int32_t frameResult = 0;
  int32_t editorSequence = 0;
  int32_t sequencePrev1 = 0;
  int32_t sequencePrev2 = 0;
  int32_t sequencePrev3 = 0;
  // Editor: the click handed to the editor frame, and its answer.
  int32_t editorClick = 0;
  int32_t editorResult = 0;
  // Credits: frames shown, and the credit line.
  int32_t creditFrames = 0;
  char creditText[35] = {};
  // Fade: the brightness left (255 down to 0).
  int32_t fadeLevel = 0;
  // Menu: the open screen, and the answer of the menu frame.
  MenuState menu;
  int32_t menuAnswer = 0;
  // Options: the screen, and the clock when it opened (the menu's frame
  // timing resumes as if no time had passed).
  OptionsScreen options;
  int32_t optionsOpenedAt = 0;
  BrightnessFade fade;
  // The key events of the frame, each taken from the last key once.
  uint8_t upEvent = 0, downEvent = 0, leftEvent = 0, rightEvent = 0;
  uint8_t spaceEvent = 0, enterEvent = 0, escapeEvent = 0, controlEvent = 0;
};

extern DispatcherState dispatcher;

void RunFrame(DispatcherState& d, InputState& in);
void SetMode(DispatcherState& d, InputState& in, int32_t mode);
void StartBrightnessFade(BrightnessFade& f, int32_t target);
void StepBrightnessFade(BrightnessFade& f);
void ClearBrightnessFade(BrightnessFade& f);

// The keys whose release, in this order, during play opens the level editor.
inline constexpr uint32_t kEditorKey1 = 46;  // Delete
inline constexpr uint32_t kEditorKey2 = 16;  // Shift
inline constexpr uint32_t kEditorKey3 = 20;  // Caps Lock

// The credit line of the credits screen; 0x1f is the font's spacing code.
inline constexpr char kCreditLine[] =
    "Program and graPhics Vx\x1f"
    "Developers";
static_assert(sizeof(kCreditLine) == 35, "the credit line is 34 characters");

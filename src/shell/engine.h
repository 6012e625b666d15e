#pragma once
// The one engine object and the program's other singletons. Every engine
// service (drawing, random numbers, records, sound, effects, the log) is
// reached through `engine`.
#include <cstdint>

#include "config/log.h"
#include "config/record_reader.h"
#include "display/screen_handler.h"
#include "game/game_state.h"
#include "gfx/effects.h"
#include "gfx/gfx_context.h"
#include "platform/platform.h"
#include "shell/frame_clock.h"
#include "shell/input_state.h"
#include "shell/random_source.h"
#include "sound/sound_context.h"

struct Engine {
  int32_t screenWidth = 0;
  int32_t screenHeight = 0;
  GfxContext gfx;
  RandomSource random;
  RecordReader records;
  SoundContext sound;  // its `available` flag is the engine's sound switch
  int32_t displayCreated = 0;  // the full-screen display and its surface exist
  platform::Rect fullClipRect;
  platform::Rect gameClipRect;
  platform::Rect windowRect;
  EngineLog log;
  uint32_t* backBuffer = nullptr;
  int32_t displayWidth = 0;
  int32_t displayHeight = 0;
  int32_t windowOriginX = 0;
  int32_t windowOriginY = 0;
  int32_t windowed = 0;
  // Presenter flags.
  int32_t verboseFirstPresent = 0;
  int32_t brightnessActive = 0;
  int32_t borderPicture = -1;
  int32_t borderCountdown = 0;
  int32_t desktopWidth = 0;
  int32_t desktopHeight = 0;
  int32_t repaintCounter = 0;
  ScreenHandler screen;
  EffectsSystem effects;
};

extern Engine engine;
extern GameState game;
extern InputState input;
extern FrameClock frameClock;

// Brings every singleton back to its zeroed program-start state (releasing
// what the previous run allocated). Tests start from here.
void ResetAllState();

// The platform's monotonic millisecond clock, the engine's `clock`.
inline int32_t EngineClock() { return platform::Current().ClockMs(); }

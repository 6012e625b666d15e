#pragma once
// The one engine record: every engine subsystem's context, and the window's
// placement. It owns no behaviour of its own; its constructor wires the
// services the lower contexts draw on (the log, the graphics context and
// sound device of the presenter, the random source of the effects), so that
// each context says in its own fields what it uses.
//
// The object itself, `engine`, is declared in game/singletons.h and defined
// in the shell: only the game folders and the shell reach it.
#include <cstdint>

#include "assets/picture_prefetch.h"
#include "config/log.h"
#include "config/record_reader.h"
#include "display/screen_handler.h"
#include "effects/effects.h"
#include "gfx/gfx_context.h"
#include "gfx/picture_store.h"
#include "platform/platform.h"
#include "platform/write_behind.h"
#include "random/random_source.h"
#include "sound/sound_context.h"

struct Engine {
  GfxContext gfx;  // also the back buffer and the logical screen size
  RandomSource random;
  RecordReader records;
  SoundContext sound;  // its `available` flag is the engine's sound switch
  EngineLog log;
  ScreenHandler screen;  // the display, its size and the presenter's state
  EffectsSystem effects;
  // The window's placement (the shell's).
  platform::Rect gameClipRect;
  platform::Rect windowRect;
  int32_t windowOriginX = 0;
  int32_t windowOriginY = 0;
  // The weapon poses drawn so far, kept aside for a switch back.
  PictureStore weaponPoses;
  // The saved game's writes, done on a thread of their own.
  platform::WriteBehind fileWrites;
  // Level pictures read ahead on a worker thread (last, so it stops first).
  PicturePrefetch picturePrefetch;

  Engine() {
    gfx.log = &log;
    sound.log = &log;
    screen.gfx = &gfx;
    screen.sound = &sound;
    screen.log = &log;
    effects.random = &random;
  }
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;
};

// The platform's monotonic millisecond clock, the engine's `clock`.
inline int32_t EngineClock() { return platform::Current().ClockMs(); }

#pragma once
// Keyboard and mouse state as the window procedure leaves it. The game reads
// it through `input` (game/singletons.h); the mode dispatcher's own fields
// are in its record (shell/mode_dispatcher.h).
#include <cstdint>

struct InputState {
  int32_t lastKey = 0;
  int32_t keyEvent = 0;
  uint8_t left = 0, up = 0, right = 0, down = 0;
  uint8_t space = 0, enter = 0, del = 0, escape = 0;
  uint8_t control = 0, shift = 0, capsLock = 0;
  uint8_t keyW = 0, keyA = 0, keyS = 0, keyD = 0;
  int32_t mouseX = 0;
  int32_t mouseY = 0;
  int32_t leftReleased = 0;
  int32_t rightReleased = 0;
  int32_t leftHeld = 0;
  int32_t rightHeld = 0;
};

// The held-key byte of a virtual key, or null for a key outside the key map.
uint8_t* KeyByte(InputState& in, uint32_t virtualKey);

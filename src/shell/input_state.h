#pragma once
// Keyboard and mouse state as the window procedure leaves it, followed by
// the mode dispatcher's own fields.
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
  // Mode dispatcher.
  int32_t gameMode = 0;
  int32_t counter = 0;
  int32_t barTop = 0;
  int32_t step = 0;
  int32_t textWidth = 0;
  int32_t stage = 0;
  int32_t posY = 0;
  int32_t posX = 0;
  char creditText[35] = {};
  int32_t nextMode = 0;
  int32_t barFill = 0;
  int32_t barBottom = 0;
  int32_t barRight = 0;
  int32_t sequencePrev1 = 0;
  int32_t sequencePrev2 = 0;
  int32_t sequencePrev3 = 0;
  uint8_t upEvent = 0, downEvent = 0, leftEvent = 0, rightEvent = 0;
  uint8_t spaceEvent = 0, enterEvent = 0, escapeEvent = 0, controlEvent = 0;
};

// The held-key byte of a virtual key, or null for a key outside the key map.
uint8_t* KeyByte(InputState& in, uint32_t virtualKey);

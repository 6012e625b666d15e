#pragma once
// The browser's input in the engine's terms, as plain tables that build and
// are tested everywhere: a keyboard event's physical key (its `code`, which
// does not change with the keyboard layout) as a virtual key, and the
// Gamepad API's standard layout as the pad buttons and sticks the window
// procedure reads.
#include <cstdint>

#include "platform/gamepad.h"

namespace platform {

// The virtual key of a KeyboardEvent.code ("KeyA", "ArrowLeft",
// "ShiftRight", "Numpad5", ...); 0 for a key the game has no code for.
uint32_t VirtualKeyFromDomCode(const char* code);

// The standard layout's button `index` (0 the bottom face button, 12..15
// the d-pad, 16 the centre button); kPadButtonCount for the triggers (6, 7:
// positions, see StandardTrigger) and for buttons beyond the layout.
PadButton StandardPadButton(int32_t index);
// Button 6 or 7 is the left or right trigger; other indices give false.
bool StandardTrigger(int32_t index, PadStick& stick);
// A Gamepad API position (-1..1 for a stick, 0..1 for a trigger; anything
// else, NaN included, is clamped) on the -32768..32767 scale of PadAxis.
int32_t StandardAxisValue(double position);

}  // namespace platform

#pragma once
// The program's entry, its window procedure and the timer-driven frame loop.
#include <cstdint>

#include "engine/input_state.h"
#include "shell/mode_dispatcher.h"

// Runs the program on the installed platform backend; returns 0 once the
// window is gone.
int32_t WinMain();
// Start-up up to the message loop: settings, log, window, presenter, display,
// sound and the timer. Non-zero when the window could not be created.
int32_t StartUp();
// The window procedure: every keyboard, mouse, timer, activation and window
// message goes through here.
int32_t WindowProc(uint32_t message, uint32_t wParam, int32_t lParam);
// The default handling of a message the procedure does not take: the close
// button destroys the window.
int32_t DefWindowProc(uint32_t message, uint32_t wParam, int32_t lParam);

void SetScreenSize();
// Clears the keyboard and mouse state and enters the loading mode.
void ResetInput(InputState& in, DispatcherState& d);
void PlaceCursor(int32_t x, int32_t y);
void UpdateWindowOrigin();
void UseDesktopSizeIfWindowed();

// Called after every game frame with the number of frames run so far (the
// command line uses it for screenshots and traces).
using FrameObserver = void (*)(int64_t frame);
void SetFrameObserver(FrameObserver observer);

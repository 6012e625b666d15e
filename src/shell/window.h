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

// The frame loop for a host that must not block (a page's per-frame
// callback): handles the messages that have arrived, running the ticks
// among them as the blocking loop does, and returns once none is left or a
// tick's second pass is not due yet. Returns -1 once the program has quit,
// else the milliseconds until that second pass is due (0: none waits).
int32_t RunLoopStep();
// A tick in steps, shared by both loops: BeginTick runs the first pass and
// says whether a second follows; SecondPassWait gives the milliseconds until
// it is due (0: now); EndTick runs it.
bool BeginTick();
int32_t SecondPassWait();
void EndTick();

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

#pragma once
// Where the program's singletons live. `engine` is declared in
// game/singletons.h for the game folders; the game record, the input state
// and the frame loop's record are the shell's own and are defined in
// shell/globals.cpp. The mode dispatcher's record (shell/mode_dispatcher.h)
// and the comforts' (shell/comforts.h) are defined with their modules.
#include "engine/input_state.h"
#include "game/singletons.h"
#include "shell/frame_clock.h"

extern GameState game;
extern InputState input;
extern FrameClock frameClock;

// Brings every singleton back to its zeroed program-start state (releasing
// what the previous run allocated, and putting the kernel level back to the
// best the processor offers). Tests start from here. Defined in
// shell/reset_all.cpp, which alone sees every singleton.
void ResetAllState();

// Ends the work the game hands to other threads: level pictures read ahead
// are dropped (what is under way is waited for), saves still to be written
// are written. Called before the program ends and by ResetAllState.
void FinishBackgroundWork();

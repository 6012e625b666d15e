#pragma once
// Where the program's singletons live. `engine` is declared in
// game/singletons.h for the game folders; the game record, the input state,
// the frame loop's and the mode dispatcher's records are the shell's own.
// All are defined in shell/globals.cpp.
#include "game/singletons.h"
#include "shell/frame_clock.h"
#include "shell/mode_dispatcher.h"

extern GameState game;
extern InputState input;
extern FrameClock frameClock;

// Brings every singleton back to its zeroed program-start state (releasing
// what the previous run allocated, and putting the kernel level back to the
// best the processor offers). Tests start from here.
void ResetAllState();

// Ends the work the game hands to other threads: level pictures read ahead
// are dropped (what is under way is waited for), saves still to be written
// are written. Called before the program ends and by ResetAllState.
void FinishBackgroundWork();

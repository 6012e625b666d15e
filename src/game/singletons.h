#pragma once
// The program's singletons that game code reaches: the engine, the game
// record and the keyboard and mouse state. Include this (and the engine
// headers of the operations used) from game/, monsters/ and menus/. They are
// defined in the shell (shell/globals.cpp), which also holds the frame
// loop's and the mode dispatcher's own records.
#include "engine/engine.h"
#include "engine/input_state.h"
#include "game/game_state.h"

extern Engine engine;
extern GameState game;
extern InputState input;

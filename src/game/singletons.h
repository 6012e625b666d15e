#pragma once
// The one singleton that game code reaches: the engine. Include this (and
// the engine headers of the operations used) from game/, monsters/ and
// menus/. The game record and the keyboard and mouse state are the shell's
// (shell/globals.h): the game layer is handed the GameState it works on.
// All are defined in shell/globals.cpp.
#include "engine/engine.h"
#include "engine/input_state.h"
#include "game/game_state.h"

extern Engine engine;

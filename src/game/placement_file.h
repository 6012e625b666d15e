#pragma once
// The text of a level object file: one line per placement record, an end
// line and a closing empty line. The editor's save and the data set
// generator write files with it.
#include <string>

#include "game/game_state.h"

// All 301 records in order, free ones included.
std::string FormatPlacements(const PlacementRecord (&records)[kPlacementCount]);

#pragma once
// How a run starts its new game. The game itself always starts in level 2
// after the title; a test run (`vxgame --level N`) may pick another level and
// go from the loading screen straight into play.
#include <cstdint>

struct NewGameStart {
  int32_t level = 2;           // the level the game reset enters
  int32_t straightToGame = 0;  // non-zero: no title, no first-visit help
};

extern NewGameStart newGameStart;

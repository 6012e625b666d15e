#pragma once
// The level fight's record, which the fight (game/fight.h, fight_frame.h)
// owns: whether it runs, its time and the time bar's place on the screen.
#include <cstdint>

struct FightRecord {
  int32_t state = 0;  // -1 none, 1 running
  int32_t time = 0;   // counts down; the fight is lost below 1
  int32_t timeStart = 0;
  int32_t shownSegments = 0;       // bar segments shown in the previous frame
  int32_t barY = 0, barSlide = 0;  // the bar's place, and its step while it dodges the player
};

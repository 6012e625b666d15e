#pragma once
// The running fight's step of each in-game frame and the fight's end: a won
// fight clears the level and saves, a lost one restarts the level. Kept
// apart from game/fight.h because the level start resets the fight while
// the lost fight starts the level again.
struct GameState;

// Reinforcements, the time running down and the display; then won or lost.
void FightFrame(GameState& g);
void FightWon(GameState& g);
void FightLost(GameState& g);

#include "game/fight.h"

// The fight arrives with its own change.
int32_t Difficulty(GameState&) { return 35; }
void ResetDifficulty(GameState&) {}
void EaseDifficulty(GameState&) {}
void TightenDifficulty(GameState&) {}
void ResetFight(GameState&) {}
void StartFight(GameState&) {}
int32_t WeightedMonsterCount(GameState&) { return 0; }
void FightFrame(GameState&) {}
void FightWon(GameState&) {}
void FightLost(GameState&) {}
void Reinforcements(GameState&) {}
void DrawFightDisplay(GameState&) {}

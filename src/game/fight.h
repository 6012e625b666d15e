#pragma once
// The level fight with its time bar and reinforcements, and the adaptive
// difficulty that decides the time granted per monster.
#include <cstdint>

struct GameState;

// The difficulty value, 10..75; reading it pulls the offset back into range.
int32_t Difficulty(GameState& g);
void ResetDifficulty(GameState& g);
void EaseDifficulty(GameState& g);
void TightenDifficulty(GameState& g);
void ResetFight(GameState& g);
// Begins the fight unless one runs; every strike of the player's weapon on a monster calls it.
void StartFight(GameState& g);
int32_t WeightedMonsterCount(GameState& g);
void Reinforcements(GameState& g);
void DrawFightDisplay(GameState& g);

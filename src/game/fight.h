#pragma once
// The level fight with its time bar and reinforcements, and the adaptive
// difficulty that decides the time granted per monster.
#include <cstdint>

struct FightRecord;
struct GameState;
struct ObjectTables;
struct ProgressRecord;

// The difficulty value, 10..75; reading it pulls the offset back into range.
int32_t Difficulty(ProgressRecord& progress);
void ResetDifficulty(ProgressRecord& progress);
void EaseDifficulty(ProgressRecord& progress);
void TightenDifficulty(ProgressRecord& progress);
void ResetFight(FightRecord& fight);
// Begins the fight unless one runs; every strike of the player's weapon on a monster calls it.
void StartFight(GameState& g);
int32_t WeightedMonsterCount(ObjectTables& tables);
void Reinforcements(GameState& g);
void DrawFightDisplay(GameState& g);

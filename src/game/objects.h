#pragma once
// The object table (monsters, their shots, the player's gun shots, rocks and
// pickups) and the debris table, as the game frame, the fight, the player and
// the level start drive them. monsters/ defines every function here; the
// game folder calls them through this header and never includes monsters/.
#include <cstdint>

struct GameState;
struct LevelState;
struct ObjectTables;
struct PlayerRecord;

// The per-frame update of the object table: a movement pass, a contact
// pass and a drawing pass, each in index order.
void UpdateMonsters(GameState& g);
// The drawing pass alone: every active record drawn where it is, as the
// update's last pass draws it, with nothing moved or touched. For pictures
// of a level's objects where they stand (the world sheet).
void DrawMonsters(GameState& g);
// The screen y at which record `index` is drawn and hit-tested.
int32_t MonsterTop(GameState& g, int32_t index);
int32_t GroundSink(LevelState& levelState, int32_t left, int32_t top, int32_t pose, int32_t depth);
// Whether the weapon marker colour on screen overlaps the frame's body.
bool SwordTouches(PlayerRecord& player, int32_t image, int32_t left, int32_t top, int32_t frame);
// 1 small monsters, 2 big monsters, 3 the ground boss, 0 everything else.
int32_t MonsterClass(int32_t kind);
void EmitParticle(GameState& g, int32_t x, int32_t y, int32_t size);
void DangerWarning(GameState& g);

// Fills the first free record from a spawn code at the integer point (x, y);
// nothing when the table is full or the code creates nothing.
void SpawnMonster(GameState& g, int32_t x, int32_t y, int32_t code);
// The picture that stands for a spawn code in the level editor: the strip
// of the monster or the picture of the pickup it makes; -1 for shots, rocks
// and codes that make nothing.
int32_t SpawnPicture(int32_t code);
// Clears every word of all object records.
void ClearObjects(ObjectTables& tables);

// Flying body pieces and shell fragments.
void SpawnDebris(GameState& g, int32_t x, int32_t y, int32_t image, int32_t mode);
void SpawnPlayerDebris(GameState& g, int32_t x, int32_t y);
void ClearDebris(ObjectTables& tables);
void UpdateDebris(GameState& g);

#pragma once
// The per-frame update of the object table: a movement pass, a contact
// pass and a drawing pass, each in index order.
#include <cstdint>

struct GameState;

void UpdateMonsters(GameState& g);
// The drawing pass alone: every active record drawn where it is, as the
// update's last pass draws it, with nothing moved or touched. For pictures
// of a level's objects where they stand (the world sheet).
void DrawMonsters(GameState& g);
// The screen y at which record `index` is drawn and hit-tested.
int32_t MonsterTop(GameState& g, int32_t index);
int32_t GroundSink(GameState& g, int32_t left, int32_t top, int32_t pose, int32_t depth);
// Whether the weapon marker colour on screen overlaps the frame's body.
bool SwordTouches(GameState& g, int32_t image, int32_t left, int32_t top, int32_t frame);
// 1 small monsters, 2 big monsters, 3 the ground boss, 0 everything else.
int32_t MonsterClass(GameState& g, int32_t kind);
void EmitParticle(GameState& g, int32_t x, int32_t y, int32_t size);
void DangerWarning(GameState& g);

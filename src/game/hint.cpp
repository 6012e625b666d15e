#include "game/hint.h"

void StartHint(GameState&) {}
void ClearHint(GameState&) {}
void DrawHintArrow(GameState&) {}

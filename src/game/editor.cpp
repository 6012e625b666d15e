#include "game/editor.h"

void DrawObjectIcon(GameState&, int32_t, int32_t, int32_t) {}
// Until the editor is built it hands straight back to the game.
int32_t EditorFrame(GameState&, int32_t, int32_t, int32_t) { return -1; }

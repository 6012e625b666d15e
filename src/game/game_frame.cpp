#include "game/game_frame.h"

#include "game/singletons.h"
#include "sound/music.h"

// The world is not built yet: the frame keeps the game where it is and
// runs the music check, as the full frame does among its steps.
int32_t RunGameFrame(GameState& g, int32_t, int32_t, int32_t, int32_t, int32_t) {
  UpdateMusic(g.music, g.settings, g.level, engine.sound);
  return 0;
}

#include <cstdlib>
#include <memory>

#include "game/new_game_start.h"
#include "shell/engine.h"

Engine engine;
GameState game;
InputState input;
FrameClock frameClock;
NewGameStart newGameStart;

namespace {

void ReleaseBuffers() {
  std::free(engine.backBuffer);
  std::free(engine.screen.previousFrame);
  std::free(engine.screen.coverage);
  std::free(engine.screen.reciprocal);
  std::free(engine.screen.brightnessTable);
}

// Rebuilds an object in place: the singletons hold large fixed tables that
// must not pass through the stack.
template <typename T>
void Rebuild(T& object) {
  std::destroy_at(&object);
  std::construct_at(&object);
}

}  // namespace

void ResetAllState() {
  ReleaseBuffers();
  Rebuild(engine);
  Rebuild(game);
  Rebuild(input);
  Rebuild(frameClock);
  Rebuild(newGameStart);
}

// ResetAllState (shell/globals.h): the one place that sees every singleton,
// so that the modules the singletons belong to need not see each other.
#include <memory>

#include "game/new_game_start.h"
#include "platform/cpu_features.h"
#include "platform/game_files.h"
#include "shell/comforts.h"
#include "shell/globals.h"
#include "shell/mode_dispatcher.h"

namespace {

// Rebuilds an object in place: the singletons hold large fixed tables that
// must not pass through the stack.
template <typename T>
void Rebuild(T& object) {
  std::destroy_at(&object);
  std::construct_at(&object);
}

}  // namespace

void ResetAllState() {
  FinishBackgroundWork();
  ReleaseScreenBuffers(engine.screen);
  Rebuild(engine);
  Rebuild(game);
  Rebuild(input);
  Rebuild(frameClock);
  Rebuild(newGameStart);
  Rebuild(dispatcher);
  Rebuild(comforts);
  cpu::ResetKernelLevel();
  platform::SetGeneratedSet("", {});
}

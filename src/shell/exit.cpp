#include "shell/exit.h"

#include <cstdlib>

#include "shell/globals.h"

namespace {
ExitHandler gExitHandler = nullptr;
}

void SetExitHandler(ExitHandler handler) { gExitHandler = handler; }

void ExitProgram(int32_t code) {
  FinishBackgroundWork();
  if (gExitHandler != nullptr) gExitHandler(code);
  std::exit(code);
}

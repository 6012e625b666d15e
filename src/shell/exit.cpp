#include "shell/exit.h"

#include <cstdlib>

namespace {
ExitHandler gExitHandler = nullptr;
}

void SetExitHandler(ExitHandler handler) { gExitHandler = handler; }

void ExitProgram(int32_t code) {
  if (gExitHandler != nullptr) gExitHandler(code);
  std::exit(code);
}

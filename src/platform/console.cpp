#include "platform/console.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdio>
#endif

namespace platform {

#ifdef _WIN32
namespace {

bool Usable(DWORD which) {
  const HANDLE h = GetStdHandle(which);
  return h != nullptr && h != INVALID_HANDLE_VALUE;
}

}  // namespace

void UseStartingConsole() {
  // A handle handed down (a redirection, a pipe, the console of a console
  // parent that shares it) is kept as it is.
  const bool out = Usable(STD_OUTPUT_HANDLE);
  const bool err = Usable(STD_ERROR_HANDLE);
  if (out && err) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;  // started from the desktop: no console
  if (!out && std::freopen("CONOUT$", "w", stdout) == nullptr) return;
  if (!err) std::freopen("CONOUT$", "w", stderr);
}
#else
void UseStartingConsole() {}
#endif

}  // namespace platform

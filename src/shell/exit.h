#pragma once
// Ends the program as `exit` would. Tests install a handler that unwinds
// to them instead.
#include <cstdint>

using ExitHandler = void (*)(int32_t code);
[[noreturn]] void ExitProgram(int32_t code);
void SetExitHandler(ExitHandler handler);

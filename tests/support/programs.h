#pragma once
// Starting the build's own programs (vxgame and the tools) from the tests.
// A build for another processor runs them through its emulator, named by
// the build (empty for a native build); programs that those programs start
// (the music decoder) go through it as well, by VX_EXEC_WRAPPER, which the
// test program sets for itself and its children.
#include <string>
#include <vector>

namespace vxtest {

// The emulator's words, empty natively.
const std::vector<std::string>& ProgramWrapper();
// A shell command's start that runs `program`: quoted, after the emulator.
std::string ProgramCommand(const std::string& program);

}  // namespace vxtest

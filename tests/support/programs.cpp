#include "support/programs.h"

#include <cstdlib>

#include "platform/platform.h"

#ifndef VX_TEST_EXEC_WRAPPER
#define VX_TEST_EXEC_WRAPPER ""
#endif

namespace vxtest {
namespace {

// Before any test runs: the game started by a test, and the engine inside
// this program, start their own children through the emulator too. A
// wrapper already set by the caller is kept.
const bool gWrapperExported = [] {
  if (VX_TEST_EXEC_WRAPPER[0] != '\0') setenv("VX_EXEC_WRAPPER", VX_TEST_EXEC_WRAPPER, 0);
  return true;
}();

}  // namespace

const std::vector<std::string>& ProgramWrapper() {
  static const std::vector<std::string> words = [] {
    static_cast<void>(gWrapperExported);
    return platform::ExecWrapper();
  }();
  return words;
}

std::string ProgramCommand(const std::string& program) {
  std::string command;
  for (const std::string& w : ProgramWrapper()) command += "'" + w + "' ";
  return command + "'" + program + "'";
}

}  // namespace vxtest

#pragma once
// Runs one of the build's programs as a child with a time limit, its
// output and errors caught in files, so that a regression that would wait
// forever fails its test instead of hanging the suite. A build for another
// processor starts it through its emulator (see programs.h).
#include <functional>
#include <string>
#include <vector>

namespace vxtest {

inline constexpr int kStoppedAtLimit = -2;

struct ChildRun {
  std::vector<std::string> argv;         // the program first
  std::vector<std::string> environment;  // NAME=value, added to the child's own
  std::function<void()> inChild;         // after fork, before exec
  std::string outFile = "/dev/null";
  std::string errFile = "/dev/null";
  int seconds = 60;  // natively; five times as long under an emulator
};

// The exit code, 128 + the signal that ended it, kStoppedAtLimit when it
// was killed at the time limit, 126 when its output could not be caught
// and 127 when it could not be started.
int RunChild(const ChildRun& run);

}  // namespace vxtest

#pragma once
// Runs a piece of a test in a child process with a time limit, so that a
// call that would wait forever (opening a named pipe that nobody reads)
// fails its test instead of hanging the suite.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace vxtest {

inline constexpr int kOutOfTime = -1;

// What `body` returned (0..255) in a child given `seconds` to return, or
// kOutOfTime when it was stopped or crashed. The caller finishes its own
// threads first.
template <typename F>
int RunBounded(unsigned seconds, F body) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) return kOutOfTime;
  if (pid == 0) {
    ::alarm(seconds);
    const int code = body();
    std::fflush(nullptr);
    ::_exit(code);
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return kOutOfTime;
  return WIFEXITED(status) ? WEXITSTATUS(status) : kOutOfTime;
}

}  // namespace vxtest

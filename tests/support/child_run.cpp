#include "support/child_run.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "support/programs.h"

namespace vxtest {

int RunChild(const ChildRun& run) {
  if (run.argv.empty()) return 127;
  std::vector<std::string> words = ProgramWrapper();
  words.insert(words.end(), run.argv.begin(), run.argv.end());
  std::vector<char*> args;
  for (const std::string& w : words) args.push_back(const_cast<char*>(w.c_str()));
  args.push_back(nullptr);

  std::fflush(nullptr);
  const pid_t child = fork();
  if (child < 0) return 127;
  if (child == 0) {
    for (const std::string& e : run.environment) putenv(const_cast<char*>(e.c_str()));
    if (run.inChild) run.inChild();
    if (std::freopen(run.outFile.c_str(), "w", stdout) == nullptr ||
        std::freopen(run.errFile.c_str(), "w", stderr) == nullptr)
      _exit(126);
    // The emulator is found on the PATH; the build's own programs by path.
    if (words.size() > run.argv.size()) {
      execvp(args[0], args.data());
    } else {
      execv(args[0], args.data());
    }
    _exit(127);
  }
  // Under an emulator every program runs several times slower.
  const int seconds = words.size() > run.argv.size() ? run.seconds * 5 : run.seconds;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  int status = 0;
  for (;;) {
    if (waitpid(child, &status, WNOHANG) == child) {
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return kStoppedAtLimit;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace vxtest

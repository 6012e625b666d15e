#include "platform/platform.h"

#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/regular_file.h"

extern char** environ;

namespace platform {
namespace {
Backend* gBackend = nullptr;
}

Backend& Current() { return *gBackend; }
void Install(Backend* backend) { gBackend = backend; }

void Backend::CountTowardsLimit() {
  ++framesCounted_;
  if (frameLimit_ >= 0 && framesCounted_ == frameLimit_) RequestClose();
}

void Backend::NoteFrame() {
  ++framesRun_;
  CountTowardsLimit();
}

void Backend::NoteInactivePass() { CountTowardsLimit(); }

void Backend::SetFrameLimit(int64_t frames) {
  frameLimit_ = frames;
  if (frames == 0) RequestClose();
}

// A named pipe or a device in place of a file is not a file; the test does
// not wait on it.
bool Backend::FileExists(const char* path) { return IsRegularFile(path); }

bool Backend::DeleteFile(const char* path) { return ::unlink(path) == 0; }

std::vector<std::string> ExecWrapper() {
  std::vector<std::string> words;
  const char* text = std::getenv("VX_EXEC_WRAPPER");
  if (text == nullptr) return words;
  std::string word;
  for (const char* c = text;; ++c) {
    if (*c == '\0' || *c == ' ' || *c == '\t' || *c == '\n') {
      if (!word.empty()) words.push_back(word);
      word.clear();
      if (*c == '\0') break;
    } else {
      word += *c;
    }
  }
  return words;
}

// Starts a program detached: its own session, no terminal input, not
// waited for. The child is reaped by the system once the game ends (or by
// the SIGCHLD disposition the program chose). Through a wrapper, a program
// that is missing or cannot be run is refused here, as the direct start
// would refuse it, rather than by the wrapper later.
bool Backend::StartProcess(const char* path, const std::vector<std::string>& args) {
  const std::vector<std::string> wrapper = ExecWrapper();
  if (!wrapper.empty() && (!IsRegularFile(path) || ::access(path, X_OK) != 0)) return false;
  posix_spawnattr_t attr;
  if (posix_spawnattr_init(&attr) != 0) return false;
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", 0, 0);
  std::vector<char*> argv;
  for (const std::string& w : wrapper) argv.push_back(const_cast<char*>(w.c_str()));
  argv.push_back(const_cast<char*>(path));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  // The wrapper may be named without a folder: it is looked up in PATH.
  const int rc = wrapper.empty() ? posix_spawn(&pid, path, &actions, &attr, argv.data(), environ)
                                 : posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  return rc == 0;
}

}  // namespace platform

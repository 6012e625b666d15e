#include "platform/platform.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
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

namespace {

// The file a program name without a folder stands for, found in PATH as
// execvp would find it; empty when there is none.
std::string FindInPath(const std::string& name) {
  if (name.find('/') != std::string::npos) return name;
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "/usr/bin:/bin";
  size_t start = 0;
  for (;;) {
    const size_t end = folders.find(':', start);
    std::string folder = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (folder.empty()) folder = ".";
    const std::string candidate = folder + "/" + name;
    if (IsRegularFile(candidate.c_str()) && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    if (end == std::string::npos) return {};
    start = end + 1;
  }
}

}  // namespace

// Starts a program detached: its own session, no terminal input, not
// waited for. The child is reaped by the system once the game ends (or by
// the SIGCHLD disposition the program chose). Through a wrapper, a program
// that is missing or cannot be run is refused here, as the direct start
// would refuse it, rather than by the wrapper later. Whether the start
// worked is learnt from the child itself, through a pipe that its exec
// closes: that holds under a user-mode emulator too, where a spawn reports
// success for a program that could not be started.
bool Backend::StartProcess(const char* path, const std::vector<std::string>& args) {
  std::vector<std::string> words = ExecWrapper();
  if (!words.empty()) {
    if (!IsRegularFile(path) || ::access(path, X_OK) != 0) return false;
    words[0] = FindInPath(words[0]);
    if (words[0].empty()) return false;
  }
  words.emplace_back(path);
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t pid = ::fork();
  if (pid == 0) {
    // Only calls that are safe after fork in a threaded program.
    ::setsid();
    const int in = ::open("/dev/null", O_RDONLY);
    if (in >= 0 && in != 0) {
      ::dup2(in, 0);
      ::close(in);
    }
    ::execve(argv[0], argv.data(), environ);
    const int error = errno;
    (void)!::write(report[1], &error, sizeof error);
    ::_exit(127);
  }
  ::close(report[1]);
  bool started = false;
  if (pid > 0) {
    int error = 0;
    ssize_t n;
    do {
      n = ::read(report[0], &error, sizeof error);
    } while (n < 0 && errno == EINTR);
    started = n == 0;  // the exec closed the pipe
    if (!started) ::waitpid(pid, nullptr, 0);
  }
  ::close(report[0]);
  return started;
}

}  // namespace platform

#include "platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
// The interface has a DeleteFile of its own.
#undef DeleteFile

#include "platform/win32/command_line.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

#include "platform/regular_file.h"

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

bool Backend::DeleteFile(const char* path) { return std::remove(path) == 0; }

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

#if defined(_WIN32)

// Starts a program detached, without a window of its own and without the
// game's handles, and lets it go (the process and thread handles are
// closed at once; it may outlive the game). A wrapper's first word is
// looked for as the system looks for a program.
bool Backend::StartProcess(const char* path, const std::vector<std::string>& args) {
  std::vector<std::string> words = ExecWrapper();
  if (!words.empty() && !MayRun(path)) return false;
  words.emplace_back(path);
  words.insert(words.end(), args.begin(), args.end());
  std::string line = JoinCommandLine(words);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const char* program = words.size() == args.size() + 1 ? path : nullptr;
  if (!CreateProcessA(program, line.data(), nullptr, nullptr, FALSE,
                      CREATE_NO_WINDOW | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

#else

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
    if (IsRegularFile(candidate.c_str()) && MayRun(candidate.c_str())) return candidate;
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
    if (!IsRegularFile(path) || !MayRun(path)) return false;
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

#endif  // _WIN32

}  // namespace platform

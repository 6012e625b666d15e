#pragma once
// Trying things out on a copy of the whole program: each try runs in a
// child process forked from this one, so it starts from exactly this state
// (every singleton, every picture, the random source) and leaves it
// untouched. A child hands back one plain record through a pipe.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <type_traits>
#include <vector>

namespace routecheck {

// Runs `body(i)` for i = 0 .. n - 1, each in its own child, at most
// `parallel` at a time; result i is empty when child i did not report (it
// crashed or ended the program).
template <class T, class F>
std::vector<std::optional<T>> ForkEach(int n, int parallel, F body) {
  static_assert(std::is_trivially_copyable_v<T>);
  std::vector<std::optional<T>> results(static_cast<size_t>(n));
  struct Running {
    pid_t pid;
    int fd;
    int index;
  };
  std::vector<Running> running;
  std::fflush(nullptr);  // nothing buffered may be written twice
  const auto reap = [&](const Running& r) {
    T value;
    size_t got = 0;
    while (got < sizeof value) {
      const ssize_t k = read(r.fd, reinterpret_cast<char*>(&value) + got, sizeof value - got);
      if (k <= 0) break;
      got += static_cast<size_t>(k);
    }
    close(r.fd);
    int status = 0;
    waitpid(r.pid, &status, 0);
    if (got == sizeof value) results[static_cast<size_t>(r.index)] = value;
  };
  for (int i = 0; i < n; ++i) {
    if (static_cast<int>(running.size()) >= parallel) {
      reap(running.front());
      running.erase(running.begin());
    }
    int fds[2];
    if (pipe(fds) != 0) continue;
    const pid_t pid = fork();
    if (pid == 0) {
      close(fds[0]);
      const T value = body(i);
      const char* p = reinterpret_cast<const char*>(&value);
      size_t left = sizeof value;
      while (left > 0) {
        const ssize_t k = write(fds[1], p, left);
        if (k <= 0) break;
        p += k;
        left -= static_cast<size_t>(k);
      }
      _exit(0);
    }
    close(fds[1]);
    if (pid < 0) {
      close(fds[0]);
      continue;
    }
    running.push_back({pid, fds[0], i});
  }
  for (const Running& r : running) reap(r);
  return results;
}

}  // namespace routecheck

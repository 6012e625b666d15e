// The loading screen's eleven frames on a generated game folder, timed one
// by one, and the resident memory afterwards. A plain timing program:
//   bench_loading GAMEFOLDER [RUNS]
// (write the folder first with `vxdata GAMEFOLDER`). Each run is a fresh
// process state; the best time of each step over the runs is reported.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "engine/engine_effects.h"
#include "program_args.h"
#include "platform/headless/headless_backend.h"
#include "shell/globals.h"
#include "shell/mode_dispatcher.h"
#include "shell/window.h"

namespace {

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
  int code = 0;
  if (bench::ProgramArgsDone(argc, argv, "bench_loading",
                             "usage: bench_loading GAMEFOLDER [RUNS]\n"
                             "  Times each loading step on a game folder written by vxdata (best of\n"
                             "  RUNS, default 3) and the memory resident after loading.\n",
                             2, code))
    return code;
  if (argc < 2 || chdir(argv[1]) != 0) {
    std::fprintf(stderr, "usage: bench_loading GAMEFOLDER [RUNS]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  std::vector<double> best(12, 1e9);
  long rss = 0;
  for (int run = 0; run < runs; ++run) {
    ResetAllState();
    platform::HeadlessBackend backend;
    platform::Install(&backend);
    if (StartUp() != 0) return 1;
    WindowProc(wm::WM_TIMER, 0, 0);  // graphics tables
    using Clock = std::chrono::steady_clock;
    auto t0 = Clock::now();
    ResetInput(input, dispatcher);  // mode 0: the fonts
    best[11] = std::min(best[11], Seconds(Clock::now() - t0));
    for (int step = 0; step <= 10; ++step) {
      t0 = Clock::now();
      RunFrame(dispatcher, input);
      best[static_cast<size_t>(step)] = std::min(best[static_cast<size_t>(step)], Seconds(Clock::now() - t0));
    }
    rss = ResidentKiB();
    ResetAllState();
    platform::Install(nullptr);
  }
  double total = best[11];
  std::printf("mode 0 entry (fonts): %8.1f ms\n", best[11] * 1000);
  for (int step = 0; step <= 10; ++step) {
    std::printf("loading step %2d:      %8.1f ms\n", step, best[static_cast<size_t>(step)] * 1000);
    total += best[static_cast<size_t>(step)];
  }
  std::printf("whole loading:        %8.1f ms (best of %d runs per step)\n", total * 1000, runs);
  std::printf("resident after loading: %.1f MiB\n", rss / 1024.0);
  return 0;
}

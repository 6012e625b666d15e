// The loading screen's eleven frames on a generated game folder, timed one
// by one, and the resident memory afterwards. A plain timing program:
//   bench_loading GAMEFOLDER [RUNS]
// (write the folder first with `vxdata GAMEFOLDER`). Each run is a fresh
// process state; the best time of each step over the runs is reported.
//
// The loading screen hands its heaviest groups of pictures to a worker
// thread when it begins. Two columns: "back to back" runs the frames with
// no pause, so a step whose group is not ready waits for it (the whole work
// of loading, as on a machine where the worker has no time of its own);
// "at the game's pace" gives the worker the pause the game takes between
// frames (up to 28 ms, untimed, ending as soon as the worker is idle).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "assets/picture_prefetch.h"
#include "engine/engine_effects.h"
#include "game/singletons.h"
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
  std::vector<double> best(12, 1e9), paced(12, 1e9);
  long rss = 0;
  for (int run = 0; run < 2 * runs; ++run) {
    const bool pace = run % 2 == 1;
    std::vector<double>& times = pace ? paced : best;
    ResetAllState();
    platform::HeadlessBackend backend;
    platform::Install(&backend);
    if (StartUp() != 0) return 1;
    WindowProc(wm::WM_TIMER, 0, 0);  // graphics tables
    using Clock = std::chrono::steady_clock;
    auto t0 = Clock::now();
    ResetInput(input, dispatcher);  // mode 0: the fonts
    times[11] = std::min(times[11], Seconds(Clock::now() - t0));
    for (int step = 0; step <= 10; ++step) {
      if (pace) engine.picturePrefetch.WaitIdleFor(std::chrono::milliseconds(28));
      t0 = Clock::now();
      RunFrame(dispatcher, input);
      times[static_cast<size_t>(step)] = std::min(times[static_cast<size_t>(step)], Seconds(Clock::now() - t0));
    }
    rss = ResidentKiB();
    ResetAllState();
    platform::Install(nullptr);
  }
  double total = best[11], pacedTotal = paced[11];
  std::printf("                      back to back   at the game's pace\n");
  std::printf("mode 0 entry (fonts): %8.1f ms %13.1f ms\n", best[11] * 1000, paced[11] * 1000);
  for (int step = 0; step <= 10; ++step) {
    const size_t i = static_cast<size_t>(step);
    std::printf("loading step %2d:      %8.1f ms %13.1f ms\n", step, best[i] * 1000, paced[i] * 1000);
    total += best[i];
    pacedTotal += paced[i];
  }
  std::printf("whole loading:        %8.1f ms %13.1f ms (best of %d runs per step)\n", total * 1000,
              pacedTotal * 1000, runs);
  std::printf("resident after loading: %.1f MiB\n", rss / 1024.0);
  return 0;
}

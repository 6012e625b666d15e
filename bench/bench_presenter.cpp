// The presenter's passes, each measured as nanoseconds per back-buffer pixel
// and as a ratio to one memcpy of the 800 x 600 back buffer (1.92 MB) timed
// in the same run, right before each case, so that a busy machine moves both
// figures alike. Times are this thread's processor time, and each figure is
// the fastest of its repetitions: on a shared machine the slower ones
// measure the neighbours.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/engine_effects.h"
#include "bench_runner.h"
#include "display/screen_handler.h"
#include "platform/headless/headless_backend.h"
#include "shell/globals.h"

namespace {

using bench::Fastest;
using bench::kBackPixels;
using bench::ThreadNanoseconds;

// One memcpy of the back buffer, the fastest of many.
double MemcpyNanoseconds() { return Fastest(bench::BackBufferCopyTimes(&ThreadNanoseconds)); }

using bench::Record;
using bench::Row;

enum class Frame { Unchanged, FullRecompute };

struct Setup {
  int32_t width;
  int32_t height;
  bool windowed;
  bool brightness;
  Frame frame;
};

std::unique_ptr<platform::HeadlessBackend> gBackend;

void Prepare(const Setup& s) {
  ResetAllState();
  platform::HeadlessBackend::Options o;
  o.desktopWidth = std::max(s.width, 1280);
  o.desktopHeight = std::max(s.height, 1024);
  gBackend = std::make_unique<platform::HeadlessBackend>(o);
  platform::Install(gBackend.get());
  gBackend->CreateMainWindow("bench", false, 0, 0, 800, 600);
  engine.screen.display.windowed = s.windowed ? -1 : 0;
  engine.screen.display.width = s.width;
  engine.screen.display.height = s.height;
  vxscrHini(engine.screen);
  vxDDrawINI(engine.screen);
  std::mt19937 rng(42);
  for (int64_t i = 0; i < kBackPixels; ++i) engine.gfx.backBuffer[i] = rng();
  vxscrHtoSCREEN(engine.screen);  // first present: margins and the whole picture
}

void RunCase(benchmark::State& state, const char* name, const Setup& s, double goal) {
  Prepare(s);
  const double memcpyNs = MemcpyNanoseconds();
  std::vector<double> times;
  for (auto _ : state) {
    // Keep the repaint counter away from its full-recompute values, or put
    // it on one; brightness stays active when asked for.
    engine.screen.repaintCounter = s.frame == Frame::FullRecompute ? 0 : 200;
    engine.screen.borderCountdown = 100;
    if (s.brightness) SetBrightness(engine.screen, -1, 256);
    const double t0 = ThreadNanoseconds();
    vxscrHtoSCREEN(engine.screen);
    times.push_back(ThreadNanoseconds() - t0);
  }
  const double ns = Fastest(times);
  state.counters["ns_per_px"] = ns / static_cast<double>(kBackPixels);
  state.counters["x_memcpy"] = ns / memcpyNs;
  state.counters["memcpy_us"] = memcpyNs / 1000.0;
  Record(Row{name, ns / static_cast<double>(kBackPixels), ns / memcpyNs, goal});
  platform::Install(nullptr);
  ResetAllState();
  gBackend.reset();
}

void BM_Memcpy(benchmark::State& state) {
  std::vector<double> times;
  for (auto _ : state) times.push_back(bench::TimeBackBufferCopy(&ThreadNanoseconds));
  const double ns = Fastest(times);
  state.counters["ns_per_px"] = ns / static_cast<double>(kBackPixels);
  state.counters["x_memcpy"] = 1.0;
  Record(Row{"memcpy 800x600", ns / static_cast<double>(kBackPixels), 1.0, 0});
}

void BM_OriginalRes(benchmark::State& st) {
  RunCase(st, "original_res 800x600", {800, 600, false, false, Frame::Unchanged}, 1.5);
}
void BM_OriginalResDimmed(benchmark::State& st) {
  RunCase(st, "original_res 800x600 dimmed", {800, 600, false, true, Frame::Unchanged}, 0);
}
void BM_HigherResFactor1(benchmark::State& st) {
  RunCase(st, "higher_res x1 1024x768", {1024, 768, false, false, Frame::Unchanged}, 0);
}
void BM_HigherResFactor2(benchmark::State& st) {
  RunCase(st, "higher_res x2 1600x1200", {1600, 1200, false, false, Frame::Unchanged}, 5);
}
void BM_HigherResFactor2Dimmed(benchmark::State& st) {
  RunCase(st, "higher_res x2 1600x1200 dimmed", {1600, 1200, false, true, Frame::Unchanged}, 0);
}
void BM_ShrinkFullRecompute(benchmark::State& st) {
  RunCase(st, "lower_or_mixed 640x480 full", {640, 480, false, false, Frame::FullRecompute}, 15);
}
void BM_ShrinkUnchanged(benchmark::State& st) {
  RunCase(st, "lower_or_mixed 640x480 unchanged", {640, 480, false, false, Frame::Unchanged}, 2);
}
void BM_ShrinkFullRecomputeDimmed(benchmark::State& st) {
  RunCase(st, "lower_or_mixed 640x480 full dimmed", {640, 480, false, true, Frame::FullRecompute}, 0);
}
void BM_WindowCopy(benchmark::State& st) {
  RunCase(st, "window copy (headless)", {1280, 1024, true, false, Frame::Unchanged}, 0);
}

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_OriginalRes)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_OriginalResDimmed)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_HigherResFactor1)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_HigherResFactor2)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_HigherResFactor2Dimmed)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_ShrinkFullRecompute)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_ShrinkUnchanged)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_ShrinkFullRecomputeDimmed)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_WindowCopy)->Unit(benchmark::kMicrosecond)->MinTime(0.3);

void PrintTable() {
  std::printf("\n%-38s %12s %12s %8s %6s\n", "presenter pass", "ns/pixel", "x memcpy", "goal", "");
  for (const Row& r : bench::Rows()) {
    std::string goal = r.goal > 0 ? "<= " + std::to_string(r.goal).substr(0, 4) : "";
    const char* verdict = bench::Verdict(r.ratio, r.goal);
    std::printf("%-38s %12.4f %12.2f %8s %6s\n", r.name.c_str(), r.time, r.ratio, goal.c_str(), verdict);
  }
  std::printf(
      "(ns/pixel per back-buffer pixel, 800 x 600; x memcpy = fastest present / fastest memcpy of 1.92 "
      "MB)\n");
}

}  // namespace

int main(int argc, char** argv) { return bench::RunAndPrint(argc, argv, PrintTable); }

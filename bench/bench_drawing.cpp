// The drawing primitives, each measured as nanoseconds per pixel drawn and as
// a ratio to one memcpy of the 800 x 600 back buffer (1.92 MB) timed in the
// same run, right before each case, so that a busy machine moves both figures
// alike. Each case keeps the median of its calls. The plain reference forms
// are measured beside the fast ones for comparison.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/engine_effects.h"
#include "bench_runner.h"
#include "gfx/angles.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "platform/headless/headless_backend.h"
#include "reference/reference_drawing.h"
#include "shell/globals.h"

namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
using bench::kBackPixels;
using bench::Median;
using bench::WallNanoseconds;

double MemcpyNanoseconds() { return Median(bench::BackBufferCopyTimes(&WallNanoseconds)); }

using bench::Record;
using bench::Row;

std::unique_ptr<platform::HeadlessBackend> gBackend;
std::vector<uint32_t> gScreen;

constexpr int32_t kFullPicture = 10;
constexpr int32_t kPackedPicture = 11;
constexpr int32_t kSquarePicture = 12;

void Prepare() {
  ResetAllState();
  gBackend = std::make_unique<platform::HeadlessBackend>();
  platform::Install(gBackend.get());
  gScreen.assign(kBackPixels, 0);
  GfxContext& gfx = engine.gfx;
  InitGraphics(gfx, gScreen.data(), kWidth, kHeight);
  std::mt19937 rng(42);
  for (uint32_t& p : gScreen) p = rng();
  // Opaque pictures: blending then works at the draw mode's opacity everywhere.
  CreatePicture(gfx, kFullPicture, kWidth, kHeight);
  CreatePicture(gfx, kPackedPicture, kWidth, kHeight);
  CreatePicture(gfx, kSquarePicture, 256, 256);
  for (int32_t slot : {kFullPicture, kPackedPicture, kSquarePicture}) {
    ImageSlot& s = gfx.slots[slot];
    for (int64_t i = 0; i < int64_t{s.width} * s.height; ++i) s.pixels[i] = rng() | 0xff000000u;
  }
  PackTo24(gfx, kPackedPicture);
}

void Finish() {
  platform::Install(nullptr);
  ResetAllState();
  gBackend.reset();
}

void RunCase(benchmark::State& state, const char* name, int64_t pixels, double goal,
             const std::function<void(GfxContext&)>& draw) {
  Prepare();
  GfxContext& gfx = engine.gfx;
  const double memcpyNs = MemcpyNanoseconds();
  std::vector<double> times;
  for (auto _ : state) {
    const double t0 = WallNanoseconds();
    draw(gfx);
    benchmark::DoNotOptimize(gScreen.data());
    benchmark::ClobberMemory();
    times.push_back(WallNanoseconds() - t0);
  }
  const double ns = Median(times);
  state.counters["ns_per_px"] = ns / static_cast<double>(pixels);
  state.counters["x_memcpy"] = ns / memcpyNs;
  state.counters["memcpy_us"] = memcpyNs / 1000.0;
  Record(Row{name, ns / static_cast<double>(pixels), ns / memcpyNs, goal});
  Finish();
}

// The 256 x 256 picture onto the same square turned by 30 degrees about the
// screen centre.
void RotatedQuad(GfxContext& gfx, int32_t (&c)[8]) {
  const int32_t corners[4][2] = {{272, 172}, {528, 172}, {272, 428}, {528, 428}};
  for (int i = 0; i < 4; ++i) {
    int32_t x = corners[i][0], y = corners[i][1];
    RotatePoint(gfx, x, y, 30, 400, 300);
    c[2 * i] = x;
    c[2 * i + 1] = y;
  }
}

void BM_Memcpy(benchmark::State& state) {
  std::vector<double> times;
  for (auto _ : state) times.push_back(bench::TimeBackBufferCopy(&WallNanoseconds));
  const double ns = Median(times);
  state.counters["ns_per_px"] = ns / static_cast<double>(kBackPixels);
  state.counters["x_memcpy"] = 1.0;
  Record(Row{"memcpy 800x600", ns / static_cast<double>(kBackPixels), 1.0, 0});
}

void BM_Packed24(benchmark::State& st) {
  RunCase(st, "DrawPacked24 full screen", kBackPixels, 2,
          [](GfxContext& gfx) { DrawPacked24(gfx, kPackedPicture, 0, 0); });
}
void BM_Packed24Plain(benchmark::State& st) {
  RunCase(st, "  plain reference (packed)", kBackPixels, 0,
          [](GfxContext& gfx) { reference::DrawPacked24(gfx, kPackedPicture, 0, 0); });
}
void BM_Blend128(benchmark::State& st) {
  RunCase(st, "DrawPicture blend 128 full screen", kBackPixels, 6, [](GfxContext& gfx) {
    SetDrawMode(gfx, 128);
    DrawPicture(gfx, kFullPicture, 0, 0);
  });
}
void BM_Blend128Plain(benchmark::State& st) {
  RunCase(st, "  plain reference (blend)", kBackPixels, 0, [](GfxContext& gfx) {
    SetDrawMode(gfx, 128);
    reference::DrawFrame(gfx, kFullPicture, 0, 0, -1);
  });
}
void BM_Additive(benchmark::State& st) {
  RunCase(st, "DrawPicture additive full screen", kBackPixels, 4, [](GfxContext& gfx) {
    SetDrawMode(gfx, -1);
    DrawPicture(gfx, kFullPicture, 0, 0);
  });
}
void BM_AdditivePlain(benchmark::State& st) {
  RunCase(st, "  plain reference (additive)", kBackPixels, 0, [](GfxContext& gfx) {
    SetDrawMode(gfx, -1);
    reference::DrawFrame(gfx, kFullPicture, 0, 0, -1);
  });
}
void BM_PlainCopy(benchmark::State& st) {
  RunCase(st, "DrawPicture plain copy full screen", kBackPixels, 0, [](GfxContext& gfx) {
    SetDrawMode(gfx, -2);
    DrawPicture(gfx, kFullPicture, 0, 0);
  });
}
void BM_Corners(benchmark::State& st) {
  RunCase(st, "DrawToCorners 256x256 turned, supersampled", 256 * 256, 12, [](GfxContext& gfx) {
    int32_t c[8];
    RotatedQuad(gfx, c);
    DrawToCorners(gfx, kSquarePicture, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], -1);
  });
}
void BM_CornersFullWalk(benchmark::State& st) {
  RunCase(st, "  every step walked", 256 * 256, 0, [](GfxContext& gfx) {
    int32_t c[8];
    RotatedQuad(gfx, c);
    reference::DrawToCornersFullWalk(gfx, kSquarePicture, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], -1);
  });
}
void BM_CornersDirect(benchmark::State& st) {
  RunCase(st, "DrawToCorners 256x256 turned, direct", 256 * 256, 0, [](GfxContext& gfx) {
    int32_t c[8];
    RotatedQuad(gfx, c);
    SetSupersampling(gfx, 0);
    DrawToCorners(gfx, kSquarePicture, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], -1);
    SetSupersampling(gfx, 1);
  });
}
void BM_Rotated(benchmark::State& st) {
  RunCase(st, "DrawRotated 256x256 by 30", 256 * 256, 0,
          [](GfxContext& gfx) { DrawRotated(gfx, kSquarePicture, 272, 172, 30); });
}

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_Packed24)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_Packed24Plain)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_Blend128)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_Blend128Plain)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_Additive)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_AdditivePlain)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_Corners)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_CornersFullWalk)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_CornersDirect)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_Rotated)->Unit(benchmark::kMicrosecond)->MinTime(0.3);

void PrintTable() {
  std::printf("\n%-46s %12s %12s %8s %6s\n", "drawing primitive", "ns/pixel", "x memcpy", "goal", "");
  for (const Row& r : bench::Rows()) {
    std::string goal = r.goal > 0 ? "<= " + std::to_string(static_cast<int>(r.goal)) : "";
    const char* verdict = bench::Verdict(r.ratio, r.goal);
    std::printf("%-46s %12.4f %12.2f %8s %6s\n", r.name.c_str(), r.time, r.ratio, goal.c_str(), verdict);
  }
  std::printf(
      "(ns/pixel: per screen pixel for the full-screen cases, per picture pixel (65536) for the 256 x 256 "
      "ones;\n"
      " x memcpy = median call / median memcpy of the 1.92 MB back buffer)\n");
}

}  // namespace

int main(int argc, char** argv) { return bench::RunAndPrint(argc, argv, PrintTable); }

#pragma once
// What the benchmark programs share: the back-buffer size, the clocks, the
// summaries of repeated timings, one timed memcpy of the back buffer (the
// yardstick every figure is divided by), and the result table. Nothing here
// needs Google Benchmark (bench_runner.h does), so that the programs that
// time themselves build where the library is missing (cross builds).
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "program_args.h"

namespace bench {

constexpr int64_t kBackPixels = 800 * 600;
constexpr size_t kBackBytes = kBackPixels * sizeof(uint32_t);

// Time spent by this thread: the machine is shared, and a long case would
// otherwise be charged for other programs' time slices.
inline double ThreadNanoseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

inline double WallNanoseconds() {
  return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

inline double Fastest(const std::vector<double>& v) {
  return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end());
}

// One memcpy of the 800 x 600 back buffer (1.92 MB), timed with `now`.
// One copy of the back buffer's bytes from `from` to `to`, timed.
inline double TimeCopy(double (*now)(), uint32_t* to, const uint32_t* from) {
  const double t0 = now();
  std::memcpy(to, from, kBackBytes);
  // The copy is kept: the compiler must assume the bytes are read here.
  asm volatile("" : : "r"(to) : "memory");
  return now() - t0;
}

inline double TimeBackBufferCopy(double (*now)()) {
  static std::vector<uint32_t> from(kBackPixels, 0x12345678u), to(kBackPixels);
  return TimeCopy(now, to.data(), from.data());
}

// The same copy with both buffers fetched from memory: the pairs taken in
// turn span 160 MB, more than any cache, so each copy finds its bytes gone
// from it. On a machine whose cache holds the back buffer the in-cache copy
// is several times quicker than this one; this is the reference that means
// the same on every machine.
inline std::vector<double> BackBufferCopyFromMemoryTimes(double (*now)(), int runs = 200) {
  constexpr int kPairs = 42;
  static std::vector<std::vector<uint32_t>> buffers(2 * kPairs,
                                                    std::vector<uint32_t>(kBackPixels, 0x12345678u));
  std::vector<double> times;
  for (int i = 0; i < runs; ++i)
    times.push_back(TimeCopy(now, buffers[2 * (i % kPairs) + 1].data(), buffers[2 * (i % kPairs)].data()));
  return times;
}

inline std::vector<double> BackBufferCopyTimes(double (*now)(), int runs = 200) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) times.push_back(TimeBackBufferCopy(now));
  return times;
}

// One line of a program's result table: the case, its time in the
// program's unit (nanoseconds per call or per pixel), its ratio to the
// memcpy, and its goal as such a ratio (0 = none).
struct Row {
  std::string name;
  double time;
  double ratio;
  double goal;
};

inline std::vector<Row>& Rows() {
  static std::vector<Row> rows;
  return rows;
}

// The benchmark library runs a case more than once while it settles the
// iteration count; the last run of each named row is the one reported.
inline void Record(const Row& row) {
  for (Row& r : Rows()) {
    if (r.name == row.name) {
      r = row;
      return;
    }
  }
  Rows().push_back(row);
}

// A row's verdict against its goal (a ratio to the memcpy); none without one.
inline const char* Verdict(double ratio, double goal) {
  if (goal <= 0) return "";
  return ratio <= goal ? "ok" : "MISSED";
}

}  // namespace bench

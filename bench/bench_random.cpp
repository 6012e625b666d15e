// The random source's draws: one Random call, a RandomFill batch of the
// flash rings' size (91 draws of -13 .. 13), and, where the x87 type exists,
// the same single draw on both arithmetic paths, the processor's and
// SoftExtended. Times per draw are the "CPU" column divided by the items.
//
//   ninja -C build-test bench_random && ./build-test/bench/bench_random
#include <benchmark/benchmark.h>

#include <cstdint>

#include "program_args.h"
#include "random/random_source.h"
#if defined(VX_X87_LONG_DOUBLE)
#include "random/random_steps.h"
#endif

namespace {

void BM_Random(benchmark::State& state) {
  RandomSource r;
  SeedRandom(r, 98765);
  int32_t sum = 0;
  for (auto _ : state) sum += Random(r, -13, 13);
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Random);

void BM_RandomFill91(benchmark::State& state) {
  RandomSource r;
  SeedRandom(r, 98765);
  int32_t steps[91];
  for (auto _ : state) {
    RandomFill(r, -13, 13, steps, 91);
    benchmark::DoNotOptimize(steps);
  }
  state.SetItemsProcessed(state.iterations() * 91);
}
BENCHMARK(BM_RandomFill91);

#if defined(VX_X87_LONG_DOUBLE)
template <class T>
void BM_RandomStep(benchmark::State& state) {
  T s = static_cast<T>(1.0);
  SeedStep(s, static_cast<T>(98765.0));
  int32_t sum = 0;
  for (auto _ : state) sum += RandomStep(s, -13, 13);
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RandomStep<long double>)->Name("BM_RandomStep/x87");
BENCHMARK(BM_RandomStep<SoftExtended>)->Name("BM_RandomStep/soft");
#endif

}  // namespace

int main(int argc, char** argv) {
  int code = 0;
  if (bench::TakeKernelLevel(argc, argv, "bench_random", code)) return code;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

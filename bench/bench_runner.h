#pragma once
// The main of the programs whose cases Google Benchmark runs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

#include "bench_support.h"

namespace bench {

// The whole program: runs the cases the command line names, then prints the
// program's table of results.
// --level is taken out before the library reads the rest.
inline int RunAndPrint(int argc, char** argv, void (*printTable)()) {
  int code = 0;
  const char* slash = std::strrchr(argv[0], '/');
  if (TakeKernelLevel(argc, argv, slash != nullptr ? slash + 1 : argv[0], code)) return code;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--help") == 0)
      std::fputs(kLevelUsage, stdout);  // the library's own help follows
  std::printf("kernel level: %s\n", cpu::KernelLevelName(cpu::StartKernelLevel()));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  printTable();
  return 0;
}

}  // namespace bench

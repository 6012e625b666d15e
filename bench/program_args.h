#pragma once
// The command line of the small programs beside the benchmarks (galleries,
// frame and loading timers): they take only plain arguments, answer --help
// and refuse anything else that looks like an option.
#include <cstdio>
#include <cstring>

#include "platform/cpu_features.h"

namespace bench {

// The usage line of the kernel-level option every program here takes.
constexpr const char* kLevelUsage =
    "  --level plain|sse2|avx2|avx512  run the kernels at this level instead of\n"
    "  the best the processor has (a level above it is refused)\n";

// Takes "--level NAME" (or "--level=NAME") out of the command line and makes
// NAME the level the whole run starts at and returns to. True when the
// program is done: the name is unknown, missing, or above what the processor
// runs (exit code 2, with a message naming the best level here).
inline bool TakeKernelLevel(int& argc, char** argv, const char* name, int& code) {
  int out = 1;
  for (int i = 1; i < argc; ++i) {
    const char* value = nullptr;
    if (std::strcmp(argv[i], "--level") == 0) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "%s: --level needs one of plain, sse2, avx2, avx512\n", name);
        code = 2;
        return true;
      }
      value = argv[++i];
    } else if (std::strncmp(argv[i], "--level=", 8) == 0) {
      value = argv[i] + 8;
    } else {
      argv[out++] = argv[i];
      continue;
    }
    cpu::KernelLevel level{};
    if (!cpu::ParseKernelLevel(value, level)) {
      std::fprintf(stderr, "%s: unknown kernel level '%s' (plain, sse2, avx2 or avx512)\n", name, value);
      code = 2;
      return true;
    }
    if (!cpu::SetStartKernelLevel(level)) {
      std::fprintf(stderr, "%s: this processor cannot run the %s kernels; the best it runs is %s\n", name,
                   value, cpu::KernelLevelName(cpu::BestKernelLevel()));
      code = 2;
      return true;
    }
  }
  argc = out;
  argv[argc] = nullptr;
  return false;
}

// True when the program is done: --help printed the usage (exit code 0),
// or an unknown option, a refused --level or too many arguments (exit code
// 2). A --level it accepts is taken out of argv.
inline bool ProgramArgsDone(int& argc, char** argv, const char* name, const char* usage, int maxArgs,
                            int& code) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(usage, stdout);
      std::fputs(kLevelUsage, stdout);
      code = 0;
      return true;
    }
  }
  if (TakeKernelLevel(argc, argv, name, code)) return true;
  int plain = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(usage, stdout);
      code = 0;
      return true;
    }
  }
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] == '-' && argv[i][1] != '\0') {
      std::fprintf(stderr, "%s: unknown option '%s'\n%s", name, argv[i], usage);
      code = 2;
      return true;
    }
    ++plain;
  }
  if (plain > maxArgs) {
    std::fprintf(stderr, "%s: too many arguments\n%s", name, usage);
    code = 2;
    return true;
  }
  return false;
}

}  // namespace bench

#pragma once
// The command line of the small programs beside the benchmarks (galleries,
// frame and loading timers): they take only plain arguments, answer --help
// and refuse anything else that looks like an option.
#include <cstdio>
#include <cstring>

namespace bench {

// True when the program is done: --help printed the usage (exit code 0),
// or an unknown option or too many arguments were refused (exit code 2).
inline bool ProgramArgsDone(int argc, char** argv, const char* name, const char* usage, int maxArgs,
                            int& code) {
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

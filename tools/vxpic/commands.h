#pragma once
// The vxpic program: its command line and its four commands. Results go to
// `out`, refusals and notes to `err`; the return value is the exit code
// (0 done, 1 a file could not be read or converted, 2 a bad command line).
#include <iosfwd>

namespace vxpic {

int Run(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// The usage text that --help prints.
const char* UsageText();

}  // namespace vxpic

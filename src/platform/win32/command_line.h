#pragma once
// The one command line that a Windows program is started with, made from
// its words so that the program's run-time library splits it back into
// exactly those words.
#include <string>
#include <vector>

namespace platform {

std::string JoinCommandLine(const std::vector<std::string>& words);

}  // namespace platform

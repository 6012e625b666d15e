#include "platform/win32/command_line.h"

namespace platform {
namespace {

// A word in quotes where it needs them: backslashes count as escapes only
// before a quote, so those (and the ones before the closing quote) are
// doubled, and a quote gets one of its own.
void AppendWord(std::string& line, const std::string& word) {
  if (!word.empty() && word.find_first_of(" \t\n\v\"") == std::string::npos) {
    line += word;
    return;
  }
  line += '"';
  size_t backslashes = 0;
  for (const char c : word) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') backslashes = backslashes * 2 + 1;
    line.append(backslashes, '\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, '\\');
  line += '"';
}

}  // namespace

std::string JoinCommandLine(const std::vector<std::string>& words) {
  std::string line;
  for (const std::string& w : words) {
    if (!line.empty()) line += ' ';
    AppendWord(line, w);
  }
  return line;
}

}  // namespace platform

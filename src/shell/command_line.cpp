#include "shell/command_line.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool ParseCount(const std::string& text, int64_t& out) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < 0) return false;
  out = v;
  return true;
}

}  // namespace

const char* UsageText() {
  return "usage: vxgame [options]\n"
         "  --root DIR             game folder to run in (default: the player's own,\n"
         "                         $XDG_DATA_HOME/vxgame, over the installed data set)\n"
         "  --headless             run without a window or sound device\n"
         "  --frames N             end, as closing the window would, after N game frames\n"
         "  --input FILE           input script for a headless run\n"
         "  --screenshot N:FILE    write the back buffer after frame N as a PNG (repeatable)\n"
         "  --trace FILE           write one line of game state per frame\n"
         "  --record FILE          record the game into a demo\n"
         "  --play FILE            play a demo (in a window: P pauses, N steps a frame,\n"
         "                         F runs fast, Esc ends; with --headless as fast as it can)\n"
         "  --force                play a demo of another engine or data set, or cut short\n"
         "  --level N              start a new game in level N (0..100), straight past the title\n"
         "  --strict               exit with code 3 when a data file is missing or damaged\n"
         "  --list-overrides       list the player's files that replace generated ones, and end\n"
         "  --help                 show this text\n"
         "  --version              show the engine version\n";
}

bool ParseCommandLine(int argc, const char* const* argv, CommandLine& out, std::string& error) {
  out = CommandLine{};
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&](std::string& v) {
      if (i + 1 >= argc) {
        error = "option " + arg + " needs a value";
        return false;
      }
      v = argv[++i];
      return true;
    };
    std::string v;
    if (arg == "--help" || arg == "-h") {
      out.help = true;
    } else if (arg == "--version") {
      out.version = true;
    } else if (arg == "--strict") {
      out.strict = true;
    } else if (arg == "--list-overrides") {
      out.listOverrides = true;
    } else if (arg == "--headless") {
      out.headless = true;
    } else if (arg == "--root") {
      if (!value(out.root)) return false;
      if (out.root.empty()) {
        error = "--root needs a folder";
        return false;
      }
    } else if (arg == "--frames") {
      if (!value(v)) return false;
      if (!ParseCount(v, out.frames)) {
        error = "--frames takes a whole number of 0 or more, not '" + v + "'";
        return false;
      }
    } else if (arg == "--input") {
      if (!value(out.inputFile)) return false;
    } else if (arg == "--trace") {
      if (!value(out.traceFile)) return false;
    } else if (arg == "--record") {
      if (!value(out.recordFile)) return false;
    } else if (arg == "--play") {
      if (!value(out.playFile)) return false;
    } else if (arg == "--force") {
      out.force = true;
    } else if (arg == "--level") {
      if (!value(v)) return false;
      int64_t level = 0;
      if (!ParseCount(v, level) || level > 100) {
        error = "--level takes a level number from 0 to 100, not '" + v + "'";
        return false;
      }
      out.level = static_cast<int32_t>(level);
    } else if (arg == "--screenshot") {
      if (!value(v)) return false;
      const size_t colon = v.find(':');
      Screenshot s;
      if (colon == std::string::npos || !ParseCount(v.substr(0, colon), s.frame) || colon + 1 >= v.size()) {
        error = "--screenshot takes FRAME:FILE.png, not '" + v + "'";
        return false;
      }
      s.file = v.substr(colon + 1);
      out.screenshots.push_back(s);
    } else {
      error = "unknown option '" + arg + "'";
      return false;
    }
  }
  if (!out.recordFile.empty() && !out.playFile.empty()) {
    error = "--record and --play cannot be used together";
    return false;
  }
  if (!out.playFile.empty() && !out.inputFile.empty()) {
    error = "--play takes its input from the demo, not from --input";
    return false;
  }
  return true;
}

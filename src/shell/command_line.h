#pragma once
// The vxgame command line.
#include <cstdint>
#include <string>
#include <vector>

struct Screenshot {
  int64_t frame = 0;
  std::string file;
};

struct CommandLine {
  std::string root;  // empty: the default game folder
  bool headless = false;
  int64_t frames = -1;  // -1: no limit
  std::string inputFile;
  std::vector<Screenshot> screenshots;
  std::string traceFile;
  std::string recordFile;      // write a demo of the run
  std::string playFile;        // play a demo instead of the player
  bool force = false;          // play a demo of another engine or data set, or one cut short
  int32_t level = -1;          // -1: the game's own start; else a new game in this level, straight into play
  bool strict = false;         // a missing or damaged data file ends the program (exit code 3)
  bool listOverrides = false;  // list the player's files over the generated set, and end
  bool help = false;
  bool version = false;
};

// Parses argv[1..]; false with a message in `error` for a bad command line.
bool ParseCommandLine(int argc, const char* const* argv, CommandLine& out, std::string& error);
const char* UsageText();

#pragma once
// The demo file: a recorded game as text, an input script with more in it.
// Lines starting with '#' carry the header (format, engine, data set,
// settings, the files the game started from), the game-state checks and
// the end; an input script reader skips them. The other lines are input
// script events ("12 keydown RIGHT", "40 close") and the state clock's
// readings of a tick ("12 clock 21 29": each the milliseconds after the
// reading before it, the first of the file after 0). docs/formats.md
// describes it.
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/demo_backends.h"

inline constexpr int32_t kDemoFormat = 1;
// Limits that keep a damaged or hostile demo from taking the run's memory.
inline constexpr size_t kMaxDemoBytes = size_t{64} << 20;
inline constexpr size_t kMaxDemoLineChars = 4096;
inline constexpr size_t kMaxReadingsPerTick = 64;
inline constexpr size_t kMaxEmbeddedBytes = size_t{16} << 20;

struct DemoEmbeddedFile {
  std::string name;  // relative to the game folder, '/'-separated
  std::string bytes;
};

struct DemoFile {
  int32_t format = 0;
  std::string engine;  // the engine's version text
  std::string data;    // the data set's manifest checksum, 16 hex digits, or "none"
  std::vector<std::pair<std::string, std::string>> settings;  // for people; the game reads the files
  std::vector<DemoEmbeddedFile> files;
  platform::DemoInput input;
  std::map<int64_t, uint64_t> checks;  // frame -> game-state checksum
  bool ended = false;
  int64_t endTicks = 0;
  int64_t endFrames = 0;
  uint64_t endChecksum = 0;
};

// A name a demo may embed: relative, '/'-separated, of letters, digits and
// "._-", with no empty, "." or ".." part, so that writing it stays inside
// the folder it is written to.
bool SafeEmbeddedName(const std::string& name);

// Parses a whole demo; false with a message naming the line in `error`.
// A demo without its end record is read (its `ended` is false): the
// program decides what a cut-short demo is worth.
bool ParseDemo(const std::string& text, DemoFile& out, std::string& error);
// Reads a regular file of at most kMaxDemoBytes and parses it.
bool ReadDemo(const char* path, DemoFile& out, std::string& error);

std::string ChecksumText(uint64_t sum);

// Writes a demo as the game runs: the header at once, then events,
// readings and checks as they come, the end last. Lines go out as they are
// written (buffered), so a run that is killed leaves a demo cut short.
class DemoWriter : public platform::DemoSink {
 public:
  ~DemoWriter() override;
  bool Open(const std::string& path, std::string& error);
  void Header(const DemoFile& header);
  void Event(const platform::ScriptEvent& event) override;
  void ClockReadings(int64_t tick, const std::vector<int32_t>& readings) override;
  void Check(int64_t frame, uint64_t checksum);
  // The end record; false when the file could not be written whole.
  bool End(int64_t ticks, int64_t frames, uint64_t checksum);
  int64_t BytesWritten() const { return bytes_; }

 private:
  void Line(const std::string& text);

  std::FILE* file_ = nullptr;
  bool failed_ = false;
  int32_t lastReading_ = 0;
  int64_t bytes_ = 0;
};

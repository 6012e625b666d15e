#pragma once
// Recording a game into a demo, and playing a demo back to the same game.
// The recorder wraps the real backend and writes what the game reads from
// outside as it reads it, with a check of the game state every
// kDemoCheckFrames frames and at the end. The player gives the game the
// demo's events and clock readings instead, compares the checks, and says
// "in step" at the end or names the first checked frame that differs.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/demo_backends.h"
#include "shell/demo_file.h"

// A check every 35 frames, once a second of play: a divergence is found
// within a second of where it starts, for about 30 bytes a second.
inline constexpr int64_t kDemoCheckFrames = 35;

// Exit status of a playback that went out of step.
inline constexpr int kExitOutOfStep = 4;

// The header of a recording started in the current game folder: the
// engine, the data set's manifest checksum (`data`), the play settings of
// "ini/main.ini", and the files the game starts from: the configuration,
// the saved game and its backup when there are any, and `ownFiles` (the
// player's files over the data set). A file that cannot be embedded is
// named in `warnings`.
// Full screen at the desktop's size (record 0 below 1) is recorded at the
// size of this desktop (`desktopWidth` x `desktopHeight`): the mouse's
// positions are scaled by it.
DemoFile DemoHeaderHere(const std::string& data, const std::vector<std::string>& ownFiles,
                        int32_t desktopWidth, int32_t desktopHeight, std::vector<std::string>& warnings);

// The configuration `ini` with record 0 (the display size) set to
// width x height ahead of any other.
std::string WithDisplaySize(const std::string& ini, int32_t width, int32_t height);

// The 16-digit checksum of the data set's manifest at `manifestPath`, or
// "none" when there is none. The lines of the music decoder programs are
// left out: they are programs of the system the set was built for (the
// page's set has none), not the game's data, and a playback plays without
// music.
std::string DataSetChecksum(const std::string& manifestPath);
// The checksum of the whole manifest file, which demos recorded before
// the decoders were left out name.
std::string ManifestFileChecksum(const std::string& manifestPath);

// Why a demo should not be played here ("" when it can): another engine,
// another data set (neither `data` nor `olderData`), no end record.
std::string DemoMismatch(const DemoFile& demo, const std::string& data, const std::string& olderData = "");

// A new empty folder for a playback to run in (under the system's
// temporary folder), holding the demo's embedded files, so that the game
// it plays saves nothing over the player's. The music is switched off:
// its decoders would run in the folder for nothing.
bool MakePlaybackFolder(const DemoFile& demo, std::filesystem::path& folder, std::string& error);

// Where the setting of record 37 records a game: "demos/vxgame-" and the
// local date and time, with "-2", "-3", ... when that second has one; the
// folder is made. Empty when it cannot be.
std::string NextDemoName();

class DemoRecorder {
 public:
  bool Start(const std::string& path, const DemoFile& header, platform::Backend& inner, std::string& error);
  platform::Backend& Wrapped() { return *backend_; }
  void AfterFrame(int64_t frame);
  // Writes the end record once; false when the demo could not be written.
  bool Finish(int64_t frames);
  int64_t Bytes() const { return writer_.BytesWritten(); }

 private:
  DemoWriter writer_;
  std::unique_ptr<platform::RecordingBackend> backend_;
  bool finished_ = false;
};

class DemoPlayer {
 public:
  void Start(const DemoFile& demo, platform::Backend& inner, bool viewer);
  platform::Backend& Wrapped() { return *backend_; }
  platform::PlaybackBackend& Playback() { return *backend_; }
  void AfterFrame(int64_t frame);
  // The verdict, on stdout once: 0 when in step, else kExitOutOfStep.
  int Finish(int64_t frames);
  int64_t FirstDifference() const { return firstDifference_; }

 private:
  std::map<int64_t, uint64_t> checks_;
  bool ended_ = false;
  int64_t endFrames_ = 0;
  uint64_t endChecksum_ = 0;
  bool viewer_ = false;
  std::unique_ptr<platform::PlaybackBackend> backend_;
  int64_t firstDifference_ = 0;
  int64_t lastInStep_ = 0;
  bool finished_ = false;
  int verdict_ = 0;
};

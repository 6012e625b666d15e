#pragma once
// Settings from "ini/main.ini" and texts from the message text file, all
// fetched by record number.
#include <cstdint>

#include "config/game_settings.h"
#include "config/log.h"
#include "config/record_reader.h"

inline constexpr const char* kConfigFile = "ini/main.ini";

enum ConfigRecord : int32_t {
  kRecordDisplaySize = 0,
  kRecordWindowed = 5,
  kRecordLog = 6,
  kRecordSound = 13,
  kRecordLowDetail = 15,
  kRecordMusic = 17,
  kRecordControls = 19,
  kRecordAltText = 20,
};

// The display the configuration asks for.
struct DisplaySettings {
  int32_t width = 0;
  int32_t height = 0;
  int32_t windowed = 0;  // -1 in a window, 0 full screen
};

// The first number of a configuration record (0 when it is missing).
int32_t ReadConfigValue(RecordReader& r, int32_t record);
// Display size and windowed flag (records 0 and 5), with the desktop size
// standing in for a size below 1; writes its log line.
void vxGetRes(DisplaySettings& display, RecordReader& r, EngineLog& log);
// Loading step 0's settings: records 15, 13, 19 and 20, in this order, and
// the choice of the message text file.
void ReadGameSettings(GameSettings& s, RecordReader& r);
// Looks up a record of the current message text file; the text is then in
// the reader's `text1` (and `text2`).
void GetTextLine(RecordReader& r, const GameSettings& s, int32_t id);

#include "config/configuration.h"

#include "platform/platform.h"

int32_t ReadConfigValue(RecordReader& r, int32_t record) {
  ReadRecord(r, record, kConfigFile);
  return r.values[0];
}

void vxGetRes(DisplaySettings& display, RecordReader& r, EngineLog& log) {
  ReadRecord(r, kRecordDisplaySize, kConfigFile);
  display.width = r.values[0];
  display.height = r.values[1];
  ReadRecord(r, kRecordWindowed, kConfigFile);
  display.windowed = r.values[0] != 0 ? -1 : 0;
  if (display.width < 1 || display.height < 1) {
    platform::Backend& p = platform::Current();
    display.width = p.SystemMetric(platform::Metric::ScreenWidth);
    display.height = p.SystemMetric(platform::Metric::ScreenHeight);
  }
  if (log.enabled != 0) {
    log.stream << "vxGetRes status:" << display.width << log.separator << display.height
               << " windowed status:" << display.windowed << log.newline;
  }
}

void ReadGameSettings(GameSettings& s, RecordReader& r) {
  s.lowDetail = ReadConfigValue(r, kRecordLowDetail) != 0 ? -1 : 0;
  s.showStats = 0;
  s.allOpen = 0;
  s.soundOn = ReadConfigValue(r, kRecordSound) != 0 ? -1 : 0;
  s.assetsLoaded = -1;
  s.controlScheme = ReadConfigValue(r, kRecordControls) != 0 ? 2 : 1;
  s.altTextFile = ReadConfigValue(r, kRecordAltText) != 0 ? -1 : 0;
  s.textFileName = s.altTextFile != 0 ? "data/text1.txt" : "data/text.txt";
}

void GetTextLine(RecordReader& r, const GameSettings& s, int32_t id) {
  ReadRecord(r, id, s.textFileName.c_str());
}

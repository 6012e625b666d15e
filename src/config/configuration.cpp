#include "config/configuration.h"

#include "shell/engine.h"

int32_t ReadConfigValue(int32_t record) {
  ReadRecord(engine.records, record, kConfigFile);
  return engine.records.values[0];
}

void vxGetRes() {
  RecordReader& r = engine.records;
  ReadRecord(r, kRecordDisplaySize, kConfigFile);
  engine.displayWidth = r.values[0];
  engine.displayHeight = r.values[1];
  ReadRecord(r, kRecordWindowed, kConfigFile);
  engine.windowed = r.values[0] != 0 ? -1 : 0;
  if (engine.displayWidth < 1 || engine.displayHeight < 1) {
    platform::Backend& p = platform::Current();
    engine.displayWidth = p.SystemMetric(platform::Metric::ScreenWidth);
    engine.displayHeight = p.SystemMetric(platform::Metric::ScreenHeight);
  }
  EngineLog& log = engine.log;
  if (log.enabled != 0) {
    log.stream << "vxGetRes status:" << engine.displayWidth << log.separator << engine.displayHeight
               << " windowed status:" << engine.windowed << log.newline;
  }
}

void ReadGameSettings(GameState& g) {
  g.settings.lowDetail = ReadConfigValue(kRecordLowDetail) != 0 ? -1 : 0;
  g.settings.showStats = 0;
  g.settings.allOpen = 0;
  g.settings.soundOn = ReadConfigValue(kRecordSound) != 0 ? -1 : 0;
  g.settings.assetsLoaded = -1;
  g.settings.controlScheme = ReadConfigValue(kRecordControls) != 0 ? 2 : 1;
  g.settings.altTextFile = ReadConfigValue(kRecordAltText) != 0 ? -1 : 0;
  g.settings.textFileName = g.settings.altTextFile != 0 ? "data/text1.txt" : "data/text.txt";
}

void GetTextLine(int32_t id) { ReadRecord(engine.records, id, game.settings.textFileName.c_str()); }

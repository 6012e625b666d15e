#include "config/log.h"

#include <cstdio>

void OpenLog(EngineLog& log) {
  std::remove(kLogFileName);
  log.stream.open(kLogFileName, std::ios::out | std::ios::trunc | std::ios::binary);
  log.stream << "this is vx_engine_1 log. program started!" << log.newline;
}

void CloseLog(EngineLog& log) {
  if (log.enabled == 0) return;
  log.stream << "window closed. so, logover!" << log.newline << log.newline;
  log.stream.close();
}

#pragma once
// The engine log "en1_log.txt": one plain-text line per start-up step,
// written only while the log is enabled. Each line is its message, then any
// numbers separated by the separator text, then the newline text.
#include <cstdint>
#include <fstream>
#include <string>

struct EngineLog {
  std::ofstream stream;
  int32_t enabled = 0;
  std::string separator = ",";
  std::string newline = "\n";
};

inline constexpr const char* kLogFileName = "en1_log.txt";

// Deletes and re-creates the log and writes its first line.
void OpenLog(EngineLog& log);
// Writes the closing line and an empty line, then closes the stream.
void CloseLog(EngineLog& log);

namespace log_detail {
inline void WriteNumbers(EngineLog&, bool) {}
template <typename T, typename... Rest>
void WriteNumbers(EngineLog& log, bool first, T value, Rest... rest) {
  if (!first) log.stream << log.separator;
  log.stream << static_cast<int64_t>(value);
  WriteNumbers(log, false, rest...);
}
}  // namespace log_detail

template <typename... Numbers>
void LogLine(EngineLog& log, const char* text, Numbers... numbers) {
  if (log.enabled == 0) return;
  log.stream << text;
  log_detail::WriteNumbers(log, true, numbers...);
  log.stream << log.newline;
}

inline void LogText(EngineLog& log, const char* text, const std::string& more) {
  if (log.enabled == 0) return;
  log.stream << text << more << log.newline;
}

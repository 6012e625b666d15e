#include "config/settings_file.h"

#include <filesystem>
#include <system_error>

#include "config/configuration.h"
#include "platform/file_replace.h"
#include "platform/game_files.h"

namespace {

// One line of the file as the reader meets it.
struct Line {
  size_t start = 0;      // offset of its first character
  size_t end = 0;        // offset after its line feed
  size_t bodyEnd = 0;    // offset of its line end ("\r\n" or "\n")
  int32_t id = 0;        // its record number
  bool readable = true;  // false: the reader's scan stops here
};

// The lines in order, up to and including the one where the reader stops
// (an end line, a line too long, a last line without a line feed).
std::vector<Line> ScanLines(const std::string& file) {
  std::vector<Line> lines;
  size_t at = 0;
  while (at < file.size()) {
    Line l;
    l.start = at;
    const size_t feed = file.find('\n', at);
    if (feed == std::string::npos || feed - at + 1 > static_cast<size_t>(kMaxLineChars)) {
      l.readable = false;
      l.end = l.bodyEnd = feed == std::string::npos ? file.size() : feed + 1;
      lines.push_back(l);
      break;
    }
    l.end = feed + 1;
    l.bodyEnd = feed > at && file[feed - 1] == '\r' ? feed - 1 : feed;
    // The record number is the first field, up to a comma or the line's end.
    const size_t comma = file.find(',', at);
    const size_t fieldEnd = comma != std::string::npos && comma < feed ? comma : feed + 1;
    l.id = ParseRecordNumber(file.substr(at, fieldEnd - at).c_str());
    if (l.id == kNoRecord) l.readable = false;
    lines.push_back(l);
    if (!l.readable) break;
    at = l.end;
  }
  return lines;
}

// The line end the file uses: "\r\n" when its first line has one.
std::string LineEnd(const std::string& file) {
  const size_t feed = file.find('\n');
  return feed != std::string::npos && feed > 0 && file[feed - 1] == '\r' ? "\r\n" : "\n";
}

std::string Clean(std::string text) {
  for (char& c : text) {
    if (c == ',' || c == '\n' || c == '\r' || c == '\0') c = ' ';
  }
  return text;
}

std::vector<std::string> SplitFields(const std::string& body) {
  std::vector<std::string> fields;
  size_t at = 0;
  for (;;) {
    const size_t comma = body.find(',', at);
    fields.push_back(body.substr(at, comma == std::string::npos ? std::string::npos : comma - at));
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  return fields;
}

void SetRecord(std::string& file, int32_t id, const std::string* text1, const std::string* text2,
               const std::vector<int32_t>& values, const std::string& name) {
  const std::vector<Line> lines = ScanLines(file);
  for (const Line& l : lines) {
    if (!l.readable) break;
    if (l.id != id) continue;
    std::vector<std::string> fields = SplitFields(file.substr(l.start, l.bodyEnd - l.start));
    if (fields.size() < 3 + values.size()) fields.resize(3 + values.size());
    if (text1 != nullptr) fields[1] = Clean(*text1);
    if (text2 != nullptr) fields[2] = Clean(*text2);
    for (size_t i = 0; i < values.size(); ++i) fields[3 + i] = std::to_string(values[i]);
    std::string body;
    for (size_t i = 0; i < fields.size(); ++i) body += (i == 0 ? "" : ",") + fields[i];
    file.replace(l.start, l.bodyEnd - l.start, body);
    return;
  }
  std::string line = std::to_string(id) + "," + Clean(text1 != nullptr ? *text1 : name) + "," +
                     Clean(text2 != nullptr ? *text2 : "");
  for (const int32_t v : values) line += "," + std::to_string(v);
  line += LineEnd(file);
  // Every readable line ends with its line feed, so the new line goes
  // before the line the scan stopped at, or at the end.
  const size_t at = !lines.empty() && !lines.back().readable ? lines.back().start : file.size();
  file.insert(at, line);
}

}  // namespace

void SetRecordValues(std::string& file, int32_t id, const std::vector<int32_t>& values,
                     const std::string& name) {
  SetRecord(file, id, nullptr, nullptr, values, name);
}

void SetRecordTexts(std::string& file, int32_t id, const std::string& text1, const std::string& text2,
                    const std::vector<int32_t>& values) {
  SetRecord(file, id, &text1, &text2, values, text1);
}

void RemoveRecord(std::string& file, int32_t id) {
  const std::vector<Line> lines = ScanLines(file);
  // From the last line back, so that the offsets before it stay good.
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    if (it->readable && it->id == id) file.erase(it->start, it->end - it->start);
  }
}

std::string ReadSettingsFile() {
  std::string file;
  if (!platform::ReadWholeFile(platform::GameFile(kConfigFile), file)) file.clear();
  return file;
}

bool WriteSettingsFile(const std::string& file, std::string* problem) {
  std::error_code ec;
  const std::filesystem::path path(kConfigFile);
  std::filesystem::create_directories(path.parent_path(), ec);
  if (ec) {
    if (problem != nullptr)
      *problem = "cannot make the folder " + path.parent_path().string() + ": " + ec.message();
    return false;
  }
  return platform::ReplaceFile(kConfigFile, file, "", problem);
}

#include "shell/demo_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "platform/gamepad.h"
#include "platform/regular_file.h"

namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr size_t kBase64LineBytes = 57;  // 76 characters a line

std::string Base64(const std::string& bytes, size_t from, size_t count) {
  std::string out;
  for (size_t i = from; i < from + count; i += 3) {
    uint32_t v = static_cast<uint8_t>(bytes[i]) << 16;
    const size_t n = std::min<size_t>(3, from + count - i);
    if (n > 1) v |= static_cast<uint8_t>(bytes[i + 1]) << 8;
    if (n > 2) v |= static_cast<uint8_t>(bytes[i + 2]);
    out += kBase64[(v >> 18) & 63];
    out += kBase64[(v >> 12) & 63];
    out += n > 1 ? kBase64[(v >> 6) & 63] : '=';
    out += n > 2 ? kBase64[v & 63] : '=';
  }
  return out;
}

int Base64Value(char c) {
  const char* p = std::strchr(kBase64, c);
  return c != '\0' && p != nullptr ? static_cast<int>(p - kBase64) : -1;
}

// Appends the bytes of one base64 word; false when it is not one.
bool FromBase64(const std::string& word, std::string& out) {
  if (word.empty() || word.size() % 4 != 0) return false;
  for (size_t i = 0; i < word.size(); i += 4) {
    const bool last = i + 4 == word.size();
    const int pad = (word[i + 3] == '=' ? 1 : 0) + (word[i + 2] == '=' ? 1 : 0);
    if (pad > 0 && !last) return false;
    if (pad == 1 && word[i + 2] == '=') return false;
    uint32_t v = 0;
    for (size_t k = 0; k < 4; ++k) {
      const int d = k >= 4 - static_cast<size_t>(pad) ? 0 : Base64Value(word[i + k]);
      if (d < 0) return false;
      v = (v << 6) | static_cast<uint32_t>(d);
    }
    out += static_cast<char>((v >> 16) & 255);
    if (pad < 2) out += static_cast<char>((v >> 8) & 255);
    if (pad < 1) out += static_cast<char>(v & 255);
  }
  return true;
}

bool ParseNumber(const std::string& word, int64_t lo, int64_t hi, int64_t& out) {
  if (word.empty() || word.size() > 20) return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(word.c_str(), &end, 10);
  if (errno != 0 || end == word.c_str() || *end != '\0' || v < lo || v > hi) return false;
  out = v;
  return true;
}

bool ParseChecksum(const std::string& word, uint64_t& out) {
  if (word.size() != 16) return false;
  uint64_t v = 0;
  for (const char c : word) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    if (d < 0) return false;
    v = (v << 4) | static_cast<uint64_t>(d);
  }
  out = v;
  return true;
}

// A word as an error message shows it: short, and nothing unprintable.
std::string Quote(const std::string& word) {
  std::string q = "'";
  for (size_t i = 0; i < word.size() && i < 40; ++i) {
    const unsigned char c = static_cast<unsigned char>(word[i]);
    if (c >= 0x20 && c < 0x7f) {
      q += static_cast<char>(c);
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      q += escaped;
    }
  }
  return q + (word.size() > 40 ? "...'" : "'");
}

constexpr int64_t kLargestTick = INT64_C(1) << 40;

// The header and check lines ("#word ...").
bool ParseHashLine(const std::vector<std::string>& w, const std::string& line, DemoFile& out,
                   DemoEmbeddedFile*& filling, size_t& embedded, std::map<std::string, size_t>& sizes,
                   std::string& error) {
  const std::string& key = w[0];
  if (key != "#b64") filling = nullptr;
  if (key == "#vxdemo") {
    int64_t format = 0;
    if (w.size() != 2 || !ParseNumber(w[1], 1, 1000000, format)) {
      error = "the format line is damaged";
      return false;
    }
    out.format = static_cast<int32_t>(format);
  } else if (key == "#engine") {
    const size_t at = line.find("#engine") + 7;
    out.engine = line.substr(std::min(line.size(), line.find_first_not_of(' ', at)));
    // It is shown in messages: printable text only.
    for (const char c : out.engine) {
      if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f ||
          out.engine.size() > 100) {
        error = "the engine line is damaged";
        return false;
      }
    }
  } else if (key == "#data") {
    uint64_t sum = 0;
    if (w.size() != 2 || (w[1] != "none" && !ParseChecksum(w[1], sum))) {
      error = "the data set line takes 16 hexadecimal digits or 'none'";
      return false;
    }
    out.data = w[1];
  } else if (key == "#setting") {
    if (w.size() != 3) {
      error = "a setting line takes a name and a value";
      return false;
    }
    out.settings.emplace_back(w[1], w[2]);
  } else if (key == "#file") {
    int64_t size = 0;
    if (w.size() != 3 || !SafeEmbeddedName(w[1]) || !ParseNumber(w[2], 0, kMaxEmbeddedBytes, size)) {
      error = "a file line takes a plain relative name and a size";
      return false;
    }
    for (const DemoEmbeddedFile& f : out.files) {
      if (f.name == w[1]) {
        error = "the file " + Quote(w[1]) + " is embedded twice";
        return false;
      }
    }
    embedded += static_cast<size_t>(size);
    if (embedded > kMaxEmbeddedBytes) {
      error = "the embedded files are larger than " + std::to_string(kMaxEmbeddedBytes >> 20) + " MiB";
      return false;
    }
    out.files.push_back(DemoEmbeddedFile{w[1], {}});
    sizes[w[1]] = static_cast<size_t>(size);
    filling = &out.files.back();
  } else if (key == "#b64") {
    if (filling == nullptr || w.size() != 2 || !FromBase64(w[1], filling->bytes)) {
      error = filling == nullptr ? "file data outside a file" : "damaged file data";
      return false;
    }
  } else if (key == "#check" || key == "#end") {
    const bool end = key == "#end";
    int64_t frame = 0, ticks = 0;
    uint64_t sum = 0;
    const size_t want = end ? 4 : 3;
    if (w.size() != want || (end && !ParseNumber(w[1], 0, kLargestTick, ticks)) ||
        !ParseNumber(w[want - 2], 0, kLargestTick, frame) || !ParseChecksum(w[want - 1], sum)) {
      error = end ? "the end line takes ticks, frames and a checksum"
                  : "a check line takes a frame and a checksum";
      return false;
    }
    if (out.ended) {
      error = "a line after the end";
      return false;
    }
    if (end) {
      out.ended = true;
      out.endTicks = ticks;
      out.endFrames = frame;
      out.endChecksum = sum;
    } else {
      if (!out.checks.empty() && out.checks.rbegin()->first >= frame) {
        error = "the checks' frames do not increase";
        return false;
      }
      out.checks[frame] = sum;
    }
  }
  // Any other '#' line is a comment.
  return true;
}

}  // namespace

bool SafeEmbeddedName(const std::string& name) {
  if (name.empty() || name.size() > 200) return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t slash = name.find('/', start);
    if (slash == std::string::npos) slash = name.size();
    const std::string part = name.substr(start, slash - start);
    if (part.empty() || part == "." || part == "..") return false;
    for (const char c : part) {
      const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '.' || c == '_' || c == '-';
      if (!ok) return false;
    }
    start = slash + 1;
  }
  return true;
}

std::string ChecksumText(uint64_t sum) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(sum));
  return text;
}

bool ParseDemo(const std::string& text, DemoFile& out, std::string& error) {
  out = DemoFile{};
  if (text.size() > kMaxDemoBytes) {
    error = "larger than " + std::to_string(kMaxDemoBytes >> 20) + " MiB";
    return false;
  }
  DemoEmbeddedFile* filling = nullptr;
  size_t embedded = 0;
  std::map<std::string, size_t> sizes;  // as each file's line declared it
  int32_t reading = 0;
  int64_t lastClockTick = -1;
  int lineNo = 0;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string where = "line " + std::to_string(lineNo) + ": ";
    if (line.size() > kMaxDemoLineChars) {
      error = where + "longer than " + std::to_string(kMaxDemoLineChars) + " characters";
      return false;
    }
    if (line.find('\0') != std::string::npos) {
      error = where + "holds a NUL byte";
      return false;
    }
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string s; words >> s;) w.push_back(s);
    if (w.empty()) continue;
    if (lineNo == 1 && w[0] != "#vxdemo") {
      error = "not a demo (its first line is not '#vxdemo')";
      return false;
    }
    if (w[0][0] == '#') {
      if (!ParseHashLine(w, line, out, filling, embedded, sizes, error)) {
        error = where + error;
        return false;
      }
      continue;
    }
    filling = nullptr;
    if (out.ended) {
      error = where + "a line after the end";
      return false;
    }
    if (w.size() >= 2 && w[1] == "clock") {
      int64_t tick = 0;
      if (!ParseNumber(w[0], 0, kLargestTick, tick)) {
        error = where + "expected a tick number, got " + Quote(w[0]);
        return false;
      }
      if (tick <= lastClockTick) {
        error = where + "the clock's ticks do not increase";
        return false;
      }
      if (w.size() - 2 > kMaxReadingsPerTick) {
        error = where + "more than " + std::to_string(kMaxReadingsPerTick) + " clock readings in one tick";
        return false;
      }
      std::vector<int32_t>& values = out.input.readings[tick];
      for (size_t i = 2; i < w.size(); ++i) {
        int64_t delta = 0;
        if (!ParseNumber(w[i], INT32_MIN, INT32_MAX, delta)) {
          error = where + "a clock reading must be a whole number, not " + Quote(w[i]);
          return false;
        }
        // The clock wraps as a 32-bit count of milliseconds does.
        reading = static_cast<int32_t>(static_cast<uint32_t>(reading) + static_cast<uint32_t>(delta));
        values.push_back(reading);
      }
      lastClockTick = tick;
      out.input.lastTick = std::max(out.input.lastTick, tick);
      continue;
    }
    platform::ScriptEvent ev;
    if (!platform::ParseScriptWords(w, ev, error)) {
      error = where + error;
      return false;
    }
    if (!out.input.events.empty() && ev.tick < out.input.events.back().tick) {
      error = where + "the events' ticks go back";
      return false;
    }
    out.input.lastTick = std::max(out.input.lastTick, ev.tick);
    out.input.events.push_back(ev);
  }
  if (out.format == 0) {
    error = "not a demo (no '#vxdemo' line)";
    return false;
  }
  for (const DemoEmbeddedFile& f : out.files) {
    if (f.bytes.size() != sizes[f.name]) {
      error = "the embedded file " + Quote(f.name) + " is cut short or damaged (" +
              std::to_string(f.bytes.size()) + " bytes, not " + std::to_string(sizes[f.name]) + ")";
      return false;
    }
  }
  if (out.ended) out.input.lastTick = std::max(out.input.lastTick, out.endTicks);
  return true;
}

bool ReadDemo(const char* path, DemoFile& out, std::string& error) {
  bool notRegular = false;
  const int fd = platform::OpenRegularFile(path, &notRegular);
  if (fd < 0) {
    error = notRegular ? "not a regular file" : std::string("cannot be read (") + std::strerror(errno) + ")";
    return false;
  }
  std::string text;
  bool failed = false, tooLarge = false;
  char buffer[65536];
  while (!tooLarge) {
    const long n = platform::ReadSome(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failed = true;
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
    tooLarge = text.size() > kMaxDemoBytes;
  }
  platform::CloseFile(fd);
  if (tooLarge) {
    error = "larger than " + std::to_string(kMaxDemoBytes >> 20) + " MiB";
    return false;
  }
  if (failed) {
    error = "cannot be read";
    return false;
  }
  return ParseDemo(text, out, error);
}

DemoWriter::~DemoWriter() {
  if (file_ != nullptr) std::fclose(file_);
}

bool DemoWriter::Open(const std::string& path, std::string& error) {
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

void DemoWriter::Line(const std::string& text) {
  if (file_ == nullptr) return;
  if (std::fputs(text.c_str(), file_) < 0 || std::fputc('\n', file_) == EOF) failed_ = true;
  bytes_ += static_cast<int64_t>(text.size()) + 1;
}

void DemoWriter::Header(const DemoFile& h) {
  Line("#vxdemo " + std::to_string(kDemoFormat));
  Line("# A recorded game: vxgame --play FILE shows it again.");
  Line("#engine " + h.engine);
  Line("#data " + h.data);
  for (const auto& [name, value] : h.settings) Line("#setting " + name + " " + value);
  for (const DemoEmbeddedFile& f : h.files) {
    Line("#file " + f.name + " " + std::to_string(f.bytes.size()));
    for (size_t i = 0; i < f.bytes.size(); i += kBase64LineBytes)
      Line("#b64 " + Base64(f.bytes, i, std::min(kBase64LineBytes, f.bytes.size() - i)));
  }
}

void DemoWriter::Event(const platform::ScriptEvent& e) {
  std::string line = std::to_string(e.tick) + " ";
  const platform::Message& m = e.message;
  char xy[32];
  if (e.close) {
    line += "close";
  } else if (e.resize) {
    line += "resize " + std::to_string(e.width) + " " + std::to_string(e.height);
  } else {
    switch (m.message) {
      case wm::WM_KEYDOWN:
        line += std::string("keydown ") + KeyNameFromCode(m.wParam);
        if ((m.lParam & platform::kKeyRepeat) != 0) line += " repeat";
        break;
      case wm::WM_KEYUP:
        line += std::string("keyup ") + KeyNameFromCode(m.wParam);
        break;
      case wm::WM_MOUSEMOVE:
        std::snprintf(xy, sizeof xy, "mousemove %d %d", m.lParam & 0xFFFF, m.lParam >> 16);
        line += xy;
        break;
      case wm::WM_LBUTTONDOWN:
        line += "lbuttondown";
        break;
      case wm::WM_LBUTTONUP:
        line += "lbuttonup";
        break;
      case wm::WM_RBUTTONDOWN:
        line += "rbuttondown";
        break;
      case wm::WM_RBUTTONUP:
        line += "rbuttonup";
        break;
      case wm::WM_ACTIVATEAPP:
        line += m.wParam != 0 ? "activate 1" : "activate 0";
        break;
      case wm::WM_PADBUTTONDOWN:
      case wm::WM_PADBUTTONUP:
        line += std::string(m.message == wm::WM_PADBUTTONDOWN ? "paddown " : "padup ") +
                platform::PadButtonName(static_cast<platform::PadButton>(m.wParam));
        break;
      default:
        return;
    }
  }
  Line(line);
}

void DemoWriter::ClockReadings(int64_t tick, const std::vector<int32_t>& readings) {
  if (readings.empty()) return;
  std::string line = std::to_string(tick) + " clock";
  for (const int32_t r : readings) {
    const int32_t delta =
        static_cast<int32_t>(static_cast<uint32_t>(r) - static_cast<uint32_t>(lastReading_));
    line += " " + std::to_string(delta);
    lastReading_ = r;
  }
  Line(line);
}

void DemoWriter::Check(int64_t frame, uint64_t checksum) {
  Line("#check " + std::to_string(frame) + " " + ChecksumText(checksum));
}

bool DemoWriter::End(int64_t ticks, int64_t frames, uint64_t checksum) {
  Line("#end " + std::to_string(ticks) + " " + std::to_string(frames) + " " + ChecksumText(checksum));
  if (file_ == nullptr) return false;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return closed && !failed_;
}

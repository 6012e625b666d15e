#include "platform/headless/input_script.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "platform/gamepad.h"
#include "platform/regular_file.h"

namespace platform {
namespace {

constexpr size_t kQuotedChars = 40;

// A word of the script as a message shows it: its first 40 characters, with
// bytes that are not printable written as \xNN so that nothing from the file
// reaches the terminal as a control sequence.
std::string Quote(const std::string& word) {
  std::string q = "'";
  const size_t shown = std::min(word.size(), kQuotedChars);
  for (size_t i = 0; i < shown; ++i) {
    const unsigned char c = static_cast<unsigned char>(word[i]);
    if (c >= 0x20 && c < 0x7f) {
      q += static_cast<char>(c);
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      q += escaped;
    }
  }
  if (word.size() > shown) q += "...";
  return q + "'";
}

bool ParseInt(const std::string& word, int64_t lo, int64_t hi, int64_t& out) {
  if (word.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(word.c_str(), &end, 10);
  if (errno != 0 || end == word.c_str() || *end != '\0' || v < lo || v > hi) return false;
  out = v;
  return true;
}

}  // namespace

bool ParseScriptWords(const std::vector<std::string>& w, ScriptEvent& ev, std::string& error) {
  ev = ScriptEvent{};
  if (w.empty()) {
    error = "missing tick number";
    return false;
  }
  if (!ParseInt(w[0], 1, INT64_C(1) << 40, ev.tick)) {
    error = "expected a tick number of 1 or more, got " + Quote(w[0]);
    return false;
  }
  if (w.size() < 2) {
    error = "missing event name";
    return false;
  }
  const std::string& name = w[1];
  size_t wantArgs = 0;
  if (name == "keydown" || name == "keyup") {
    wantArgs = 1;
    // A key-down the key's auto-repeat sent ("keydown RIGHT repeat").
    if (name == "keydown" && w.size() == 4 && w[3] == "repeat") {
      wantArgs = 2;
      ev.message.lParam = kKeyRepeat;
    }
    if (w.size() == 2 + wantArgs) {
      const uint32_t code = KeyCodeFromName(w[2].c_str());
      if (code == 0) {
        error = "unknown key " + Quote(w[2]);
        return false;
      }
      ev.message.message = name == "keydown" ? wm::WM_KEYDOWN : wm::WM_KEYUP;
      ev.message.wParam = code;
    }
  } else if (name == "mousemove") {
    wantArgs = 2;
    if (w.size() == 4) {
      int64_t x = 0, y = 0;
      // As the message carries them: x in 16 unsigned bits, y in 16 signed
      // bits (above or left of the picture while a button is held).
      if (!ParseInt(w[2], 0, 65535, x) || !ParseInt(w[3], -32768, 32767, y)) {
        error = "mouse coordinates must be 0 to 65535 across and -32768 to 32767 down";
        return false;
      }
      ev.message.message = wm::WM_MOUSEMOVE;
      ev.message.lParam = MakeMouseParam(static_cast<int32_t>(x), static_cast<int32_t>(y));
    }
  } else if (name == "lbuttondown" || name == "lbuttonup" || name == "rbuttondown" || name == "rbuttonup") {
    ev.message.message = name == "lbuttondown"   ? wm::WM_LBUTTONDOWN
                         : name == "lbuttonup"   ? wm::WM_LBUTTONUP
                         : name == "rbuttondown" ? wm::WM_RBUTTONDOWN
                                                 : wm::WM_RBUTTONUP;
  } else if (name == "activate") {
    wantArgs = 1;
    if (w.size() == 3) {
      if (w[2] != "0" && w[2] != "1") {
        error = "activate takes 0 or 1";
        return false;
      }
      ev.message.message = wm::WM_ACTIVATEAPP;
      ev.message.wParam = w[2] == "1" ? 1u : 0u;
    }
  } else if (name == "close") {
    ev.close = true;
  } else if (name == "paddown" || name == "padup") {
    wantArgs = 1;
    if (w.size() == 3) {
      const PadButton button = PadButtonFromName(w[2].c_str());
      if (button == kPadButtonCount) {
        error = "unknown gamepad button " + Quote(w[2]);
        return false;
      }
      ev.message.message = name == "paddown" ? wm::WM_PADBUTTONDOWN : wm::WM_PADBUTTONUP;
      ev.message.wParam = button;
    }
  } else if (name == "resize") {
    wantArgs = 2;
    if (w.size() == 4) {
      int64_t width = 0, height = 0;
      if (!ParseInt(w[2], 1, 16384, width) || !ParseInt(w[3], 1, 16384, height)) {
        error = "a window size is 1 to 16384 on each side";
        return false;
      }
      ev.resize = true;
      ev.width = static_cast<int32_t>(width);
      ev.height = static_cast<int32_t>(height);
    }
  } else {
    error = "unknown event " + Quote(name);
    return false;
  }
  if (w.size() != 2 + wantArgs) {
    error = Quote(name) + " takes " + std::to_string(wantArgs) + " argument(s)";
    return false;
  }
  return true;
}

bool ParseInputScript(const std::string& text, std::vector<ScriptEvent>& out, std::string& error) {
  out.clear();
  if (text.size() > kMaxScriptBytes) {
    error = "larger than " + std::to_string(kMaxScriptBytes >> 20) + " MiB";
    return false;
  }
  int lineNo = 0;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string where = "line " + std::to_string(lineNo) + ": ";
    if (line.size() > kMaxScriptLineChars) {
      error = where + "longer than " + std::to_string(kMaxScriptLineChars) + " characters";
      return false;
    }
    // A NUL would cut a key name short ("ENTER<NUL>junk" read as ENTER).
    if (line.find('\0') != std::string::npos) {
      error = where + "holds a NUL byte";
      return false;
    }
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string s; words >> s;) w.push_back(s);
    if (w.empty() || w[0][0] == '#') continue;
    ScriptEvent ev;
    if (!ParseScriptWords(w, ev, error)) {
      error = where + error;
      return false;
    }
    out.push_back(ev);
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const ScriptEvent& a, const ScriptEvent& b) { return a.tick < b.tick; });
  return true;
}

bool ReadInputScript(const char* path, std::vector<ScriptEvent>& out, std::string& error) {
  out.clear();
  bool notRegular = false;
  const int fd = OpenRegularFile(path, &notRegular);
  if (fd < 0) {
    error = notRegular ? "not a regular file" : std::string("cannot be read (") + std::strerror(errno) + ")";
    return false;
  }
  // The size is checked before and while reading: the file may grow.
  std::string text;
  struct stat st;
  bool tooLarge = ::fstat(fd, &st) == 0 && static_cast<uint64_t>(st.st_size) > kMaxScriptBytes;
  bool failed = false;
  char buffer[65536];
  while (!tooLarge) {
    const long n = ReadSome(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) failed = true;
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
    tooLarge = text.size() > kMaxScriptBytes;
  }
  CloseFile(fd);
  if (tooLarge) {
    error = "larger than " + std::to_string(kMaxScriptBytes >> 20) + " MiB";
    return false;
  }
  if (failed) {
    error = "cannot be read";
    return false;
  }
  return ParseInputScript(text, out, error);
}

}  // namespace platform

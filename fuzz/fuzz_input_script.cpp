// The input-script reader on arbitrary text: a script that parses gives
// events in tick order; one that does not gives a short message naming the
// fault, with nothing of the file that a terminal would act on. Reading the
// same bytes from a file gives the same answer.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "platform/headless/input_script.h"

namespace {

// The longest message: the line number, the longest text around a word and
// the word quoted with 40 characters of four bytes each.
constexpr size_t kLongestMessage = 300;

bool SameEvents(const std::vector<platform::ScriptEvent>& a, const std::vector<platform::ScriptEvent>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].tick != b[i].tick || a[i].close != b[i].close || a[i].message.message != b[i].message.message ||
        a[i].message.wParam != b[i].message.wParam || a[i].message.lParam != b[i].message.lParam)
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<platform::ScriptEvent> events;
  std::string error;
  const bool parsed = platform::ParseInputScript(text, events, error);
  if (parsed) {
    for (size_t i = 0; i < events.size(); ++i) {
      if (events[i].tick < 1 || (i > 0 && events[i].tick < events[i - 1].tick)) std::abort();
      if (!events[i].close && events[i].message.message == 0) std::abort();
    }
  } else {
    if (error.empty() || error.size() > kLongestMessage) std::abort();
    for (const char c : error) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) std::abort();
    }
  }

  const std::string& path = fuzz::InputPath(".txt");
  if (!fuzz::WriteInput(path.c_str(), data, size)) return 0;
  std::vector<platform::ScriptEvent> fromFile;
  std::string fileError;
  if (platform::ReadInputScript(path.c_str(), fromFile, fileError) != parsed) std::abort();
  if (fileError != error || !SameEvents(events, fromFile)) std::abort();
  return 0;
}

// The demo reader on arbitrary text: a demo that parses holds events in
// tick order, at most the readings per tick and the embedded bytes the
// limits allow, names that stay inside a folder, checks in increasing
// frames; one that does not gives a short message naming the fault, with
// nothing a terminal would act on. Reading the same bytes from a file
// gives the same answer.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "shell/demo_file.h"

namespace {

constexpr size_t kLongestMessage = 300;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  DemoFile demo;
  std::string error;
  const bool parsed = ParseDemo(text, demo, error);
  if (parsed) {
    const auto& events = demo.input.events;
    for (size_t i = 0; i < events.size(); ++i) {
      if (events[i].tick < 1 || events[i].tick > demo.input.lastTick) std::abort();
      if (i > 0 && events[i].tick < events[i - 1].tick) std::abort();
    }
    for (const auto& [tick, readings] : demo.input.readings)
      if (readings.size() > kMaxReadingsPerTick || tick > demo.input.lastTick) std::abort();
    size_t embedded = 0;
    for (const DemoEmbeddedFile& f : demo.files) {
      if (!SafeEmbeddedName(f.name)) std::abort();
      embedded += f.bytes.size();
    }
    if (embedded > kMaxEmbeddedBytes) std::abort();
    if (demo.format < 1) std::abort();
  } else {
    if (error.empty() || error.size() > kLongestMessage) std::abort();
    for (const char c : error)
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) std::abort();
  }

  const std::string& path = fuzz::InputPath(".dem");
  if (!fuzz::WriteInput(path.c_str(), data, size)) return 0;
  DemoFile fromFile;
  std::string fileError;
  if (ReadDemo(path.c_str(), fromFile, fileError) != parsed || fileError != error) std::abort();
  return 0;
}

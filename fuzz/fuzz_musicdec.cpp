// Feeds arbitrary text to the music decoder's score parser.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "musicdec/score.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto result = musicdec::ParseScore(text);
  (void)result;
  return 0;
}

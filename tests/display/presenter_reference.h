#pragma once
// A plain, slow presenter written straight from the rules, one pixel and one
// step at a time, for comparing the engine's presenter against.
#include <cstdint>
#include <vector>

namespace vxref {

// Everything one full-screen present reads and writes.
struct Frame {
  int32_t displayWidth = 0;
  int32_t displayHeight = 0;
  std::vector<uint32_t> back;      // 800 x 600
  std::vector<uint32_t> previous;  // 800 x 600
  std::vector<uint32_t> surface;   // pitch x displayHeight
  int32_t pitch = 0;
  std::vector<int16_t> coverage;
  std::vector<int16_t> reciprocal;
  std::vector<uint8_t> brightness = std::vector<uint8_t>(257);
  bool brightnessActive = false;
  int32_t borderCountdown = 0;
  int32_t repaintCounter = 0;
  std::vector<uint32_t> border;  // empty: black margins
  int32_t borderWidth = 0;
  int32_t borderHeight = 0;
};

std::vector<int16_t> CoverageTable(int32_t displayWidthAtStart);
std::vector<int16_t> ReciprocalTable();
std::vector<uint8_t> BrightnessTable(int32_t offset, int32_t contrast);

// One full-screen present, counters included.
void PresentFullScreen(Frame& f);

}  // namespace vxref

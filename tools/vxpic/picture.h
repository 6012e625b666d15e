#pragma once
// The picture every vxpic conversion passes through: 32-bit pixels
// 0xAARRGGBB, rows top-down without padding, as the game holds pictures.
#include <cstdint>
#include <vector>

namespace vxpic {

struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;

  uint32_t At(int32_t x, int32_t y) const {
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
  }
};

}  // namespace vxpic

#pragma once
// Writes 32-bit back-buffer pixels to a PNG file (RGB, alpha dropped).
#include <cstdint>
#include <string>

bool WritePng(const std::string& path, const uint32_t* pixels, int32_t width, int32_t height,
              int32_t pitchPixels);

#pragma once
// Writes 32-bit back-buffer pixels to a PNG file (RGB, alpha dropped).
#include <cstdint>
#include <string>

bool WritePng(const std::string& path, const uint32_t* pixels, int32_t width, int32_t height,
              int32_t pitchPixels);

// The encoders a build can hold: libpng where the system has it, and the
// header-only stb_image_write everywhere (the Windows and browser builds
// have no libpng). WritePng takes libpng when it is built in. Both write
// the same pixels; their compressed bytes differ.
enum class PngEncoder { Libpng, Stb };
bool PngEncoderBuiltIn(PngEncoder encoder);
// False when the encoder is not built in, the picture is empty or the file
// cannot be written.
bool WritePngWith(PngEncoder encoder, const std::string& path, const uint32_t* pixels, int32_t width,
                  int32_t height, int32_t pitchPixels);

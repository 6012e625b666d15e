#pragma once
// PNG files for vxpic: read with libpng's row interface, so that every
// sample reaches the picture exactly as stored (no gamma or colour-space
// conversion), and written with its simplified interface.
#include <cstddef>
#include <cstdint>
#include <string>

#include "gfx/picture_file.h"
#include "vxpic/input_file.h"
#include "vxpic/picture.h"

namespace vxpic {

// What the header of a PNG says.
struct PngHeader {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bitDepth = 0;
  int32_t colourType = 0;  // libpng's PNG_COLOR_TYPE_*
  bool interlaced = false;
  bool transparency = false;  // a tRNS chunk
};

// Decodes a PNG held in memory. 8-bit (and lower) grey, grey with alpha,
// palette, RGB and RGBA images are read; 16-bit and interlaced images,
// pictures past the game's size bounds or past `maxPixels`, and damaged
// files are refused with the reason in `error`. `header` is filled as far
// as the file was read.
bool DecodePng(const uint8_t* data, size_t size, Picture& out, PngHeader& header, std::string& error,
               int64_t maxPixels = kPictureMaxPixels);

// Reads a PNG file as DecodePng reads bytes: a regular file of at most
// kPngMaxFileBytes whose first eight bytes are the signature, decoded as it
// is read. The error names no file.
bool ReadPng(const std::string& path, Picture& out, PngHeader& header, std::string& error);

// True when the bytes begin with the PNG signature.
bool LooksLikePng(const uint8_t* data, size_t size);

// Writes an 8-bit RGB PNG, or RGBA when `withAlpha`. False on a failed write.
bool WritePngFile(const std::string& path, const Picture& picture, bool withAlpha);

}  // namespace vxpic

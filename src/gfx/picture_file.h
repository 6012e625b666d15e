#pragma once
// Picture files: the reader `vxReadPic` for ".vx1" pictures, 24- and 32-bit
// bitmaps and palette-indexed texture strips, and the writers the data
// generator uses to make them.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "config/log.h"

inline constexpr int32_t kPictureRead = 4;  // status of a produced picture
inline constexpr const char* kPaletteFileName = "data/pal_c.000";
inline constexpr int32_t kPaletteValues = 771;
inline constexpr int32_t kPaletteRedStart = 513;  // the red table starts one value after 512
inline constexpr int32_t kStripDirectoryValues = 200;
inline constexpr int32_t kStripMaxTiles = 99;       // tiles the reader examines
inline constexpr int32_t kStripMaxCount = 1000000;  // larger value counts are refused
inline constexpr int32_t kPictureMaxSide = 16384;   // larger sides are refused
inline constexpr int64_t kPictureMaxPixels = int64_t{64} * 1024 * 1024;

// Bytes of a pixel buffer for a width × height picture: four spare bytes per
// row, one spare row and ten more, which the 3-byte packing and drawing rely on.
int64_t PictureBufferBytes(int32_t width, int32_t height);

// Whether pictures of this size are read or created: both sides 1 to
// kPictureMaxSide and at most kPictureMaxPixels pixels.
bool PictureSizeAllowed(int32_t width, int32_t height);

// Bytes a picture of an allowed size holds once in a slot: its pixel buffer
// and its four row-span tables. What the picture budget counts.
int64_t PictureHeldBytes(int32_t width, int32_t height);

// Allocates a zeroed pixel buffer of PictureBufferBytes (malloc, released with
// free); nullptr when the size is refused (a side below 1 or past the bounds)
// or memory runs out.
uint32_t* AllocatePictureBuffer(int32_t width, int32_t height);

// Reads the picture named `fileName` into a new buffer that the caller owns
// (free). Returns kPictureRead on success and 0 otherwise; on 0 `pixels` is
// nullptr or untouched. Writes its start, palette and end lines into `log`.
// A picture whose PictureHeldBytes pass `maxHeldBytes` is not read: status
// 0, before its memory is taken, with one more log line.
inline constexpr int64_t kNoPictureBudget = INT64_MAX;
int32_t vxReadPic(EngineLog& log, const char* fileName, uint32_t*& pixels, int32_t& width, int32_t& height,
                  int64_t maxHeldBytes = kNoPictureBudget);
// The same, asking `admit` with the picture's PictureHeldBytes before its
// memory is taken (at most once a read); a picture it refuses is not read,
// as one past `maxHeldBytes` above. An admitted picture may still fail to
// read (memory runs out): the caller gives back what `admit` took.
using PictureAdmission = std::function<bool(int64_t heldBytes)>;
int32_t vxReadPic(EngineLog& log, const char* fileName, uint32_t*& pixels, int32_t& width, int32_t& height,
                  const PictureAdmission& admit);

// --- Writers ---------------------------------------------------------------

// Writes a ".vx1" file from width × height pixels (0xAARRGGBB, top row
// first; alpha is not stored). Sides must be 1 to 32767. False on a refused
// size or a failed write.
bool WriteVx1(const char* fileName, int32_t width, int32_t height, const uint32_t* pixels);

// One square tile of a texture strip: side × side palette indices, row-major,
// top row first.
struct StripTile {
  int32_t side = 0;
  std::vector<uint8_t> indices;
};

// Writes a texture strip text file holding up to 100 tiles, packed one after
// another into the index stream. The reader takes tile 0 and the following
// tiles of the same side (at most 99). False on a bad tile or a failed write.
bool WriteTextureStrip(const char* fileName, const std::vector<StripTile>& tiles);

using PaletteValues = std::array<int32_t, kPaletteValues>;

// Palette values for 256 colours 0x??RRGGBB: each channel keeps its upper six
// bits (the reader multiplies by 4); the unused values are 0.
PaletteValues MakePalette(const uint32_t colours[256]);

// The colour (alpha 255) that the reader gives palette entry `index`.
uint32_t PaletteColour(const PaletteValues& palette, int32_t index);

// Writes the 771 palette values as a text file. False on a failed write.
bool WritePalette(const char* fileName, const PaletteValues& palette);

// For each of `count` pixels, the palette index whose colour (as the reader
// gives it) is nearest by squared distance over blue, green and red; the
// lowest index wins a tie.
void QuantiseToPalette(const PaletteValues& palette, const uint32_t* pixels, size_t count, uint8_t* indices);

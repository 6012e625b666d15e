#pragma once
// The game's picture files as vxpic sees them: which kind a name is, what a
// file's header and a strip's tile directory say, reading a picture exactly
// as the game does, and writing one back, refusing what the kind cannot hold.
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/picture_file.h"
#include "vxpic/picture.h"

namespace vxpic {

enum class Kind { kNone, kVx1, kBitmap, kStrip };

// The kind the game gives a name: its last three characters, spelled
// exactly ("vx1" or "VX1", "bmp" or "BMP", three digits).
Kind KindOfName(const std::string& name);

// The palette a strip is coloured with when none is named: "pal_c.000" in
// the strip's own folder, where the game keeps both.
std::string DefaultPalettePath(const std::string& stripPath);

// Reads the 771 values of a palette file as the game does (values that are
// missing or not numbers read as 0). False when it cannot be opened. `note`
// says when the file is not a clean palette (too few values, values outside
// 0..63), since the game then shows other colours than intended.
bool ReadPaletteFile(const std::string& path, PaletteValues& out, std::string& note, std::string& error);

// The size fields of a ".vx1" or bitmap header and how long the file is
// against how long its header says it is.
struct HeaderFacts {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bitsPerPixel = 0;  // bitmaps only
  int64_t fileBytes = 0;
  int64_t neededBytes = 0;  // header, offset and pixel rows; 0 when the size is not a picture
};
bool ReadHeaderFacts(const std::string& path, Kind kind, HeaderFacts& out, std::string& error);

// What the tile directory of a texture strip says.
struct StripDirectory {
  int64_t count = 0;     // the value count as written
  int32_t side = 0;      // side of tile 0
  int32_t tiles = 0;     // tiles the game shows (0 when it shows none)
  int32_t nextSide = 0;  // side of the first tile after those, 0 when none follows
  std::string problem;   // why the game shows nothing; empty when it shows the strip
};
bool ReadStripDirectory(const std::string& path, StripDirectory& out, std::string& error);

// Reads a picture with the game's own reader. A strip is coloured with the
// palette file `palettePath`; since the game takes the palette from its
// working folder, the read works for a moment inside a scratch folder (not
// for programs with threads). False, with the reason, when the game would
// get no picture from it.
bool ReadGamePicture(const std::string& path, const std::string& palettePath, Picture& out,
                     std::string& error);

struct WriteOptions {
  bool flatten = false;  // put translucent pixels over black instead of refusing them
  bool nearest = false;  // take the nearest palette colour instead of refusing others
};

struct WriteReport {
  int64_t flattened = 0;  // pixels whose alpha was dropped
  int64_t moved = 0;      // pixels whose colour became the nearest palette colour
};

// Writes `picture` as a file of `kind`, or refuses, with the reason, a
// picture the game would not read or the kind cannot hold: past the size
// bounds, translucent pixels in a ".vx1" or strip, colours outside the
// palette in a strip, a strip that is not whole square tiles. Bitmaps take
// 24 bits per pixel, or 32 when any pixel is translucent. The file is
// written beside its final name and renamed, so a failed write leaves an
// earlier file untouched. `palette` is needed for strips only.
bool WriteGamePicture(const std::string& path, Kind kind, const Picture& picture,
                      const PaletteValues* palette, const WriteOptions& options, WriteReport& report,
                      std::string& error);

// Makes every pixel opaque as if drawn over black; returns how many changed.
int64_t Flatten(Picture& picture);

// Pixels whose colour the palette does not hold: how many, and the first.
struct OffPalette {
  int64_t count = 0;
  int32_t x = 0, y = 0;
  uint32_t colour = 0;
};

// Cuts a picture of whole square tiles (height = side, width a multiple of
// it) into tiles of palette indices with the generator's quantiser: the
// nearest palette colour, the lowest index on a tie. Alpha is not looked at.
std::vector<StripTile> QuantiseTiles(const Picture& picture, const PaletteValues& palette, OffPalette& off);

// How many pixels are not fully opaque; the first of them in `firstX`, `firstY`.
int64_t CountTranslucent(const Picture& picture, int32_t& firstX, int32_t& firstY);

}  // namespace vxpic

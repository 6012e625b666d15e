// Feeds arbitrary bytes to the PNG reader of `vxpic from-png` and, when it
// takes them, on to what from-png does before writing: the alpha check, the
// flattening over black and the quantising of square tiles to a palette.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "gfx/picture_file.h"
#include "vxpic/game_files.h"
#include "vxpic/png_file.h"

namespace {

// A palette with a 6 x 6 x 6 colour cube and a grey ramp, so that inputs
// meet both exact and nearest colours.
const PaletteValues& FuzzPalette() {
  static const PaletteValues palette = [] {
    uint32_t colours[256] = {};
    for (uint32_t i = 0; i < 216; ++i)
      colours[i] = ((i / 36) * 51 << 16) | ((i / 6 % 6) * 51 << 8) | (i % 6) * 51;
    for (uint32_t i = 216; i < 256; ++i) colours[i] = ((i - 216) * 6) * 0x010101u;
    return MakePalette(colours);
  }();
  return palette;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vxpic::Picture picture;
  vxpic::PngHeader header;
  std::string error;
  if (!vxpic::DecodePng(data, size, picture, header, error, fuzz::kMaxPixels)) {
    // A refusal always says why and leaves no picture behind.
    if (error.empty() || !picture.pixels.empty()) std::abort();
    return 0;
  }
  const size_t area = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height);
  if (picture.width <= 0 || picture.height <= 0 || picture.pixels.size() != area) std::abort();
  if (picture.width != header.width || picture.height != header.height) std::abort();

  int32_t x = 0, y = 0;
  const int64_t translucent = vxpic::CountTranslucent(picture, x, y);
  if (vxpic::Flatten(picture) != translucent) std::abort();
  if (vxpic::CountTranslucent(picture, x, y) != 0) std::abort();

  if (picture.width % picture.height != 0) return 0;
  const PaletteValues& palette = FuzzPalette();
  vxpic::OffPalette off;
  const std::vector<StripTile> tiles = vxpic::QuantiseTiles(picture, palette, off);
  if (tiles.size() != static_cast<size_t>(picture.width / picture.height)) std::abort();
  // Every pixel the palette holds comes back as its own colour; the others
  // are exactly the ones counted.
  int64_t moved = 0;
  const size_t side = static_cast<size_t>(picture.height);
  for (size_t t = 0; t < tiles.size(); ++t) {
    if (tiles[t].side != picture.height || tiles[t].indices.size() != side * side) std::abort();
    for (size_t r = 0; r < side; ++r)
      for (size_t c = 0; c < side; ++c) {
        const uint32_t want =
            picture.pixels[r * static_cast<size_t>(picture.width) + t * side + c] & 0xffffffu;
        const uint32_t got = PaletteColour(palette, tiles[t].indices[r * side + c]) & 0xffffffu;
        if (got != want) ++moved;
      }
  }
  if (moved != off.count) std::abort();
  return 0;
}

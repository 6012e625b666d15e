#include "vxpic/game_files.h"

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unordered_map>
#include <vector>

#include "config/log.h"
#include "vxpic/input_file.h"

namespace vxpic {

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kOpaque = 0xff000000u;
// Palette indices a strip can hold: the value count is at most 1,000,000,
// of which 200 are the directory and the rest carry two indices each.
constexpr int64_t kStripMaxIndices = 2 * (int64_t{kStripMaxCount} - (kStripDirectoryValues - 1));

std::string Size(int64_t w, int64_t h) { return std::to_string(w) + " x " + std::to_string(h); }

std::string Hex(uint32_t colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06x", colour & 0xffffffu);
  return text;
}

std::string OverBounds(int64_t w, int64_t h) {
  return Size(w, h) + " is over the size bounds: the game reads pictures of up to " +
         std::to_string(kPictureMaxSide) + " pixels a side and " + std::to_string(kPictureMaxPixels) +
         " pixels in all";
}

bool WithinBounds(int64_t w, int64_t h) {
  return w <= kPictureMaxSide && h <= kPictureMaxSide && w * h <= kPictureMaxPixels;
}

// One number by formatted input, as the game reads strips and palettes: a
// value that cannot be read is 0, and so is every value after it.
int32_t ReadInt(std::istream& in) {
  int32_t v = 0;
  in >> v;
  return v;
}

// A folder of our own, removed with everything in it when done.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "vxpic-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// Works inside a folder until destroyed, then returns to where it was.
class InsideFolder {
 public:
  explicit InsideFolder(const fs::path& folder) {
    std::error_code ec;
    previous_ = fs::current_path(ec);
    if (!ec) fs::current_path(folder, ec);
    entered_ = !ec;
  }
  ~InsideFolder() {
    std::error_code ec;
    if (entered_) fs::current_path(previous_, ec);
  }
  InsideFolder(const InsideFolder&) = delete;
  InsideFolder& operator=(const InsideFolder&) = delete;
  bool entered() const { return entered_; }

 private:
  fs::path previous_;
  bool entered_ = false;
};

bool ReadWithEngine(const std::string& path, Picture& out) {
  EngineLog quiet;
  uint32_t* pixels = nullptr;
  int32_t w = 0, h = 0;
  if (vxReadPic(quiet, path.c_str(), pixels, w, h) != kPictureRead || pixels == nullptr) {
    std::free(pixels);
    return false;
  }
  out.width = w;
  out.height = h;
  out.pixels.assign(pixels, pixels + static_cast<size_t>(w) * static_cast<size_t>(h));
  std::free(pixels);
  return true;
}

// The game reads a strip's palette from "data/pal_c.000" of its working
// folder, so the strip is read from inside a scratch folder that holds a
// copy of the chosen palette under that name.
bool ReadStripWithPalette(const std::string& path, const std::string& palettePath, Picture& out,
                          std::string& error) {
  std::error_code ec;
  const fs::path strip = fs::absolute(path, ec);
  ScratchFolder scratch;
  if (ec || scratch.path().empty()) {
    error = "cannot make a scratch folder";
    return false;
  }
  fs::create_directories(scratch.path() / "data", ec);
  if (!ec) fs::copy_file(palettePath, scratch.path() / kPaletteFileName, ec);
  if (ec) {
    error = "cannot copy the palette " + palettePath + " (" + ec.message() + ")";
    return false;
  }
  InsideFolder inside(scratch.path());
  if (!inside.entered()) {
    error = "cannot enter a scratch folder";
    return false;
  }
  if (!ReadWithEngine(strip.string(), out)) {
    error = "the game reads no picture from it";
    return false;
  }
  return true;
}

void Put(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

// A bottom-up Windows bitmap: 24 bits with rows padded to 4 bytes, or 32
// bits with the alpha byte, as the game reads them.
bool WriteBitmap(const std::string& path, const Picture& p, bool withAlpha) {
  const size_t bytesPerPixel = withAlpha ? 4 : 3;
  const size_t stride = (static_cast<size_t>(p.width) * bytesPerPixel + 3) & ~size_t{3};
  const size_t dataBytes = stride * static_cast<size_t>(p.height);
  std::vector<uint8_t> b(54 + dataBytes, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put(b, 2, static_cast<uint32_t>(b.size()), 4);
  Put(b, 10, 54, 4);
  Put(b, 14, 40, 4);
  Put(b, 18, static_cast<uint32_t>(p.width), 4);
  Put(b, 22, static_cast<uint32_t>(p.height), 4);
  Put(b, 26, 1, 2);
  Put(b, 28, withAlpha ? 32 : 24, 2);
  Put(b, 34, static_cast<uint32_t>(dataBytes), 4);
  Put(b, 38, 2835, 4);  // 72 dots per inch
  Put(b, 42, 2835, 4);
  for (int32_t y = 0; y < p.height; ++y) {
    uint8_t* o = b.data() + 54 + static_cast<size_t>(p.height - 1 - y) * stride;
    for (int32_t x = 0; x < p.width; ++x) {
      const uint32_t v = p.At(x, y);
      *o++ = static_cast<uint8_t>(v);
      *o++ = static_cast<uint8_t>(v >> 8);
      *o++ = static_cast<uint8_t>(v >> 16);
      if (withAlpha) *o++ = static_cast<uint8_t>(v >> 24);
    }
  }
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool written = std::fwrite(b.data(), 1, b.size(), f) == b.size();
  return std::fclose(f) == 0 && written;
}

// Why `kind` cannot hold a picture of this size; empty when it can.
std::string ShapeProblem(Kind kind, const Picture& p) {
  if (p.width <= 0 || p.height <= 0) return "the picture is empty";
  if (!WithinBounds(p.width, p.height)) return OverBounds(p.width, p.height);
  if (kind != Kind::kStrip) return {};
  if (p.width % p.height != 0)
    return "a texture strip is square tiles side by side: the width " + std::to_string(p.width) +
           " must be a whole multiple of the height " + std::to_string(p.height);
  if (p.width / p.height > kStripMaxTiles)
    return "a texture strip shows at most " + std::to_string(kStripMaxTiles) + " tiles, this picture has " +
           std::to_string(p.width / p.height);
  if (int64_t{p.width} * p.height > kStripMaxIndices)
    return "a texture strip holds at most " + std::to_string(kStripMaxIndices) +
           " pixels, this picture has " + std::to_string(int64_t{p.width} * p.height);
  return {};
}

bool WriteKind(const std::string& path, Kind kind, const Picture& p, const std::vector<StripTile>& tiles) {
  switch (kind) {
    case Kind::kVx1:
      return WriteVx1(path.c_str(), p.width, p.height, p.pixels.data());
    case Kind::kBitmap: {
      int32_t x = 0, y = 0;
      return WriteBitmap(path, p, CountTranslucent(p, x, y) > 0);
    }
    case Kind::kStrip:
      return WriteTextureStrip(path.c_str(), tiles);
    case Kind::kNone:
      break;
  }
  return false;
}

}  // namespace

Kind KindOfName(const std::string& name) {
  if (name.size() < 3) return Kind::kNone;
  const std::string e = name.substr(name.size() - 3);
  if (e == "vx1" || e == "VX1") return Kind::kVx1;
  if (e == "bmp" || e == "BMP") return Kind::kBitmap;
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (digit(e[0]) && digit(e[1]) && digit(e[2])) return Kind::kStrip;
  return Kind::kNone;
}

std::string DefaultPalettePath(const std::string& stripPath) {
  return (fs::path(stripPath).parent_path() / "pal_c.000").string();
}

bool ReadPaletteFile(const std::string& path, PaletteValues& out, std::string& note, std::string& error) {
  std::string text, why;
  if (!ReadInputFile(path, kPaletteMaxFileBytes, text, why)) {
    error = "cannot open the palette " + path + " (" + why + ")";
    return false;
  }
  std::istringstream in(text);
  out.fill(0);
  int32_t read = 0;
  bool outside = false;
  for (int32_t& v : out) {
    v = ReadInt(in);
    if (in) ++read;
    outside |= v < 0 || v > 63;
  }
  note.clear();
  if (read < kPaletteValues)
    note = "the palette " + path + " holds " + std::to_string(read) + " numbers of " +
           std::to_string(kPaletteValues) + "; the rest read as 0";
  else if (outside)
    note = "the palette " + path + " has values outside 0..63; the game keeps the low 8 bits of 4 times each";
  return true;
}

bool ReadHeaderFacts(const std::string& path, Kind kind, HeaderFacts& out, std::string& error) {
  out = HeaderFacts{};
  InputFile in;
  if (!in.Open(path, kNoFileBound, error)) return false;
  uint8_t head[30] = {};  // bytes the file lacks read as 0, as the game reads them
  in.Read(head, sizeof head);
  out.fileBytes = static_cast<int64_t>(in.size());
  auto s16 = [&](int at) {
    return static_cast<int32_t>(static_cast<int16_t>(head[at] | (head[at + 1] << 8)));
  };
  auto u16 = [&](int at) { return static_cast<int32_t>(head[at] | (head[at + 1] << 8)); };
  if (kind == Kind::kVx1) {
    out.width = s16(0);
    out.height = s16(2);
    if (out.width > 0 && out.height > 0) out.neededBytes = 10 + int64_t{out.width} * 3 * out.height;
  } else {
    out.width = s16(18);
    out.height = s16(22);
    out.bitsPerPixel = u16(28);
    if (out.width > 0 && out.height > 0 && (out.bitsPerPixel == 24 || out.bitsPerPixel == 32)) {
      int64_t stride = int64_t{out.width} * (out.bitsPerPixel / 8);
      if (out.bitsPerPixel == 24) stride = (stride + 3) & ~int64_t{3};
      out.neededBytes = u16(10) + stride * out.height;
    }
  }
  return true;
}

bool ReadStripDirectory(const std::string& path, StripDirectory& out, std::string& error) {
  out = StripDirectory{};
  std::string text;
  if (!ReadInputFile(path, kStripMaxFileBytes, text, error)) return false;
  std::istringstream in(text);
  const int32_t count = ReadInt(in);
  out.count = count;
  if (count > kStripMaxCount) {
    out.problem = "its value count " + std::to_string(count) + " is above " + std::to_string(kStripMaxCount);
    return true;
  }
  int32_t directory[kStripDirectoryValues] = {};
  for (int32_t i = 0; i <= count && i < kStripDirectoryValues; ++i) directory[i] = ReadInt(in);
  const int64_t streamValues =
      count >= kStripDirectoryValues ? int64_t{count} - kStripDirectoryValues + 1 : 0;

  out.side = directory[1];
  if (out.side <= 0) {
    out.problem = "tile 0 has side " + std::to_string(out.side) + ", so the strip has no picture";
    return true;
  }
  int32_t tiles = 1;
  while (tiles < kStripMaxTiles && directory[2 * tiles + 1] == out.side) ++tiles;
  if (2 * tiles + 1 < kStripDirectoryValues) out.nextSide = directory[2 * tiles + 1];
  const int64_t area = int64_t{out.side} * out.side;
  for (int32_t j = 0; j < tiles; ++j) {
    const int64_t first = directory[2 * j];
    if (first < 0 || (first + area - 1) / 2 >= streamValues) {
      out.problem = "tile " + std::to_string(j) + " starts at index " + std::to_string(first) +
                    ", which with its " + std::to_string(area) + " pixels is outside the index stream of " +
                    std::to_string(2 * streamValues) + " indices";
      return true;
    }
  }
  if (!WithinBounds(int64_t{tiles} * out.side, out.side)) {
    out.problem = OverBounds(int64_t{tiles} * out.side, out.side);
    return true;
  }
  out.tiles = tiles;
  return true;
}

bool ReadGamePicture(const std::string& path, const std::string& palettePath, Picture& out,
                     std::string& error) {
  out = Picture{};
  const Kind kind = KindOfName(path);
  if (kind == Kind::kNone) {
    error =
        "the game reads no picture from this name: it takes names ending in vx1, VX1, bmp, BMP or three "
        "digits";
    return false;
  }
  if (kind == Kind::kStrip) {
    StripDirectory directory;
    if (!ReadStripDirectory(path, directory, error)) return false;
    if (!directory.problem.empty()) {
      error = "the game reads no picture from it: " + directory.problem;
      return false;
    }
    InputFile palette;
    std::string why;
    if (!palette.Open(palettePath, kPaletteMaxFileBytes, why)) {
      error = "cannot open the palette " + palettePath + " (" + why + "; name one with --palette FILE)";
      return false;
    }
    return ReadStripWithPalette(path, palettePath, out, error);
  }
  HeaderFacts facts;
  if (!ReadHeaderFacts(path, kind, facts, error)) return false;
  if (facts.width <= 0 || facts.height <= 0) {
    error = "the game reads no picture from it: its header gives the size " + Size(facts.width, facts.height);
    return false;
  }
  if (!WithinBounds(facts.width, facts.height)) {
    error = "the game reads no picture from it: " + OverBounds(facts.width, facts.height);
    return false;
  }
  if (!ReadWithEngine(path, out)) {
    error = "the game reads no picture from it";
    return false;
  }
  return true;
}

int64_t CountTranslucent(const Picture& picture, int32_t& firstX, int32_t& firstY) {
  int64_t count = 0;
  for (size_t i = 0; i < picture.pixels.size(); ++i) {
    if ((picture.pixels[i] & kOpaque) == kOpaque) continue;
    if (count++ == 0) {
      firstX = static_cast<int32_t>(i % static_cast<size_t>(picture.width));
      firstY = static_cast<int32_t>(i / static_cast<size_t>(picture.width));
    }
  }
  return count;
}

// Each distinct colour goes through the generator's quantiser once.
std::vector<StripTile> QuantiseTiles(const Picture& p, const PaletteValues& palette, OffPalette& off) {
  if (p.width <= 0 || p.height <= 0 || p.width % p.height != 0 ||
      p.pixels.size() != static_cast<size_t>(p.width) * static_cast<size_t>(p.height))
    return {};
  std::unordered_map<uint32_t, uint8_t> indexOf;
  std::vector<uint32_t> colours;
  for (const uint32_t v : p.pixels) {
    if (indexOf.emplace(v & 0xffffffu, 0).second) colours.push_back(v & 0xffffffu);
  }
  std::vector<uint8_t> indices(colours.size());
  QuantiseToPalette(palette, colours.data(), colours.size(), indices.data());
  for (size_t i = 0; i < colours.size(); ++i) indexOf[colours[i]] = indices[i];

  const int32_t side = p.height;
  std::vector<StripTile> tiles(static_cast<size_t>(p.width / side));
  for (size_t t = 0; t < tiles.size(); ++t) {
    tiles[t].side = side;
    tiles[t].indices.resize(static_cast<size_t>(side) * static_cast<size_t>(side));
  }
  for (int32_t y = 0; y < p.height; ++y) {
    for (int32_t x = 0; x < p.width; ++x) {
      const uint32_t colour = p.At(x, y) & 0xffffffu;
      const uint8_t index = indexOf[colour];
      if ((PaletteColour(palette, index) & 0xffffffu) != colour && off.count++ == 0) {
        off.x = x;
        off.y = y;
        off.colour = colour;
      }
      tiles[static_cast<size_t>(x / side)]
          .indices[static_cast<size_t>(y) * static_cast<size_t>(side) + static_cast<size_t>(x % side)] =
          index;
    }
  }
  return tiles;
}

int64_t Flatten(Picture& picture) {
  int64_t changed = 0;
  for (uint32_t& v : picture.pixels) {
    const uint32_t a = v >> 24;
    if (a == 255) continue;
    // Over black: each channel times alpha / 255, rounded.
    auto channel = [&](int shift) { return (((v >> shift) & 0xffu) * a + 127) / 255 << shift; };
    v = kOpaque | channel(16) | channel(8) | channel(0);
    ++changed;
  }
  return changed;
}

bool WriteGamePicture(const std::string& path, Kind kind, const Picture& picture,
                      const PaletteValues* palette, const WriteOptions& options, WriteReport& report,
                      std::string& error) {
  report = WriteReport{};
  if (kind == Kind::kNone) {
    error = "the game reads no picture from this name: end it in vx1, bmp or three digits";
    return false;
  }
  if (picture.pixels.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height)) {
    error = "the picture is damaged";
    return false;
  }
  if (const std::string problem = ShapeProblem(kind, picture); !problem.empty()) {
    error = problem;
    return false;
  }
  Picture p = picture;
  int32_t x = 0, y = 0;
  const int64_t translucent = CountTranslucent(p, x, y);
  // A bitmap of 32 bits keeps alpha; the other kinds have none to keep.
  if (translucent > 0 && kind != Kind::kBitmap && !options.flatten) {
    const uint32_t alpha = p.At(x, y) >> 24;
    error = std::to_string(translucent) + " pixels are not fully opaque (the first at " + std::to_string(x) +
            ", " + std::to_string(y) + ", alpha " + std::to_string(alpha) + "); " +
            (kind == Kind::kVx1 ? "a .vx1 picture" : "a texture strip") +
            " has no alpha: make them opaque, or use --flatten to put them over black (most game pictures "
            "show black as see-through)";
    return false;
  }
  if (options.flatten) report.flattened = Flatten(p);
  std::vector<StripTile> tiles;
  if (kind == Kind::kStrip) {
    if (palette == nullptr) {
      error = "a texture strip needs a palette";
      return false;
    }
    OffPalette off;
    tiles = QuantiseTiles(p, *palette, off);
    if (off.count > 0 && !options.nearest) {
      error = std::to_string(off.count) + " pixels have colours that are not in the palette (the first at " +
              std::to_string(off.x) + ", " + std::to_string(off.y) + ": " + Hex(off.colour) +
              "); paint with the palette's colours (vxpic palette shows them), or use --nearest to take the "
              "nearest palette colour";
      return false;
    }
    report.moved = off.count;
  }
  const std::string temporary = path + ".vxpic-new";
  if (!WriteKind(temporary, kind, p, tiles)) {
    std::remove(temporary.c_str());
    error = "cannot write it";
    return false;
  }
  std::error_code ec;
  fs::rename(temporary, path, ec);
  if (ec) {
    std::remove(temporary.c_str());
    error = "cannot write it (" + ec.message() + ")";
    return false;
  }
  return true;
}

}  // namespace vxpic

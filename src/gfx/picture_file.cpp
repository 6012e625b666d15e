#include "gfx/picture_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>

#include "platform/game_files.h"
#include "platform/regular_file.h"

namespace {

enum class PictureKind { kNone, kVx1, kBitmap, kStrip };

// The kind is chosen by the last three characters of the name, exactly as
// spelled: mixed-case extensions are not pictures.
PictureKind KindOf(const char* name) {
  const size_t n = std::strlen(name);
  if (n < 3) return PictureKind::kNone;
  const char* e = name + n - 3;
  if (std::strcmp(e, "vx1") == 0 || std::strcmp(e, "VX1") == 0) return PictureKind::kVx1;
  if (std::strcmp(e, "bmp") == 0 || std::strcmp(e, "BMP") == 0) return PictureKind::kBitmap;
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (digit(e[0]) && digit(e[1]) && digit(e[2])) return PictureKind::kStrip;
  return PictureKind::kNone;
}

constexpr uint32_t kOpaque = 0xff000000u;
constexpr uint32_t kGrey = 0xff646464u;  // the picture of a bitmap depth we do not read

int32_t Signed16(const uint8_t* p) { return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8))); }
int32_t Unsigned16(const uint8_t* p) { return p[0] | (p[1] << 8); }

uint32_t Bgr(const uint8_t* p) {
  return kOpaque | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | uint32_t{p[0]};
}

uint32_t Bgra(const uint8_t* p) {
  return (uint32_t{p[3]} << 24) | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | uint32_t{p[0]};
}

// Reads the rows of a bottom-up picture: each file row is `stride` bytes of
// which the first width × `bytesPerPixel` hold pixels. Reading ends at the
// first row that does not supply all its pixels; pixels not supplied get
// `missing`.
void ReadBottomUpRows(std::FILE* f, uint32_t* pixels, int32_t width, int32_t height, int32_t bytesPerPixel,
                      size_t stride, uint32_t missing) {
  std::vector<uint8_t> row(stride);
  const size_t rowPixelBytes = static_cast<size_t>(width) * static_cast<size_t>(bytesPerPixel);
  bool more = true;
  for (int32_t y = height - 1; y >= 0; --y) {
    size_t got = more ? std::fread(row.data(), 1, stride, f) : 0;
    if (got < rowPixelBytes) more = false;
    if (got > rowPixelBytes) got = rowPixelBytes;
    const int32_t full = static_cast<int32_t>(got / static_cast<size_t>(bytesPerPixel));
    uint32_t* out = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
    for (int32_t x = 0; x < full; ++x) {
      const uint8_t* p = row.data() + static_cast<size_t>(x) * static_cast<size_t>(bytesPerPixel);
      out[x] = bytesPerPixel == 3 ? Bgr(p) : Bgra(p);
    }
    for (int32_t x = full; x < width; ++x) out[x] = missing;
  }
}

// What a reader may take: the admission that the picture's bytes must
// pass, and the log and name for the line that says it refused; `path` is
// where the file is read from (the player's folder or the generated set).
struct Room {
  const PictureAdmission& admit;
  EngineLog& log;
  const char* name;
  const char* path;
};

// The pixel buffer for a picture of the size a file declares, or nullptr
// when the size is refused or would pass the room left; the latter is logged.
uint32_t* AllocateWithin(const Room& room, int32_t width, int32_t height) {
  if (PictureSizeAllowed(width, height) && !room.admit(PictureHeldBytes(width, height))) {
    LogText(room.log, "vxReadPic over memory budget. not read: ", room.name);
    return nullptr;
  }
  return AllocatePictureBuffer(width, height);
}

int32_t ReadVx1(const Room& room, uint32_t*& pixels, int32_t& width, int32_t& height) {
  std::FILE* f = platform::OpenRegularFileStream(room.path);
  if (f == nullptr) return 0;
  uint8_t head[4] = {};
  (void)std::fread(head, 1, sizeof head, f);
  const int32_t w = Signed16(head);
  const int32_t h = Signed16(head + 2);
  width = w;
  height = h;
  uint32_t* buffer = AllocateWithin(room, w, h);
  if (buffer == nullptr) {
    std::fclose(f);
    pixels = nullptr;
    return 0;
  }
  const size_t stride = static_cast<size_t>(w) * 3;
  if (std::fseek(f, 10, SEEK_SET) != 0) std::fseek(f, 0, SEEK_END);
  ReadBottomUpRows(f, buffer, w, h, 3, stride, kOpaque);
  std::fclose(f);
  pixels = buffer;
  return kPictureRead;
}

int32_t ReadBitmap(const Room& room, uint32_t*& pixels, int32_t& width, int32_t& height) {
  std::FILE* f = platform::OpenRegularFileStream(room.path);
  if (f == nullptr) return 0;
  uint8_t head[30] = {};  // header bytes the file lacks read as 0
  (void)std::fread(head, 1, sizeof head, f);
  const int32_t offset = Unsigned16(head + 10);
  const int32_t w = Signed16(head + 18);
  const int32_t h = Signed16(head + 22);
  const int32_t bits = Unsigned16(head + 28);
  width = w;
  height = h;
  uint32_t* buffer = AllocateWithin(room, w, h);
  if (buffer == nullptr) {
    std::fclose(f);
    pixels = nullptr;
    return 0;
  }
  if (bits == 24 || bits == 32) {
    const int32_t bytesPerPixel = bits / 8;
    size_t stride = static_cast<size_t>(w) * static_cast<size_t>(bytesPerPixel);
    if (bits == 24) stride = (stride + 3) & ~size_t{3};
    if (std::fseek(f, offset, SEEK_SET) != 0) std::fseek(f, 0, SEEK_END);
    // Unsupplied pixels are cleared to what the depth gives every pixel:
    // opaque black for 24 bits; for 32 bits the file's alpha is missing too.
    ReadBottomUpRows(f, buffer, w, h, bytesPerPixel, stride, bits == 24 ? kOpaque : 0u);
  } else {
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    for (size_t i = 0; i < count; ++i) buffer[i] = kGrey;
  }
  std::fclose(f);
  pixels = buffer;
  return kPictureRead;
}

// One decimal integer by formatted input. A value that cannot be read is 0
// (out of range: the nearest limit), and every later value is 0 as well.
int32_t ReadInt(std::istream& in) {
  int32_t v = 0;
  in >> v;
  return v;
}

// A text file opened for formatted reading, when it is a regular file: a
// named pipe in its place would block the open.
void OpenText(std::ifstream& in, const char* path) {
  if (platform::IsRegularFile(path)) in.open(path);
}

int32_t ReadStrip(const Room& room, uint32_t*& pixels, int32_t& width, int32_t& height) {
  std::ifstream in;
  OpenText(in, room.path);
  const bool haveStrip = in.is_open();
  int32_t count = haveStrip ? ReadInt(in) : -1;
  if (count > kStripMaxCount) count = -1;
  int32_t directory[kStripDirectoryValues] = {};
  std::vector<int16_t> stream;  // stream[m] is value number 200 + m
  if (count >= kStripDirectoryValues)
    stream.assign(static_cast<size_t>(count - kStripDirectoryValues + 1), 0);
  for (int32_t i = 0; i <= count && in; ++i) {
    const int32_t v = ReadInt(in);
    if (i < kStripDirectoryValues) {
      directory[i] = v;
    } else {
      stream[static_cast<size_t>(i - kStripDirectoryValues)] = static_cast<int16_t>(static_cast<uint16_t>(v));
    }
  }

  LogText(room.log, "vxReadPic trying read system file: ", kPaletteFileName);
  std::ifstream paletteFile;
  OpenText(paletteFile, platform::GameFile(kPaletteFileName).c_str());
  if (!haveStrip || count < 0 || !paletteFile.is_open()) return 0;
  PaletteValues palette{};
  for (int32_t& v : palette) v = ReadInt(paletteFile);

  const int32_t side = directory[1];
  if (side <= 0 || side > kPictureMaxSide) return 0;
  int32_t tiles = 1;
  while (tiles < kStripMaxTiles && directory[2 * tiles + 1] == side) ++tiles;
  const int64_t area = int64_t{side} * side;
  for (int32_t j = 0; j < tiles; ++j) {
    const int64_t first = directory[2 * j];
    const int64_t last = first + area - 1;
    if (first < 0 || last / 2 >= static_cast<int64_t>(stream.size())) return 0;
  }
  const int64_t w = int64_t{tiles} * side;
  if (w > kPictureMaxSide) return 0;
  uint32_t* buffer = AllocateWithin(room, static_cast<int32_t>(w), side);
  if (buffer == nullptr) return 0;

  uint32_t colours[256];
  for (int32_t i = 0; i < 256; ++i) colours[i] = PaletteColour(palette, i);
  for (int32_t j = 0; j < tiles; ++j) {
    const int64_t first = directory[2 * j];
    for (int32_t r = 0; r < side; ++r) {
      uint32_t* out =
          buffer + static_cast<size_t>(r) * static_cast<size_t>(w) + static_cast<size_t>(j) * side;
      const int64_t rowStart = first + int64_t{side - 1 - r} * side;
      for (int32_t c = 0; c < side; ++c) {
        const int64_t pos = rowStart + c;
        const uint16_t packed = static_cast<uint16_t>(stream[static_cast<size_t>(pos >> 1)]);
        const uint32_t index = (pos & 1) != 0 ? (packed & 0xffu) : (packed >> 8);
        out[c] = colours[index];
      }
    }
  }
  width = static_cast<int32_t>(w);
  height = side;
  pixels = buffer;
  return kPictureRead;
}

}  // namespace

int64_t PictureBufferBytes(int32_t width, int32_t height) {
  const int64_t row = int64_t{width} * 4 + 4;
  return int64_t{height} * row + 10 + row;
}

bool PictureSizeAllowed(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || width > kPictureMaxSide || height > kPictureMaxSide) return false;
  return int64_t{width} * height <= kPictureMaxPixels;
}

int64_t PictureHeldBytes(int32_t width, int32_t height) {
  constexpr int64_t kSpanTables = 4;
  return PictureBufferBytes(width, height) + kSpanTables * int64_t{height} * int64_t{sizeof(int32_t)};
}

uint32_t* AllocatePictureBuffer(int32_t width, int32_t height) {
  if (!PictureSizeAllowed(width, height)) return nullptr;
  // Zeroed, so the spare bytes that the 3-byte readers touch are defined.
  return static_cast<uint32_t*>(std::calloc(static_cast<size_t>(PictureBufferBytes(width, height)), 1));
}

int32_t vxReadPic(EngineLog& log, const char* fileName, uint32_t*& pixels, int32_t& width, int32_t& height,
                  int64_t maxHeldBytes) {
  const PictureAdmission within = [maxHeldBytes](int64_t bytes) { return bytes <= maxHeldBytes; };
  return vxReadPic(log, fileName, pixels, width, height, within);
}

int32_t vxReadPic(EngineLog& log, const char* fileName, uint32_t*& pixels, int32_t& width, int32_t& height,
                  const PictureAdmission& admit) {
  const char* name = fileName != nullptr ? fileName : "";
  LogText(log, "vxReadPic start. trying read: ", name);
  const std::string path = platform::GameFile(name);
  const Room room{admit, log, name, path.c_str()};
  int32_t status = 0;
  switch (KindOf(name)) {
    case PictureKind::kVx1:
      status = ReadVx1(room, pixels, width, height);
      break;
    case PictureKind::kBitmap:
      status = ReadBitmap(room, pixels, width, height);
      break;
    case PictureKind::kStrip:
      status = ReadStrip(room, pixels, width, height);
      break;
    case PictureKind::kNone:
      break;
  }
  // The closing line says "read" only for a picture that was read.
  LogText(log, status == kPictureRead ? "vxReadPic fin read " : "vxReadPic fin. cannot read ", name);
  return status;
}

// --- Writers ---------------------------------------------------------------

namespace {

bool WriteText(const char* fileName, const std::string& text) {
  std::FILE* f = std::fopen(fileName, "wb");
  if (f == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && written;
}

// Appends values separated by blanks, `perLine` to a line.
void AppendValues(std::string& text, const int32_t* values, size_t count, size_t perLine) {
  for (size_t i = 0; i < count; ++i) {
    text += std::to_string(values[i]);
    text += (i + 1) % perLine == 0 || i + 1 == count ? '\n' : ' ';
  }
}

}  // namespace

bool WriteVx1(const char* fileName, int32_t width, int32_t height, const uint32_t* pixels) {
  constexpr int32_t kMaxSide = std::numeric_limits<int16_t>::max();
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide || pixels == nullptr) return false;
  std::vector<uint8_t> bytes(10 + static_cast<size_t>(width) * 3 * static_cast<size_t>(height), 0);
  bytes[0] = static_cast<uint8_t>(width);
  bytes[1] = static_cast<uint8_t>(width >> 8);
  bytes[2] = static_cast<uint8_t>(height);
  bytes[3] = static_cast<uint8_t>(height >> 8);
  uint8_t* out = bytes.data() + 10;
  for (int32_t y = height - 1; y >= 0; --y) {
    const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
    for (int32_t x = 0; x < width; ++x) {
      *out++ = static_cast<uint8_t>(row[x]);
      *out++ = static_cast<uint8_t>(row[x] >> 8);
      *out++ = static_cast<uint8_t>(row[x] >> 16);
    }
  }
  std::FILE* f = std::fopen(fileName, "wb");
  if (f == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && written;
}

bool WriteTextureStrip(const char* fileName, const std::vector<StripTile>& tiles) {
  constexpr size_t kMaxTiles = kStripDirectoryValues / 2;
  if (tiles.empty() || tiles.size() > kMaxTiles) return false;
  int32_t directory[kStripDirectoryValues] = {};
  std::vector<uint8_t> positions;  // the index stream, one index per position
  for (size_t j = 0; j < tiles.size(); ++j) {
    const StripTile& t = tiles[j];
    if (t.side <= 0 || t.side > kPictureMaxSide) return false;
    const size_t side = static_cast<size_t>(t.side);
    if (t.indices.size() != side * side) return false;
    if (positions.size() + side * side > 2 * static_cast<size_t>(kStripMaxCount)) return false;
    directory[2 * j] = static_cast<int32_t>(positions.size());
    directory[2 * j + 1] = t.side;
    // Rows from the bottom up, each left to right.
    for (size_t r = side; r-- > 0;) {
      positions.insert(positions.end(), t.indices.begin() + static_cast<std::ptrdiff_t>(r * side),
                       t.indices.begin() + static_cast<std::ptrdiff_t>((r + 1) * side));
    }
  }
  if (positions.size() % 2 != 0) positions.push_back(0);
  std::vector<int32_t> stream(positions.size() / 2);
  for (size_t m = 0; m < stream.size(); ++m) {
    const uint16_t packed = static_cast<uint16_t>((positions[2 * m] << 8) | positions[2 * m + 1]);
    stream[m] = static_cast<int16_t>(packed);  // the stream holds signed 16-bit values
  }
  const size_t count = kStripDirectoryValues - 1 + stream.size();
  if (count > static_cast<size_t>(kStripMaxCount)) return false;
  std::string text = std::to_string(count) + "\n";
  AppendValues(text, directory, kStripDirectoryValues, 10);
  AppendValues(text, stream.data(), stream.size(), 16);
  return WriteText(fileName, text);
}

PaletteValues MakePalette(const uint32_t colours[256]) {
  PaletteValues p{};
  for (int32_t i = 0; i < 256; ++i) {
    p[static_cast<size_t>(i)] = static_cast<int32_t>((colours[i] & 0xffu) >> 2);
    p[static_cast<size_t>(256 + i)] = static_cast<int32_t>(((colours[i] >> 8) & 0xffu) >> 2);
    p[static_cast<size_t>(kPaletteRedStart + i)] = static_cast<int32_t>(((colours[i] >> 16) & 0xffu) >> 2);
  }
  return p;
}

uint32_t PaletteColour(const PaletteValues& palette, int32_t index) {
  // Six-bit values times four, kept to their low eight bits; unsigned so that
  // any value read from a file wraps instead of overflowing.
  auto channel = [&](int32_t at) {
    return (static_cast<uint32_t>(palette[static_cast<size_t>(at)]) * 4u) & 0xffu;
  };
  const int32_t i = index & 0xff;
  return kOpaque | (channel(kPaletteRedStart + i) << 16) | (channel(256 + i) << 8) | channel(i);
}

bool WritePalette(const char* fileName, const PaletteValues& palette) {
  std::string text;
  AppendValues(text, palette.data(), palette.size(), 16);
  return WriteText(fileName, text);
}

void QuantiseToPalette(const PaletteValues& palette, const uint32_t* pixels, size_t count, uint8_t* indices) {
  uint32_t colours[256];
  for (int32_t i = 0; i < 256; ++i) colours[i] = PaletteColour(palette, i);
  for (size_t n = 0; n < count; ++n) {
    const uint32_t p = pixels[n];
    int64_t best = std::numeric_limits<int64_t>::max();
    uint8_t bestIndex = 0;
    for (int32_t i = 0; i < 256; ++i) {
      int64_t d = 0;
      for (int32_t shift = 0; shift <= 16; shift += 8) {
        const int64_t a = (p >> shift) & 0xffu;
        const int64_t b = (colours[i] >> shift) & 0xffu;
        d += (a - b) * (a - b);
      }
      if (d < best) {
        best = d;
        bestIndex = static_cast<uint8_t>(i);
      }
    }
    indices[n] = bestIndex;
  }
}

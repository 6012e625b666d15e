#include "vxpic/png_file.h"

#include <png.h>

#include <cstdio>
#include <cstring>

namespace vxpic {

namespace {

// Everything the libpng callbacks touch lives here, outside the frame that
// calls setjmp, so nothing in that frame is changed between the jump's set
// and its landing.
struct DecodeState {
  const uint8_t* data = nullptr;
  size_t size = 0;
  size_t position = 0;
  InputFile* file = nullptr;  // read from here instead, when given
  std::string error;
  std::vector<uint8_t> row;
};

void ReadBytes(png_structp png, png_bytep out, png_size_t count) {
  auto* s = static_cast<DecodeState*>(png_get_io_ptr(png));
  if (s->file != nullptr) {
    if (s->file->Read(out, count) != count) png_error(png, "the file ends inside the image");
    return;
  }
  if (count > s->size - s->position) png_error(png, "the file ends inside the image");
  std::memcpy(out, s->data + s->position, count);
  s->position += count;
}

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
  auto* s = static_cast<DecodeState*>(png_get_error_ptr(png));
  if (s->error.empty()) s->error = std::string("damaged PNG (") + message + ")";
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// The part between setjmp and the last libpng call. `header` and `out`
// belong to the caller; a jump back lands here with them half filled.
bool DecodeRows(png_structp png, png_infop info, DecodeState& s, Picture& out, PngHeader& header,
                int64_t maxPixels) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_set_read_fn(png, &s, &ReadBytes);
  // A file's signature is read and checked before libpng is started.
  if (s.file != nullptr) png_set_sig_bytes(png, 8);
  // The size bounds are ours to check, with a message that names them.
  png_set_user_limits(png, 0x7fffffff, 0x7fffffff);
  png_read_info(png, info);
  png_uint_32 w = 0, h = 0;
  int depth = 0, colour = 0, interlace = 0;
  png_get_IHDR(png, info, &w, &h, &depth, &colour, &interlace, nullptr, nullptr);
  header.width = w > 0x7fffffffu ? 0x7fffffff : static_cast<int32_t>(w);
  header.height = h > 0x7fffffffu ? 0x7fffffff : static_cast<int32_t>(h);
  header.bitDepth = depth;
  header.colourType = colour;
  header.interlaced = interlace != PNG_INTERLACE_NONE;
  header.transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;

  if (depth > 8) {
    s.error = "16 bits per channel; vxpic reads PNGs of 8 bits per channel (save it with 8)";
    return false;
  }
  if (header.interlaced) {
    s.error = "interlaced; vxpic reads PNGs without interlacing (save it without)";
    return false;
  }
  const uint64_t pixels = uint64_t{w} * uint64_t{h};
  if (w > static_cast<png_uint_32>(kPictureMaxSide) || h > static_cast<png_uint_32>(kPictureMaxSide) ||
      pixels > static_cast<uint64_t>(kPictureMaxPixels)) {
    s.error = std::to_string(w) + " x " + std::to_string(h) +
              " is over the size bounds: the game reads pictures of up to " +
              std::to_string(kPictureMaxSide) + " pixels a side and " + std::to_string(kPictureMaxPixels) +
              " pixels in all";
    return false;
  }
  if (pixels > static_cast<uint64_t>(maxPixels)) {
    s.error = "over this reader's pixel limit";
    return false;
  }

  // Every kind becomes 8-bit red, green, blue, alpha; no gamma handling is
  // asked for, so the stored samples come through unchanged.
  if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (header.transparency) png_set_tRNS_to_alpha(png);
  if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if ((colour & PNG_COLOR_MASK_ALPHA) == 0 && !header.transparency)
    png_set_filler(png, 0xff, PNG_FILLER_AFTER);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t{w} * 4) png_error(png, "unexpected row layout");

  s.row.resize(size_t{w} * 4);
  out.width = static_cast<int32_t>(w);
  out.height = static_cast<int32_t>(h);
  out.pixels.assign(static_cast<size_t>(pixels), 0);
  for (png_uint_32 y = 0; y < h; ++y) {
    png_read_row(png, s.row.data(), nullptr);
    uint32_t* dst = out.pixels.data() + size_t{y} * w;
    const uint8_t* p = s.row.data();
    for (png_uint_32 x = 0; x < w; ++x, p += 4) {
      dst[x] = (uint32_t{p[3]} << 24) | (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | uint32_t{p[2]};
    }
  }
  png_read_end(png, nullptr);
  return true;
}

}  // namespace

bool LooksLikePng(const uint8_t* data, size_t size) {
  return size >= 8 && png_sig_cmp(const_cast<png_bytep>(data), 0, 8) == 0;
}

namespace {

bool Decode(DecodeState& s, Picture& out, PngHeader& header, std::string& error, int64_t maxPixels) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &s, &OnError, &OnWarning);
  if (png == nullptr) {
    error = "out of memory";
    return false;
  }
  png_infop info = png_create_info_struct(png);
  const bool ok = info != nullptr && DecodeRows(png, info, s, out, header, maxPixels);
  png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
  if (!ok) {
    out = Picture{};
    error = s.error.empty() ? "out of memory" : s.error;
  }
  return ok;
}

}  // namespace

bool DecodePng(const uint8_t* data, size_t size, Picture& out, PngHeader& header, std::string& error,
               int64_t maxPixels) {
  out = Picture{};
  header = PngHeader{};
  if (!LooksLikePng(data, size)) {
    error = "not a PNG file";
    return false;
  }
  DecodeState s;
  s.data = data;
  s.size = size;
  return Decode(s, out, header, error, maxPixels);
}

bool ReadPng(const std::string& path, Picture& out, PngHeader& header, std::string& error) {
  out = Picture{};
  header = PngHeader{};
  InputFile file;
  if (!file.Open(path, kPngMaxFileBytes, error)) return false;
  // The signature first: anything else is refused after eight bytes, and a
  // PNG is then read as it decodes, never held whole.
  uint8_t signature[8] = {};
  if (file.Read(signature, sizeof signature) != sizeof signature ||
      !LooksLikePng(signature, sizeof signature)) {
    error = "not a PNG file";
    return false;
  }
  DecodeState s;
  s.file = &file;
  return Decode(s, out, header, error, kPictureMaxPixels);
}

bool WritePngFile(const std::string& path, const Picture& picture, bool withAlpha) {
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.pixels.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
    return false;
  const size_t channels = withAlpha ? 4 : 3;
  std::vector<uint8_t> bytes(picture.pixels.size() * channels);
  uint8_t* o = bytes.data();
  for (const uint32_t v : picture.pixels) {
    *o++ = static_cast<uint8_t>(v >> 16);
    *o++ = static_cast<uint8_t>(v >> 8);
    *o++ = static_cast<uint8_t>(v);
    if (withAlpha) *o++ = static_cast<uint8_t>(v >> 24);
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.width);
  image.height = static_cast<png_uint_32>(picture.height);
  image.format = withAlpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const int ok = png_image_write_to_stdio(&image, f, 0, bytes.data(), 0, nullptr);
  png_image_free(&image);
  const bool closed = std::fclose(f) == 0;
  return ok != 0 && closed;
}

}  // namespace vxpic

#include "display/presenter_reference.h"

#include <cstddef>

namespace vxref {
namespace {

// 32-bit register arithmetic: keep the low 32 bits, read them as signed.
int32_t Low32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

uint32_t Mapped(uint32_t p, const std::vector<uint8_t>& t) {
  const uint32_t b = t[p & 0xFF];
  const uint32_t g = t[(p >> 8) & 0xFF];
  const uint32_t r = t[(p >> 16) & 0xFF];
  return b + g * 256 + r * 65536;
}

void MapBackInPlace(Frame& f) {
  for (uint32_t& p : f.back) p = Mapped(p, f.brightness);
}

uint32_t& At(Frame& f, int32_t x, int32_t y) { return f.surface[static_cast<size_t>(y) * f.pitch + x]; }

// Walks the whole display; pixels outside the picture rectangle get the
// margin colour.
void Margins(Frame& f, int32_t px, int32_t py, int32_t pw, int32_t ph) {
  const bool picture = !f.border.empty();
  int32_t e = 1;
  if (picture && (f.borderWidth <= f.displayWidth - 1 || f.borderHeight <= f.displayHeight - 1)) e = 2;
  int32_t ty = 0;
  for (int32_t y = 0; y < f.displayHeight; ++y) {
    int32_t tx = 0;
    for (int32_t x = 0; x < f.displayWidth; ++x) {
      const bool inside = x >= px && x < px + pw && y >= py && y < py + ph;
      if (!inside) {
        uint32_t v = 0;
        if (picture) {
          const int32_t sx = (tx * 2) >> e;
          const int32_t sy = (ty * 2) >> e;
          const uint32_t p = f.border[static_cast<size_t>(sy) * f.borderWidth + sx];
          const uint32_t b = (p & 0xFF) / 2, g = ((p >> 8) & 0xFF) / 2, r = ((p >> 16) & 0xFF) / 2;
          v = b | (g << 8) | (r << 16);
        }
        At(f, x, y) = v;
      }
      if (picture) {
        if (tx == (f.borderWidth - 1) * e) {
          tx = 0;
        } else {
          ++tx;
        }
      }
    }
    if (picture) {
      if (ty == (f.borderHeight - 1) * e) {
        ty = 0;
      } else {
        ++ty;
      }
    }
  }
}

void OriginalRes(Frame& f) {
  for (int32_t y = 0; y < 600; ++y) {
    for (int32_t x = 0; x < 800; ++x) {
      const uint32_t p = f.back[y * 800 + x];
      At(f, x, y) = f.brightnessActive ? Mapped(p, f.brightness) : p;
    }
  }
}

void HigherRes(Frame& f) {
  int32_t factor = 2;
  if (f.displayWidth < 1600 || f.displayHeight < 1200) factor = 1;
  const int32_t ox = (f.displayWidth - 800 * factor) / 2;
  const int32_t oy = (f.displayHeight - 600 * factor) / 2;
  if (f.borderCountdown == 0) Margins(f, ox, oy, 800 * factor, 600 * factor);
  if (factor == 2) {
    if (f.brightnessActive) MapBackInPlace(f);
    for (int32_t y = 0; y < 600; ++y) {
      for (int32_t x = 0; x < 800; ++x) {
        const uint32_t p = f.back[y * 800 + x];
        At(f, ox + 2 * x, oy + 2 * y) = p;
        At(f, ox + 2 * x + 1, oy + 2 * y) = p;
        At(f, ox + 2 * x, oy + 2 * y + 1) = p;
        At(f, ox + 2 * x + 1, oy + 2 * y + 1) = p;
      }
    }
  } else {
    for (int32_t y = 0; y < 600; ++y) {
      for (int32_t x = 0; x < 800; ++x) {
        const uint32_t p = f.back[y * 800 + x];
        At(f, ox + x, oy + y) = f.brightnessActive ? Mapped(p, f.brightness) : p;
      }
    }
  }
}

void LowerOrMixedRes(Frame& f) {
  if (f.brightnessActive) MapBackInPlace(f);
  if (f.repaintCounter == 0 || f.repaintCounter == 390) {
    for (uint32_t& p : f.previous) p = 0x010101ffu;
  }
  int32_t ox = 0, sw = f.displayWidth, oy = 0, sh = f.displayHeight;
  if (f.displayWidth > 800) {
    ox = (f.displayWidth - 800) / 2;
    sw = 800;
  }
  if (f.displayHeight > 600) {
    oy = (f.displayHeight - 600) / 2;
    sh = 600;
  }
  const int32_t xstep = (sw * 8192) / 800;
  const int32_t ystep = (sh * 8192) / 600;

  int32_t fy = 0;
  for (int32_t y = 0; y < 600; ++y) {
    const int32_t row = fy / 8192;
    const bool startsRow = y == 0 || (fy - ystep) / 8192 != row;
    if (startsRow) {
      int32_t more = 0;
      while (more < 14 && (fy + (more + 1) * ystep) / 8192 == row) ++more;
      if (more == 14) more = 0;
      if (y + more > 599) more = 599 - y;

      int32_t sum[3] = {0, 0, 0}, weight = 0;
      int32_t carry[3] = {0, 0, 0}, weightCarry = 0;
      int32_t run = 0, write = 2, lastColumn = 1313, fx = 0;
      for (int32_t x = 0; x < 800; ++x) {
        for (int32_t r = y; r <= y + more; ++r) {
          if (x < 800 - 9) {
            const size_t i = static_cast<size_t>(r) * 800 + x + 8;
            if (f.back[i] != f.previous[i]) {
              f.previous[i] = f.back[i];
              run = 0;
            }
          } else {
            run = 0;
          }
          if (run <= 17) {
            const int32_t w = f.coverage[(fx % 8192) + xstep];
            const uint32_t p = f.back[static_cast<size_t>(r) * 800 + x];
            for (int32_t c = 0; c < 3; ++c) {
              const int32_t v = static_cast<int32_t>((p >> (8 * c)) & 0xFF);
              sum[c] += ((v * (8192 - w)) >> 13) + carry[c];
              carry[c] = (v * w) >> 13;
            }
            weight += ((8192 - w) >> 6) + weightCarry;
            weightCarry = w >> 6;
          } else {
            write = 0;
          }
        }
        const int32_t t = fx / 8192;
        if (t != lastColumn) {
          if (write <= 1) {
            write = write + 1;
          } else {
            const int32_t rec = f.reciprocal[((weight % 4096) + 4096) % 4096];
            const int32_t blue = Low32(static_cast<int64_t>(sum[0]) * rec) >> 8;
            const int32_t green = Low32(static_cast<int64_t>(sum[1]) * rec) & ~0xFF;
            const int32_t red =
                Low32(static_cast<int64_t>(Low32(static_cast<int64_t>(sum[2]) * rec) >> 8) * 65536);
            At(f, ox + t, oy + row) = static_cast<uint32_t>(Low32(static_cast<int64_t>(blue) + green + red));
          }
          lastColumn = t;
          sum[0] = sum[1] = sum[2] = weight = 0;
        }
        run = run + 1;
        fx = fx + xstep;
      }
    }
    fy += ystep;
  }
  if (f.borderCountdown == 0) Margins(f, ox, oy, sw, sh);
}

}  // namespace

std::vector<int16_t> CoverageTable(int32_t displayWidthAtStart) {
  std::vector<int16_t> t(16405, 0);
  const int32_t w = displayWidthAtStart < 800 ? displayWidthAtStart : 800;
  const int32_t xstep = (w * 8192) / 800;
  if (xstep <= 0) return t;
  for (int32_t i = 0; i <= 8192; ++i) t[8192 + i] = static_cast<int16_t>(Low32((i * 8192) / xstep));
  return t;
}

std::vector<int16_t> ReciprocalTable() {
  std::vector<int16_t> t(4105, 0);
  for (int32_t i = 1; i <= 4100; ++i) t[i] = static_cast<int16_t>(32650 / i);
  return t;
}

std::vector<uint8_t> BrightnessTable(int32_t offset, int32_t contrast) {
  std::vector<uint8_t> t(257);
  for (int32_t i = 0; i <= 256; ++i) {
    int32_t v = (((i - 127) * contrast) >> 8) + 127 + offset;
    if (v < 0) v = 0;
    if (v > 255) v = 255;
    t[i] = static_cast<uint8_t>(v);
  }
  return t;
}

void PresentFullScreen(Frame& f) {
  const int32_t w = f.displayWidth, h = f.displayHeight;
  if (w == 800 && h == 600) {
    OriginalRes(f);
  } else if ((w < 800 || h < 600) && static_cast<int64_t>(w) * h <= 5760000) {
    LowerOrMixedRes(f);
  } else if ((800 < w || (600 < h && 800 <= w)) && 600 <= h) {
    HigherRes(f);
  }
  f.borderCountdown = f.borderCountdown < 1 ? 300 : f.borderCountdown - 1;
  f.repaintCounter = f.repaintCounter < 1 ? 400 : f.repaintCounter - 1;
}

}  // namespace vxref

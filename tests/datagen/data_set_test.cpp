// The generated game folder: every file the loading schedule names outside
// the world set, the settings, the texts against their fonts and boxes, the
// samples' format, the sizes the screens rely on, and determinism.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/record_reader.h"
#include "datagen/generated_data_set.h"
#include "datagen/texts.h"
#include "gfx/picture_file.h"

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

using Pic = vxtest::DataPicture;
Pic ReadPicture(const std::string& name) { return vxtest::ReadDataPicture(name); }

// Brightest colour sum in a frame of a strip (glyph g of a font).
int32_t FrameInk(const Pic& p, int32_t frame) {
  int32_t best = 0;
  for (int32_t y = 0; y < p.height; ++y)
    for (int32_t x = frame * p.height; x < (frame + 1) * p.height && x < p.width; ++x) {
      const uint32_t v = p.pixels[static_cast<size_t>(y) * p.width + x];
      best = std::max<int32_t>(best, static_cast<int32_t>((v & 255) + ((v >> 8) & 255) + ((v >> 16) & 255)));
    }
  return best;
}

std::vector<std::string> ScheduleFiles() {
  std::vector<std::string> f = {"data/font1.vx1",   "data/txtrs_c.906", "data/mus.vx1",     "data/dback1.vx1",
                                "data/dback2.vx1",  "data/dback3.vx1",  "data/enter.vx1",   "data/hback1.vx1",
                                "data/txtrs_c.900", "data/txtrs_c.905", "data/txtrs_c.909", "data/pal_c.000",
                                "data/megbord.vx1", "data/arr_l.vx1",   "data/arr_r.vx1",   "data/arr_u.vx1",
                                "data/arr_d.vx1",   "data/mback2.vx1",  "data/space.vx1",   "data/tind2.vx1",
                                "data/tindw.vx1"};
  for (int i = 1; i <= 4; ++i) {
    f.push_back("data/dem" + std::to_string(i) + ".vx1");
    f.push_back("data/sboss" + std::to_string(i) + ".vx1");
    f.push_back("data/moonrp" + std::to_string(i) + ".vx1");
  }
  for (int i = 0; i <= 4; ++i) f.push_back("data/ment" + std::to_string(i) + ".vx1");
  for (int i = 20; i <= 79; ++i) f.push_back("data/fog/fogp" + std::to_string(i) + ".vx1");
  for (const char* s : {"kat4", "tuk2", "ding2", "fuh3", "fuh4", "fuh5", "gun2v1", "gun2v2", "gun2v3",
                        "gun3v1", "gun3v2", "gun3v3", "gun4v1", "gun4v2", "gun4v3", "eaty2", "buhv1"})
    f.push_back(std::string("data/") + s + ".wav");
  return f;
}

TEST(DataSet, HoldsEveryFileOfTheScheduleOutsideTheWorldSet) {
  const std::string& root = vxtest::GeneratedDataSet();
  ASSERT_FALSE(root.empty());
  for (const std::string& f : ScheduleFiles()) {
    EXPECT_TRUE(fs::is_regular_file(fs::path(root) / f)) << f;
    if (f.ends_with(".vx1") || f.ends_with(".906") || f.ends_with(".900") || f.ends_with(".905") ||
        f.ends_with(".909")) {
      const Pic p = ReadPicture(f);
      EXPECT_TRUE(p.ok() && p.width > 0 && p.height > 0) << f;
    }
  }
  for (const char* f : {"ini/main.ini", "data/text.txt", "data/text1.txt"})
    EXPECT_TRUE(fs::is_regular_file(fs::path(root) / f)) << f;
  // The music: three decoder copies that can be started, and the tracks.
  for (int n = 1; n <= 3; ++n) {
    struct stat st {};
    const std::string dec = root + "/music/dec" + std::to_string(n) + ".exe";
    ASSERT_EQ(stat(dec.c_str(), &st), 0) << dec;
    EXPECT_NE(st.st_mode & S_IXUSR, 0u) << dec;
    EXPECT_GT(st.st_size, 1000) << dec;
  }
  EXPECT_TRUE(fs::is_regular_file(fs::path(root) / "music/track1.vxm"));
}

TEST(DataSet, GeneratingTwiceGivesTheSameBytes) {
  const std::string& first = vxtest::GeneratedDataSet();
  ASSERT_FALSE(first.empty());
  const fs::path second = fs::temp_directory_path() / ("vxtest-second-" + std::to_string(::getpid()));
  fs::remove_all(second);
  ASSERT_TRUE(vxtest::RunGenerator(second.string()));
  size_t files = 0;
  for (const auto& e : fs::recursive_directory_iterator(second)) {
    if (!e.is_regular_file()) continue;
    const fs::path rel = fs::relative(e.path(), second);
    EXPECT_EQ(Slurp(e.path()), Slurp(fs::path(first) / rel)) << rel;
    ++files;
  }
  EXPECT_GT(files, 100u);
  fs::remove_all(second);
}

TEST(DataSet, SettingsAreTheDefaultsAndTheHelpTextIsNeverRead) {
  const std::string ini = vxtest::GeneratedDataSet() + "/ini/main.ini";
  RecordReader r;
  auto first = [&](int32_t id) {
    ReadRecord(r, id, ini.c_str());
    EXPECT_EQ(r.recordId, id) << id;
    EXPECT_GT(r.text1.size(), 3u) << "record " << id << " names its setting";
    return r.values[0];
  };
  EXPECT_EQ(first(0), 0);  // desktop size
  EXPECT_EQ(r.values[1], 0);
  EXPECT_EQ(first(5), 1);   // windowed
  EXPECT_EQ(first(6), 0);   // no log
  EXPECT_EQ(first(13), 1);  // sound
  EXPECT_EQ(first(15), 0);  // full detail
  EXPECT_EQ(first(17), 1);  // music
  EXPECT_EQ(first(19), 0);  // control scheme 1
  EXPECT_EQ(first(20), 1);  // English
  // The help after the end line: a search past it stops at the end line.
  ReadRecord(r, 7, ini.c_str());
  EXPECT_EQ(r.recordId, 13131313);
  const std::string text = Slurp(ini);
  EXPECT_GT(text.size() - text.find("13131313"), 100u);
}

// Word-wraps as the bitmap text does and answers the number of lines, or
// -1 when a word alone is too wide (the box would show nothing).
int32_t WrappedLines(const std::string& text, int32_t boxWidth, int32_t advance) {
  int32_t lines = 0;
  size_t p = 0;
  while (p < text.size()) {
    size_t n = 0;
    bool accepted = false;
    for (;;) {
      size_t end = text.find(' ', p + n);
      end = end == std::string::npos ? text.size() : end + 1;
      const size_t len = end - p;
      if (static_cast<int64_t>(len) * advance >= boxWidth) break;
      n = len;
      accepted = true;
      if (end >= text.size()) break;
    }
    if (!accepted) return -1;
    p += n;
    ++lines;
  }
  return lines;
}

struct TextFile {
  const char* name;
  int32_t charSet;
  const char* font;
};

TEST(DataSet, EveryTextFitsItsBoxAndDrawsOnlyGlyphsOfItsFont) {
  for (const TextFile tf :
       {TextFile{"data/text1.txt", 3, "data/txtrs_c.906"}, TextFile{"data/text.txt", 4, "data/font1.vx1"}}) {
    SCOPED_TRACE(tf.name);
    const Pic font = ReadPicture(tf.font);
    ASSERT_TRUE(font.ok());
    const int32_t h = font.height;
    const int32_t advance = h * (tf.charSet == 3 ? 220 : 195) / 256;
    EXPECT_EQ(advance, 9) << "the loading bar counts 9 pixels per character";
    const int32_t frames = font.width / h;
    const std::string path = vxtest::GeneratedDataSet() + "/" + tf.name;
    std::vector<int32_t> ids = {1, 2, 13, 80, 81, 580, 581};
    for (int32_t id = 100; id <= 137; ++id) ids.push_back(id);
    RecordReader r;
    for (int32_t id : ids) {
      ReadRecord(r, id, path.c_str());
      ASSERT_EQ(r.recordId, id);
      for (const std::string* t : {&r.text1, &r.text2}) {
        for (unsigned char c : *t) {
          if (c == '\n') continue;  // the last field keeps the line end
          ASSERT_TRUE(datagen::Drawable(tf.charSet, c)) << id << ": byte " << int(c);
          const int32_t g = datagen::GlyphOf(tf.charSet, c);
          ASSERT_LT(g, frames) << id;
          if (c != ' ') {
            EXPECT_GT(FrameInk(font, g), 300) << id << ": glyph " << g << " is empty";
          }
        }
      }
      const std::string text = r.text1;
      if (id >= 100 && id <= 137) {
        // Message boxes: 640 pixels wide; five lines stay above the key
        // caps and the character.
        const int32_t lines = WrappedLines(text, 640, advance);
        EXPECT_GE(lines, 1) << id;
        EXPECT_LE(lines, 5) << id << ": " << text;
      } else if (id == 80 || id == 81 || id == 580 || id == 581) {
        // Key name on the cap (75 pixels to the action), the action beside it.
        EXPECT_LE(static_cast<int32_t>(text.size()) * advance, 72) << id;
        const std::string action = r.text2.substr(0, r.text2.find('\n'));
        const int32_t lines = WrappedLines(action, 680 - 495, advance);
        EXPECT_GE(lines, 1) << id;
        EXPECT_LE(lines, 2) << id;
      } else if (id == 2) {
        // The loading text starts right of the panel's edge at x = 100.
        EXPECT_LE(text.size(), 12u);
        EXPECT_GE(100 - static_cast<int32_t>(text.size()) * 9 / 2 + 58, 100);
      } else {
        EXPECT_EQ(WrappedLines(text, 500, advance), 1) << id << ": one line";
      }
    }
  }
}

TEST(DataSet, FontsHoldTheirGlyphsInOrderAndBlankWhereTheSetsExpectBlanks) {
  struct Font {
    const char* file;
    int32_t set;
    int32_t glyphs;
  };
  for (const Font f :
       {Font{"data/font1.vx1", 4, 48}, Font{"data/txtrs_c.906", 3, 48}, Font{"data/txtrs_c.900", 1, 57},
        Font{"data/txtrs_c.905", 2, 39}, Font{"data/txtrs_c.909", 0, 95}}) {
    SCOPED_TRACE(f.file);
    const Pic p = ReadPicture(f.file);
    ASSERT_TRUE(p.ok());
    EXPECT_EQ(p.width, p.height * f.glyphs);
    EXPECT_EQ(FrameInk(p, datagen::BlankGlyph(f.set)), 0);
    EXPECT_GT(FrameInk(p, datagen::GlyphOf(f.set, '7')), 300);
    EXPECT_GT(FrameInk(p, datagen::GlyphOf(f.set, '.')), 100);
  }
  // The credit line of the credits screen fits its screen in one line.
  const Pic credits = ReadPicture("data/txtrs_c.905");
  EXPECT_LT(34 * credits.height * 195 / 256, 800 - 5 - 51);
  EXPECT_LE(credits.height, 299 - 265 - 5);
}

TEST(DataSet, PictureSizesFitWhereTheScreensDrawThem) {
  const Pic box = ReadPicture("data/mback2.vx1");
  for (const char* other : {"data/dback1.vx1", "data/hback1.vx1"}) {
    const Pic b = ReadPicture(other);
    EXPECT_EQ(b.width, box.width) << other;
    EXPECT_EQ(b.height, box.height) << other;
  }
  ASSERT_TRUE(box.ok());
  EXPECT_LE(box.width, 800);
  EXPECT_LE(box.height, 600 - 2 * 60);  // room for the title banner above
  // Key caps at their offsets inside the box; the space cap above the enter cap.
  const Pic enter = ReadPicture("data/enter.vx1"), space = ReadPicture("data/space.vx1");
  EXPECT_LE(386 + enter.width, box.width);
  EXPECT_LE(151 + enter.height, box.height);
  EXPECT_LE(388 + space.width, box.width);
  // Faces stand on the box's lower edge, below the five text lines.
  for (int i = 0; i <= 4; ++i) {
    const Pic face = ReadPicture("data/ment" + std::to_string(i) + ".vx1");
    EXPECT_LE(face.height, box.height - 105);
    EXPECT_LE(15 + face.width, 386);
  }
  for (int i = 1; i <= 4; ++i) {
    const Pic face = ReadPicture("data/dem" + std::to_string(i) + ".vx1");
    EXPECT_LE(face.height, box.height - 105);
    const Pic boss = ReadPicture("data/sboss" + std::to_string(i) + ".vx1");
    EXPECT_LE(40 + boss.height, box.height);
  }
  // The title banner between the top of the screen's text and the box.
  const Pic banner = ReadPicture("data/dback2.vx1");
  EXPECT_LE(110 + banner.height, (600 - box.height) / 2);
  EXPECT_LE(banner.width, 800);
  // Ten bar segments inside the bar's frame.
  const Pic seg = ReadPicture("data/tind2.vx1"), frame = ReadPicture("data/tindw.vx1");
  EXPECT_LE(5 + 9 * (seg.width + 2) + seg.width, frame.width);
  EXPECT_LE(28 + seg.height, frame.height);
  // The music credit between its two lines.
  EXPECT_LE(ReadPicture("data/mus.vx1").height, 356 - 320);
  // The loading panel holds the text (y + 10) and the bar (y + 45 .. y + 60).
  EXPECT_GE(ReadPicture("data/dback3.vx1").height, 62);
  // Fog: the screen-size copies fit a 1024 x 768 screen and stay small.
  for (int i = 20; i <= 79; ++i) {
    const Pic fog = ReadPicture("data/fog/fogp" + std::to_string(i) + ".vx1");
    EXPECT_LE(fog.width, 600);
    EXPECT_LE(fog.height, 600);
  }
}

TEST(DataSet, FogStaysBelowThePackedBrightnessLimitAndFadesAtBothEnds) {
  int64_t firstSum = 0, middleSum = 0;
  for (int i = 20; i <= 79; ++i) {
    const Pic fog = ReadPicture("data/fog/fogp" + std::to_string(i) + ".vx1");
    int64_t sum = 0;
    for (uint32_t v : fog.pixels) {
      // The layer maps take b + g + r · 171 / 512 after a tone curve of
      // 160 / 256; that must stay below 256.
      const int32_t b = (v & 255) * 160 >> 8, g = ((v >> 8) & 255) * 160 >> 8,
                    r = ((v >> 16) & 255) * 160 >> 8;
      ASSERT_LT(b + g + (r * 171 / 256) / 2, 256) << i;
      sum += (v & 255) + ((v >> 8) & 255) + ((v >> 16) & 255);
    }
    if (i == 20) firstSum = sum;
    if (i == 50) middleSum = sum;
    if (i == 79) {
      EXPECT_LT(sum * 10, middleSum);
    }
  }
  EXPECT_LT(firstSum * 10, middleSum);
}

TEST(DataSet, SamplesArePcmWithTheFormatChunkFirst) {
  const std::string root = vxtest::GeneratedDataSet();
  for (const std::string& f : ScheduleFiles()) {
    if (!f.ends_with(".wav")) continue;
    SCOPED_TRACE(f);
    const std::string w = Slurp(fs::path(root) / f);
    ASSERT_GT(w.size(), 44u);
    EXPECT_EQ(w.substr(0, 4), "RIFF");
    EXPECT_EQ(w.substr(8, 4), "WAVE");
    EXPECT_EQ(w.substr(12, 4), "fmt ");
    auto u16 = [&](size_t at) {
      return static_cast<uint32_t>(static_cast<uint8_t>(w[at]) | static_cast<uint8_t>(w[at + 1]) << 8);
    };
    EXPECT_EQ(u16(20), 1u);   // PCM
    EXPECT_EQ(u16(34), 16u);  // bits
    EXPECT_EQ(w.substr(36, 4), "data");
    const size_t samples = (w.size() - 44) / 2;
    EXPECT_GT(samples, 22050u / 10);  // a tenth of a second at least
    EXPECT_LT(samples, 22050u * 3);
    // Loud enough, not clipped flat, and not a plain tone: many distinct levels.
    int32_t peak = 0, atPeak = 0;
    std::vector<bool> seen(65536);
    size_t distinct = 0;
    for (size_t i = 0; i < samples; ++i) {
      const int16_t v = static_cast<int16_t>(u16(44 + 2 * i));
      peak = std::max(peak, std::abs(int32_t{v}));
      if (!seen[static_cast<uint16_t>(v)]) ++distinct, seen[static_cast<uint16_t>(v)] = true;
    }
    for (size_t i = 0; i < samples; ++i)
      atPeak += std::abs(int32_t{static_cast<int16_t>(u16(44 + 2 * i))}) == peak;
    EXPECT_GT(peak, 16000);
    EXPECT_LT(atPeak, 20);
    EXPECT_GT(distinct, 2000u);
  }
}

TEST(DataSet, CodePage866CoversTheCyrillicAlphabetOnly) {
  std::string out;
  ASSERT_TRUE(datagen::ToCodePage866("Аа Яя Рр Ёё ok", out));
  EXPECT_EQ(out, std::string("\x80\xa0 \x9f\xef \x90\xe0 \xf0\xf1 ok"));
  EXPECT_FALSE(datagen::ToCodePage866("é", out));
  EXPECT_FALSE(datagen::ToCodePage866("\xd0", out));  // cut short
  // The glyph rules of the text drawing: both cases share a glyph.
  EXPECT_EQ(datagen::GlyphOf(4, 0x80), 13);
  EXPECT_EQ(datagen::GlyphOf(4, 0xa0), 13);
  EXPECT_EQ(datagen::GlyphOf(3, 'Q'), 16);
  EXPECT_EQ(datagen::GlyphOf(3, '7'), 33);
  EXPECT_EQ(datagen::GlyphOf(3, '~'), 42);
  EXPECT_FALSE(datagen::Drawable(4, ':'));
  EXPECT_FALSE(datagen::Drawable(3, '/'));
}

}  // namespace

namespace {

// The hint arrows point where their names say: the head holds more light
// than the shaft, so the picture's light leans towards the pointed end.
TEST(DataSet, HintArrowsPointTheirWay) {
  struct Arrow {
    const char* file;
    int dx, dy;
  };
  for (const Arrow a : {Arrow{"data/arr_l.vx1", -1, 0}, Arrow{"data/arr_r.vx1", 1, 0},
                        Arrow{"data/arr_u.vx1", 0, -1}, Arrow{"data/arr_d.vx1", 0, 1}}) {
    const Pic p = ReadPicture(a.file);
    ASSERT_TRUE(p.ok()) << a.file;
    double sum = 0, mx = 0, my = 0;
    for (int32_t y = 0; y < p.height; ++y)
      for (int32_t x = 0; x < p.width; ++x) {
        const uint32_t v = p.pixels[static_cast<size_t>(y) * p.width + x];
        const double light = (v & 255) + ((v >> 8) & 255) + ((v >> 16) & 255);
        sum += light;
        mx += light * (x - (p.width - 1) / 2.0);
        my += light * (y - (p.height - 1) / 2.0);
      }
    ASSERT_GT(sum, 0);
    EXPECT_GT(a.dx * mx / sum + a.dy * my / sum, 0.3) << a.file;
  }
}

}  // namespace

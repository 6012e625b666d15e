#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "display/presenter_reference.h"
#include "support/engine_test.h"

namespace {

using platform::HeadlessBackend;

constexpr uint32_t kPoison = 0xDEADBEEFu;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

class PresenterTest : public vxtest::EngineTest {
 protected:
  // Full screen at w x h on a desktop of at least that size.
  void OpenFullScreen(int32_t w, int32_t h) {
    engine.screen.display.windowed = 0;
    engine.screen.display.width = w;
    engine.screen.display.height = h;
    engine.screen.desktopWidth = 1280;
    engine.screen.desktopHeight = 1024;
    vxscrHini(engine.screen);
    ASSERT_EQ(vxDDrawINI(engine.screen), 0);
  }
  void OpenWindowed(int32_t desktopW, int32_t desktopH) {
    HeadlessBackend::Options o;
    o.desktopWidth = desktopW;
    o.desktopHeight = desktopH;
    UseBackend(o).CreateMainWindow("t", false, 0, 0, 808, 621);
    engine.screen.display.windowed = -1;
    engine.screen.display.width = desktopW;
    engine.screen.display.height = desktopH;
    vxscrHini(engine.screen);
    ASSERT_EQ(vxDDrawINI(engine.screen), 0);
  }
  void EnableLog() {
    engine.log.enabled = 1;
    engine.screen.verboseFirstPresent = 1;
    OpenLog(engine.log);
  }
  std::vector<std::string> LogLines() {
    engine.log.stream.flush();
    return Lines(vxtest::ReadFile(kLogFileName));
  }
  uint32_t* Back() { return engine.gfx.backBuffer; }
  void FillRandom(uint32_t seed) {
    std::mt19937 rng(seed);
    for (int i = 0; i < 800 * 600; ++i) Back()[i] = rng();
  }
  void Poison() { std::fill(backend->MutableSurface().begin(), backend->MutableSurface().end(), kPoison); }
  uint32_t At(int32_t x, int32_t y) const {
    return backend->Surface()[static_cast<size_t>(y) * backend->SurfacePitch() + x];
  }
  void Present() { vxscrHtoSCREEN(engine.screen); }
  // Puts a w x h picture into image slot `slot`; pixel (x, y) = f(x, y).
  template <typename F>
  void LoadSlot(int32_t slot, int32_t w, int32_t h, F f) {
    ImageSlot& s = engine.gfx.slots[slot];
    s.pixels = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) * w * h));
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) s.pixels[y * w + x] = f(x, y);
    s.width = w;
    s.height = h;
    s.state = kLoaded;
  }
};

TEST_F(PresenterTest, StartUpTablesFlagsAndBrightness) {
  OpenFullScreen(640, 480);
  const ScreenHandler& sh = engine.screen;
  // xstep = 640 x 8192 / 800 = 6553.
  EXPECT_EQ(sh.coverage[0], 0);
  EXPECT_EQ(sh.coverage[8191], 0);
  EXPECT_EQ(sh.coverage[8192], 0);
  EXPECT_EQ(sh.coverage[8192 + 3276], 4095);  // 3276 x 8192 / 6553 = 4095.4
  EXPECT_EQ(sh.coverage[8192 + 6553], 8192);
  EXPECT_EQ(sh.reciprocal[0], 0);
  EXPECT_EQ(sh.reciprocal[1], 32650);
  EXPECT_EQ(sh.reciprocal[3], 10883);
  EXPECT_EQ(sh.reciprocal[4100], 7);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(sh.brightnessTable[i], i);
  EXPECT_EQ(sh.brightnessTable[256], 255);
  EXPECT_EQ(engine.screen.brightnessActive, 0);
  EXPECT_EQ(engine.screen.borderPicture, -1);
  EXPECT_EQ(engine.screen.borderCountdown, 0);
  EXPECT_EQ(engine.screen.repaintCounter, 0);

  SetBrightness(engine.screen, 40, 256);
  EXPECT_EQ(engine.screen.brightnessActive, -1);
  EXPECT_EQ(sh.brightnessTable[0], 40);
  EXPECT_EQ(sh.brightnessTable[215], 255);
  SetBrightness(engine.screen, 0, 512);  // contrast doubles the distance from 127
  EXPECT_EQ(sh.brightnessTable[100], 73);
  EXPECT_EQ(sh.brightnessTable[200], 255);
  EXPECT_EQ(sh.brightnessTable[10], 0);
  SetBrightness(engine.screen, 0, 256);
  EXPECT_EQ(engine.screen.brightnessActive, 0);
  // Extreme arguments clamp instead of overflowing.
  SetBrightness(engine.screen, INT32_MAX, INT32_MAX);
  EXPECT_EQ(sh.brightnessTable[0], 255);

  Back()[0] = 0x80102030u;
  SetBrightness(engine.screen, 40, 256);
  ApplyBrightnessInPlace(engine.screen);
  EXPECT_EQ(Back()[0], 0x00384858u);  // every colour + 40, fourth byte 0
}

// Each full-screen size below the shrinking ones places the back buffer
// whole: copied at 800 x 600, centred with black margins, doubled from
// 1600 x 1200; the pitch past the display width is never written.
TEST_F(PresenterTest, LargerSizesCopyCentreOrDoubleThePicture) {
  struct Case {
    int32_t w, h, x0, y0, scale;
  };
  for (const Case c : {Case{800, 600, 0, 0, 1},
                       {801, 600, 0, 0, 1},
                       {1024, 600, 112, 0, 1},
                       {1024, 768, 112, 84, 1},
                       {1025, 769, 112, 84, 1},
                       {1600, 1200, 0, 0, 2},
                       {1700, 1301, 50, 50, 2}}) {
    OpenFullScreen(c.w, c.h);
    FillRandom(static_cast<uint32_t>(c.w));
    Poison();
    Present();
    const int32_t pitch = backend->SurfacePitch();
    for (int y = 0; y < c.h; ++y) {
      for (int x = 0; x < pitch; ++x) {
        const int px = (x - c.x0) / c.scale, py = (y - c.y0) / c.scale;
        const bool picture = x >= c.x0 && y >= c.y0 && px < 800 && py < 600;
        const uint32_t want = x >= c.w ? kPoison : picture ? Back()[py * 800 + px] : 0u;
        ASSERT_EQ(At(x, y), want) << c.w << ": " << x << "," << y;
      }
    }
  }
  EXPECT_EQ(engine.screen.pitch, 1724);
  // With brightness the doubled picture maps the back buffer itself first;
  // the copying passes map on the way only.
  Back()[0] = 0xFF102030u;
  SetBrightness(engine.screen, -16, 256);
  Present();
  EXPECT_EQ(Back()[0], 0x00001020u);
  EXPECT_EQ(At(50, 50), 0x00001020u);
  EXPECT_EQ(At(51, 51), 0x00001020u);
  OpenFullScreen(800, 600);
  FillRandom(1);
  const std::vector<uint32_t> before(Back(), Back() + 800 * 600);
  SetBrightness(engine.screen, -256, 256);
  Present();
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) ASSERT_EQ(At(x, y), 0u);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), Back()));
}

TEST_F(PresenterTest, BorderPictureTilesTheMarginsDarkened) {
  OpenFullScreen(1024, 768);
  // A 3 x 2 picture, each pixel distinct; shown at double size, so a tile
  // column repeats every 5 pixels and a tile row every 3.
  LoadSlot(5, 3, 2,
           [](int32_t x, int32_t y) { return 0xFF000000u | (0x20u * (x + 1)) << 16 | (0x40u * (y + 1)); });
  const auto half = [&](int32_t px, int32_t py) {
    return (engine.gfx.slots[5].pixels[py * 3 + px] >> 1) & 0x7F7F7Fu;
  };
  SetBorderPicture(engine.screen, 5);
  FillRandom(4);
  Poison();
  Present();
  const int32_t wantColumn[] = {0, 0, 1, 1, 2, 0, 0, 1};
  const int32_t wantRow[] = {0, 0, 1, 0, 0, 1};
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(At(x, y), half(wantColumn[x], wantRow[y])) << x << "," << y;
  EXPECT_EQ(At(1000, 700), half(0, 0));  // 1000 = 5 x 200, 700 = 3 x 233 + 1
  EXPECT_EQ(At(1023, 767), half(1, 1));  // 1023 = 5 x 204 + 3, 767 = 3 x 255 + 2
  EXPECT_EQ(At(112, 84), Back()[0]);     // the picture itself is not touched

  // Margins are repainted only when their countdown runs out.
  Poison();
  Present();
  EXPECT_EQ(At(0, 0), kPoison);
  SetBorderPicture(engine.screen, -1);
  Present();
  EXPECT_EQ(At(0, 0), 0u);
  // A slot without a picture gives black margins.
  for (int32_t slot : {7, 5000, -2}) {
    Poison();
    SetBorderPicture(engine.screen, slot);
    Present();
    EXPECT_EQ(At(3, 3), 0u) << slot;
  }

  // A picture as large as the display is shown at its own size; one
  // column narrower, it is doubled again.
  LoadSlot(9, 1024, 768, [](int32_t x, int32_t y) { return static_cast<uint32_t>(x * 7 + y * 1031); });
  SetBorderPicture(engine.screen, 9);
  Present();
  EXPECT_EQ(At(1000, 700), ((1000u * 7 + 700 * 1031) >> 1) & 0x7F7F7Fu);
  LoadSlot(10, 1023, 768, [](int32_t x, int32_t y) { return static_cast<uint32_t>(x * 7 + y * 1031); });
  SetBorderPicture(engine.screen, 10);
  Present();
  EXPECT_EQ(At(2, 2), ((1u * 7 + 1 * 1031) >> 1) & 0x7F7F7Fu);
}

TEST_F(PresenterTest, ShrinkStepsAt640x480) {
  OpenFullScreen(640, 480);
  // ystep 6553: source rows 4 and 5 form target row 3 (5 x 6553 / 8192 =
  // 3.9996), so a white row 5 shows in target row 3 and not in row 4.
  for (int x = 0; x < 800; ++x) Back()[5 * 800 + x] = 0x00FFFFFFu;
  Present();
  EXPECT_EQ(At(300, 2), 0u);
  EXPECT_NE(At(300, 3), 0u);
  EXPECT_EQ(At(300, 4), 0u);
  EXPECT_EQ(At(639, 479), 0u);

  // xstep 6553: a white source column 5 ends target column 3 almost wholly
  // past its edge (coverage 8188), so it is carried into target column 4,
  // written with column 6: sums 508 over weight 413, reciprocal 79, giving
  // 508 x 79 >> 8 = 156 in every channel.
  std::fill(Back(), Back() + 800 * 600, 0u);
  for (int y = 0; y < 600; ++y) Back()[y * 800 + 5] = 0x00FFFFFFu;
  engine.screen.repaintCounter = 0;
  Present();
  EXPECT_EQ(At(3, 0), 0u);
  EXPECT_EQ(At(4, 0), 0x009C9C9Cu);
  EXPECT_EQ(At(5, 0), 0u);

  // Wider than 800 but lower than 600: shrunk rows, the 800 columns centred.
  OpenFullScreen(1025, 500);
  FillRandom(7);
  Present();
  EXPECT_EQ(At(111, 10), 0u);
  EXPECT_NE(At(112, 10), 0u);
  EXPECT_NE(At(911, 10), 0u);
  EXPECT_EQ(At(912, 10), 0u);
}

// The engine's presenter against the plain reference, over display sizes of
// every pass, with and without brightness and a border picture, across
// presents where parts of the frame change, stay or flip back.
TEST_F(PresenterTest, MatchesPlainReferenceOverManyPresents) {
  struct Case {
    int32_t w, h, startWidth;
    bool border;
  };
  const Case cases[] = {{800, 600, 800, false},   {1024, 768, 1024, true}, {1600, 1200, 1600, false},
                        {1700, 1301, 1700, true}, {640, 480, 640, false},  {512, 384, 512, true},
                        {700, 900, 700, true},    {1024, 500, 1024, true}, {799, 599, 799, false},
                        {800, 599, 800, false},   {33, 20, 33, false},     {720, 540, 640, false},
                        {300, 700, 900, false}};
  for (const Case& c : cases) {
    for (const bool dim : {false, true}) {
      SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + (dim ? " dimmed" : ""));
      ResetAllState();
      engine.screen.display.width = c.startWidth;  // the coverage table follows the first size
      vxscrHini(engine.screen);
      engine.screen.display.windowed = 0;
      engine.screen.display.width = c.w;
      engine.screen.display.height = c.h;
      ASSERT_EQ(vxDDrawINI(engine.screen), 0);
      vxref::Frame ref;
      ref.displayWidth = c.w;
      ref.displayHeight = c.h;
      ref.pitch = backend->SurfacePitch();
      ref.coverage = vxref::CoverageTable(c.startWidth);
      ref.reciprocal = vxref::ReciprocalTable();
      ASSERT_TRUE(std::equal(ref.coverage.begin(), ref.coverage.end(), engine.screen.coverage));
      ASSERT_TRUE(std::equal(ref.reciprocal.begin(), ref.reciprocal.end(), engine.screen.reciprocal));
      if (c.border) {
        LoadSlot(3, 37, 23,
                 [](int32_t x, int32_t y) { return 0x01030507u * static_cast<uint32_t>(x * 31 + y * 17); });
        SetBorderPicture(engine.screen, 3);
        ref.border.assign(engine.gfx.slots[3].pixels, engine.gfx.slots[3].pixels + 37 * 23);
        ref.borderWidth = 37;
        ref.borderHeight = 23;
      }
      if (dim) SetBrightness(engine.screen, -70, 300);
      ref.brightness = vxref::BrightnessTable(dim ? -70 : 0, dim ? 300 : 256);
      ref.brightnessActive = dim;
      std::mt19937 rng(static_cast<uint32_t>(c.w * 7 + c.h + dim));
      FillRandom(rng());
      // A band that already looks unchanged to the first full recompute.
      for (int y = 100; y < 140; ++y) std::fill(Back() + y * 800 + 200, Back() + y * 800 + 400, 0x010101FFu);
      std::mt19937 surfaceRng(9);
      for (uint32_t& p : backend->MutableSurface()) p = surfaceRng();
      ref.surface = backend->Surface();
      ref.previous.assign(engine.screen.previousFrame, engine.screen.previousFrame + 800 * 600);
      for (int present = 0; present < 13; ++present) {  // the twelfth recomputes everything again
        // Change a few rectangles: new colours, flat colours, or the value
        // that marks a pixel as changed.
        const int changes = present % 4 == 1 ? 0 : 1 + static_cast<int>(rng() % 6);
        for (int k = 0; k < changes; ++k) {
          const int x0 = static_cast<int>(rng() % 800), y0 = static_cast<int>(rng() % 600);
          const int x1 = std::min(800, x0 + 1 + static_cast<int>(rng() % 120));
          const int y1 = std::min(600, y0 + 1 + static_cast<int>(rng() % 40));
          const uint32_t flat = k % 3 == 0 ? 0x010101FFu : rng();
          for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) Back()[y * 800 + x] = k % 2 == 0 ? flat : rng();
        }
        // Pixels the change filter never compares (the first eight columns
        // and the last) still reach the picture through the columns that
        // are always recomputed.
        if (present % 4 == 1) {
          for (int y = 0; y < 600; y += 7) Back()[y * 800 + (present % 2 == 0 ? 3 : 799)] = rng();
        }
        ref.back.assign(Back(), Back() + 800 * 600);
        ref.borderCountdown = engine.screen.borderCountdown;
        ref.repaintCounter = engine.screen.repaintCounter;
        Present();
        vxref::PresentFullScreen(ref);
        ASSERT_TRUE(backend->Surface() == ref.surface) << "present " << present;
        ASSERT_TRUE(std::equal(ref.previous.begin(), ref.previous.end(), engine.screen.previousFrame))
            << "present " << present;
        ASSERT_TRUE(std::equal(ref.back.begin(), ref.back.end(), Back())) << "present " << present;
        ASSERT_EQ(engine.screen.repaintCounter, ref.repaintCounter);
        ASSERT_EQ(engine.screen.borderCountdown, ref.borderCountdown);
      }
    }
  }
}

TEST_F(PresenterTest, FirstPresentLogsItsStepsOnce) {
  EnableLog();
  OpenFullScreen(640, 480);
  Present();
  Present();
  std::vector<std::string> lines = LogLines();
  const std::vector<std::string> shrink = {"vxscrHtoSCREEN start", "vxscrHtoSCREEN mem locked. real x:664",
                                           "vxscrHtoSCREEN lower_or_mixed_res pass", "vxscrHtoSCREEN fin"};
  ASSERT_GE(lines.size(), shrink.size());
  EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()), shrink);

  for (const auto& [w, h, pass] :
       {std::tuple{800, 600, "original_res"}, std::tuple{1024, 768, "higher_res"}}) {
    ResetAllState();
    EnableLog();
    OpenFullScreen(w, h);
    Present();
    lines = LogLines();
    EXPECT_EQ(lines[lines.size() - 2], std::string("vxscrHtoSCREEN ") + pass + " pass");
    EXPECT_EQ(lines[lines.size() - 3], "vxscrHtoSCREEN mem locked. real x:" + std::to_string(w + 24));
  }

  // A present whose lock fails still closes its group.
  ResetAllState();
  EnableLog();
  OpenFullScreen(640, 480);
  vxreleaseDDonly(engine.screen);
  Present();
  lines = LogLines();
  EXPECT_EQ(std::vector<std::string>(lines.end() - 2, lines.end()),
            (std::vector<std::string>{"vxscrHtoSCREEN start", "vxscrHtoSCREEN fin"}));
  EXPECT_EQ(engine.screen.verboseFirstPresent, 0);
}

TEST_F(PresenterTest, DisplaySetUpReportsTheFailedStep) {
  const std::vector<std::string> steps = {"DirectDrawCreate pass ok", "SetCooperativeLevel pass ok",
                                          "SetDisplayMode pass ok:640,480,32", "CreateSurface pass ok:"};
  for (int32_t status = 0; status <= 4; ++status) {
    ResetAllState();
    HeadlessBackend::Options o;
    o.displayFails = status != 0;
    o.displayFailStep = status;
    UseBackend(o);
    EnableLog();
    engine.screen.display.width = 640;
    engine.screen.display.height = 480;
    vxscrHini(engine.screen);
    EXPECT_EQ(vxDDrawINI(engine.screen), status);
    std::vector<std::string> want = {"vxDDrawINI start"};
    const int passed = status == 0 ? 4 : status - 1;
    want.insert(want.end(), steps.begin(), steps.begin() + passed);
    want.push_back("vxDDrawINI fin. error status:" + std::to_string(status));
    const std::vector<std::string> lines = LogLines();
    EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<ptrdiff_t>(want.size()), lines.end()), want);
    // Without a display the present draws nothing and carries on.
    Present();
    EXPECT_EQ(backend->presents, status == 0 ? 1 : 0);
    EXPECT_EQ(engine.screen.repaintCounter, 400);
  }
  // A size no screen offers fails at the mode.
  for (const auto& [w, h] : {std::pair{0, 480}, std::pair{20000, 20000}}) {
    ResetAllState();
    UseBackend({});
    engine.screen.display.width = w;
    engine.screen.display.height = h;
    EXPECT_EQ(vxDDrawINI(engine.screen), 3);
    EXPECT_FALSE(backend->DisplayOpen());
  }
  // In a window there is nothing to set up.
  ResetAllState();
  UseBackend({});
  EnableLog();
  engine.screen.display.windowed = -1;
  EXPECT_EQ(vxDDrawINI(engine.screen), 0);
  EXPECT_FALSE(backend->DisplayOpen());
  EXPECT_EQ(LogLines(), std::vector<std::string>{"this is vx_engine_1 log. program started!"});
}

TEST_F(PresenterTest, SizesThatFitNoPassOrNoSurfaceDrawNothing) {
  Present();                  // before the buffers exist
  OpenFullScreen(799, 7300);  // shrinking would be too large, enlarging needs 800 columns
  Poison();
  Present();
  EXPECT_EQ(At(0, 0), kPoison);
  EXPECT_EQ(backend->presents, 1);
  // The largest display that still shrinks holds 9 x 800 x 800 pixels.
  for (const auto& [h, shown] : {std::pair{9000, true}, {9001, false}}) {
    OpenFullScreen(640, h);
    Poison();
    Present();
    EXPECT_EQ(At(0, 0) != kPoison, shown) << h;
  }
  // The display size changed without re-opening the display.
  OpenFullScreen(1024, 768);
  engine.screen.display.width = 1600;
  engine.screen.display.height = 1200;
  Poison();
  Present();
  EXPECT_EQ(At(500, 500), kPoison);
}

TEST_F(PresenterTest, WindowAlwaysGetsTheBackBuffer) {
  // Desktops that fit no pass, and a window partly off the desktop.
  for (const auto& [w, h, ox] :
       {std::tuple{800, 600, 0}, std::tuple{640, 480, 0}, std::tuple{1280, 1024, -100}}) {
    OpenWindowed(w, h);
    EnableLog();
    engine.windowOriginX = ox;
    FillRandom(6);
    Present();
    ASSERT_EQ(backend->WindowPixels().size(), 800u * 600u);
    EXPECT_TRUE(std::equal(Back(), Back() + 800 * 600, backend->WindowPixels().begin())) << w;
    std::vector<std::string> want = {"vxscrHtoSCREEN start", "Start copying mem thru DC of GDI",
                                     "StretchDIBits num of copyed lines: 600"};
    if (w > 800) want.push_back("vxscrHtoSCREEN higher_res pass");
    want.push_back("vxscrHtoSCREEN fin");
    const std::vector<std::string> lines = LogLines();
    EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<ptrdiff_t>(want.size()), lines.end()), want);
    ResetAllState();
  }
  OpenWindowed(1280, 1024);
  FillRandom(7);
  SetBrightness(engine.screen, -256, 256);
  Present();
  EXPECT_EQ(Back()[12345], 0u);  // mapped in place before the copy
  EXPECT_EQ(backend->WindowPixels()[12345], 0u);
}

TEST_F(PresenterTest, ReleaseAndExit) {
  EnableLog();
  OpenFullScreen(1024, 768);
  vxreleaseDDonly(engine.screen);
  EXPECT_FALSE(backend->DisplayOpen());
  EXPECT_EQ(engine.screen.displayCreated, 0);
  ASSERT_EQ(vxDDrawINI(engine.screen), 0);
  vxEngExit(engine.screen);
  EXPECT_FALSE(backend->DisplayOpen());
  EXPECT_TRUE(backend->HasCall("cursor clip 0,0,1279,1023"));
  std::vector<std::string> lines = LogLines();
  EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
            (std::vector<std::string>{"vxEngExit", "vxreleaseDDDS start", "vxreleaseDDDS fin"}));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "vxreleaseDDonly fin"), lines.end());

  // In a window neither the display nor the cursor clip is touched.
  ResetAllState();
  OpenWindowed(1280, 1024);
  EnableLog();
  vxreleaseDDonly(engine.screen);
  vxEngExit(engine.screen);
  EXPECT_FALSE(backend->HasCall("cursor clip 0,0,1279,1023"));
  lines = LogLines();
  EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
            (std::vector<std::string>{"vxEngExit", "vxreleaseDDDS start", "vxreleaseDDDS fin"}));
}

}  // namespace

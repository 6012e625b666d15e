// Where the window copy puts the picture: the whole factor, the linear
// stage and the bars, around the sizes where the factor changes.
#include "platform/picture_layout.h"

#include <gtest/gtest.h>

namespace {

using platform::LayOutPicture;
using platform::PictureLayout;
using platform::ScaleMode;

struct Case {
  int32_t w, h;
  int32_t factor;
  bool linear;
  int32_t x, y, width, height;
};

void Expect(ScaleMode mode, const Case& c) {
  const PictureLayout l = LayOutPicture(c.w, c.h, 800, 600, mode);
  SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
  EXPECT_EQ(l.factor, c.factor);
  EXPECT_EQ(l.linear, c.linear);
  EXPECT_EQ(l.x, c.x);
  EXPECT_EQ(l.y, c.y);
  EXPECT_EQ(l.width, c.width);
  EXPECT_EQ(l.height, c.height);
}

TEST(PictureLayout, SharpTakesTheWholeFactorThenFillsLinearly) {
  const Case cases[] = {
      {799, 599, 0, true, 0, 0, 798, 599},         // smaller: linear only, the shape kept
      {800, 599, 0, true, 1, 0, 798, 599},         // one row short is still smaller
      {800, 600, 1, false, 0, 0, 800, 600},        // exact: a plain copy
      {801, 601, 1, true, 0, 0, 801, 600},         // a pixel more: linear fills it
      {1000, 750, 1, true, 0, 0, 1000, 750},       // 1.25: the picture fills the window
      {1280, 960, 1, true, 0, 0, 1280, 960},       // 1.6
      {1599, 1199, 1, true, 0, 0, 1598, 1199},     // just below twice
      {1600, 1200, 2, false, 0, 0, 1600, 1200},    // twice exactly: square pixels, no smoothing
      {1601, 1201, 2, true, 0, 0, 1601, 1200},     // just above twice
      {1920, 1080, 1, true, 240, 0, 1440, 1080},   // wide: bars left and right
      {1600, 2000, 2, false, 0, 400, 1600, 1200},  // tall: bars above and below
      {2400, 1800, 3, false, 0, 0, 2400, 1800},   {2560, 1440, 2, true, 320, 0, 1920, 1440},
  };
  for (const Case& c : cases) Expect(ScaleMode::Sharp, c);
}

TEST(PictureLayout, OtherModes) {
  // Whole factor only: the picture stays at k x 800, centred in bars; a
  // window too small for the picture is fitted linearly instead.
  Expect(ScaleMode::Whole, {1599, 1199, 1, false, 399, 299, 800, 600});
  Expect(ScaleMode::Whole, {1601, 1201, 2, false, 0, 0, 1600, 1200});
  Expect(ScaleMode::Whole, {799, 599, 1, true, 0, 0, 798, 599});
  // Fit, linear: no whole-factor stage at all.
  Expect(ScaleMode::FitLinear, {1600, 1200, 1, true, 0, 0, 1600, 1200});
  Expect(ScaleMode::FitLinear, {800, 600, 1, false, 0, 0, 800, 600});
  Expect(ScaleMode::FitLinear, {1920, 1080, 1, true, 240, 0, 1440, 1080});
  // Stretch: the whole window, whatever its shape.
  Expect(ScaleMode::Stretch, {1920, 1080, 1, true, 0, 0, 1920, 1080});
  Expect(ScaleMode::Stretch, {800, 600, 1, false, 0, 0, 800, 600});
  // Nothing to draw into.
  Expect(ScaleMode::Sharp, {0, 600, 0, false, 0, 0, 0, 0});
  Expect(ScaleMode::Stretch, {800, -1, 0, false, 0, 0, 0, 0});
  // Record values outside the four modes are the default.
  EXPECT_EQ(platform::ScaleModeFromValue(3), ScaleMode::Whole);
  EXPECT_EQ(platform::ScaleModeFromValue(4), ScaleMode::Sharp);
  EXPECT_EQ(platform::ScaleModeFromValue(-1), ScaleMode::Sharp);
}

TEST(PictureLayout, PointerPositionsMapOntoThePicture) {
  for (const auto& [w, h] : {std::pair{1000, 750}, {1920, 1080}, {799, 599}, {1601, 1201}, {3200, 2400}}) {
    const PictureLayout l = LayOutPicture(w, h, 800, 600, ScaleMode::Sharp);
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
    // Every picture pixel's centre maps back onto that pixel (where the
    // picture is not shrunk: then pixels share the window's).
    for (const auto& [px, py] : {std::pair{0, 0}, {799, 599}, {400, 300}, {1, 598}, {798, 1}}) {
      int32_t x = 0, y = 0, bx = -1, by = -1;
      platform::PictureToDrawable(l, 800, 600, px, py, x, y);
      platform::DrawableToPicture(l, 800, 600, x, y, bx, by);
      if (l.width < 800) continue;
      EXPECT_EQ(bx, px);
      EXPECT_EQ(by, py);
    }
    // Over the bars the pointer is at the nearest edge of the picture.
    int32_t px = -1, py = -1;
    platform::DrawableToPicture(l, 800, 600, 0, 0, px, py);
    EXPECT_EQ(px, 0);
    EXPECT_EQ(py, 0);
    platform::DrawableToPicture(l, 800, 600, w - 1, h - 1, px, py);
    EXPECT_EQ(px, 799);
    EXPECT_EQ(py, 599);
  }
  // At 1.25 the picture's middle is the window's middle.
  const PictureLayout l = LayOutPicture(1000, 750, 800, 600, ScaleMode::Sharp);
  int32_t px = 0, py = 0;
  platform::DrawableToPicture(l, 800, 600, 500, 375, px, py);
  EXPECT_EQ(px, 400);
  EXPECT_EQ(py, 300);
}

}  // namespace

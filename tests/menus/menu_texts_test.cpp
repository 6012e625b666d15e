// The message texts of the generated data set as the menu screens draw
// them: each one, in both languages and their fonts, drawn whole inside its
// box, above the face and the key caps.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "config/record_reader.h"
#include "datagen/generated_data_set.h"
#include "game/saved_game_support.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "gfx/text.h"

namespace {

namespace fs = std::filesystem;

struct Ink {
  int32_t left = 800, top = 600, right = -1, bottom = -1;
  bool Any() const { return right >= 0; }
};

class MenuTextsTest : public vxtest::StartedEngineTest {
 protected:
  void SetUp() override {
    StartedEngineTest::SetUp();
    ASSERT_FALSE(vxtest::GeneratedDataSet().empty());
    // The fonts as the loading screen prepares them; the texture strip
    // needs the game folder for its palette.
    const fs::path scratch = fs::current_path();
    fs::current_path(vxtest::GeneratedDataSet());
    GfxContext& gfx = engine.gfx;
    LoadPicture(gfx, 105, "data/font1.vx1");
    PrepareAlpha(gfx, 105, 2);
    LoadPicture(gfx, 103, "data/txtrs_c.906");
    PrepareAlpha(gfx, 103, 2);
    LoadPicture(gfx, 400, "data/mback2.vx1");
    LoadPicture(gfx, 401, "data/ment0.vx1");
    LoadPicture(gfx, 407, "data/space.vx1");
    LoadPicture(gfx, 408, "data/enter.vx1");
    fs::current_path(scratch);
    ASSERT_GT(PictureHeight(gfx, 103), 0);
    ASSERT_GT(PictureHeight(gfx, 105), 0);
    boxW = PictureWidth(gfx, 400);
    boxH = PictureHeight(gfx, 400);
    x0 = (800 - boxW) / 2;
    y0 = (600 - boxH) / 2;
  }
  // Draws the text as a menu screen does at (x, y) and answers where ink fell.
  Ink Draw(const std::string& text, int32_t x, int32_t y, int32_t font, int32_t set) {
    ClearScreen(engine.gfx, 0);
    DrawTextBox(engine.gfx, text.c_str(), x, y, x0 + boxW - 40, 600 - 20, font, set);
    Ink ink;
    for (int32_t py = 0; py < 600; ++py) {
      for (int32_t px = 0; px < 800; ++px) {
        if ((ScreenPixel(engine.gfx, px, py) & 0xffffff) == 0) continue;
        ink.left = std::min(ink.left, px);
        ink.right = std::max(ink.right, px);
        ink.top = std::min(ink.top, py);
        ink.bottom = std::max(ink.bottom, py);
      }
    }
    return ink;
  }
  // The bottom row of pixels a text drawn at y reaches, or -1 when a word
  // of it was too wide and the rest was not drawn.
  int32_t WholeTextBottom(const std::string& text, int32_t x, int32_t y, int32_t font, int32_t set) {
    const Ink whole = Draw(text, x, y, font, set);
    const std::vector<uint32_t> all(engine.gfx.backBuffer, engine.gfx.backBuffer + 800 * 600);
    const size_t cut = text.find_last_of(' ', text.find_last_not_of(" \n"));
    if (cut != std::string::npos) {
      Draw(text.substr(0, cut), x, y, font, set);
      if (std::vector<uint32_t>(engine.gfx.backBuffer, engine.gfx.backBuffer + 800 * 600) == all) return -1;
    }
    return whole.Any() ? whole.bottom : -1;
  }

  int32_t boxW = 0, boxH = 0, x0 = 0, y0 = 0;
};

struct Language {
  const char* file;
  int32_t font, set;
};

TEST_F(MenuTextsTest, EveryScreenTextFitsAboveTheFaceAndTheKeysInBothFonts) {
  GfxContext& gfx = engine.gfx;
  // The face stands on the box's lower edge; the space cap is the highest key.
  const int32_t faceTop = y0 + boxH - PictureHeight(gfx, 401);
  const int32_t keysTop = y0 + 121;
  RecordReader r;
  for (const Language lang : {Language{"data/text1.txt", 103, 3}, Language{"data/text.txt", 105, 4}}) {
    const std::string path = vxtest::GeneratedDataSet() + "/" + lang.file;
    for (int32_t id = 100; id <= 141; ++id) {
      SCOPED_TRACE(std::string(lang.file) + " " + std::to_string(id));
      ReadRecord(r, id, path.c_str());
      ASSERT_EQ(r.recordId, id);
      const std::string text = r.text1;
      const int32_t bottom = WholeTextBottom(text, x0, y0, lang.font, lang.set);
      ASSERT_GE(bottom, 0) << "not drawn whole: " << text;
      EXPECT_LT(bottom, std::min(faceTop, keysTop)) << text;
      const Ink ink = Draw(text, x0, y0, lang.font, lang.set);
      EXPECT_GE(ink.top, y0 + 20);
      EXPECT_GE(ink.left, x0 + 20);
      EXPECT_LE(ink.right, x0 + boxW - 20) << "inside the box's frame";
    }
  }
}

// The key name sits on its cap; what the key does stands beside it in at
// most two lines, clear of the other button's texts and the box's edge.
TEST_F(MenuTextsTest, ButtonTextsFitTheirKeyCapsAndTheBox) {
  GfxContext& gfx = engine.gfx;
  struct Button {
    int32_t record, capX, capY, capW, textY, limitY;
  };
  const Button buttons[] = {
      {80, 386, 151, PictureWidth(gfx, 408), 190, boxH - 8},
      {580, 386, 151, PictureWidth(gfx, 408), 190, boxH - 8},
      {81, 388, 121, PictureWidth(gfx, 407), 125, 190 + 20},
      {581, 388, 121, PictureWidth(gfx, 407), 125, 190 + 20},
      {582, 386, 151, PictureWidth(gfx, 408), 190, boxH - 8},
      {583, 388, 121, PictureWidth(gfx, 407), 125, 190 + 20},
      {584, 388, 121, PictureWidth(gfx, 407), 125, 190 + 20},
  };
  RecordReader r;
  for (const Language lang : {Language{"data/text1.txt", 103, 3}, Language{"data/text.txt", 105, 4}}) {
    const std::string path = vxtest::GeneratedDataSet() + "/" + lang.file;
    for (const Button& b : buttons) {
      SCOPED_TRACE(std::string(lang.file) + " " + std::to_string(b.record));
      ReadRecord(r, b.record, path.c_str());
      ASSERT_EQ(r.recordId, b.record);
      const Ink key = Draw(r.text1, x0 + 380, y0 + b.textY, lang.font, lang.set);
      ASSERT_TRUE(key.Any());
      EXPECT_GE(key.left, x0 + b.capX);
      EXPECT_LE(key.right, x0 + b.capX + b.capW);
      EXPECT_LE(key.bottom - key.top, PictureHeight(gfx, lang.font)) << "one line";
      const std::string action = r.text2;
      const int32_t bottom = WholeTextBottom(action, x0 + 455, y0 + b.textY, lang.font, lang.set);
      ASSERT_GE(bottom, 0) << action;
      EXPECT_LT(bottom, y0 + b.limitY) << action;
      EXPECT_LE(Draw(action, x0 + 455, y0 + b.textY, lang.font, lang.set).right, x0 + boxW - 20);
    }
  }
}

}  // namespace

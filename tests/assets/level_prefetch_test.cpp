// Level pictures made ahead on the worker thread against those the level
// start loads in place: the same slots, pixels, spans and budget, and the
// in-place load whenever the worker's pictures could not be moved in as
// they would have loaded.
#include "assets/level_prefetch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/loading.h"
#include "game/level_start.h"
#include "gfx/image_slots.h"
#include "gfx/picture_file.h"
#include "shell/globals.h"
#include "support/engine_test.h"

namespace {

namespace fs = std::filesystem;

// Everything a slot holds, for comparing two loads.
struct SlotCopy {
  int32_t width = 0, height = 0, state = 0;
  int64_t heldBytes = 0;
  std::vector<uint32_t> pixels;
  std::vector<int32_t> spans;
  bool operator==(const SlotCopy&) const = default;
};

class LevelPrefetchTest : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    StartWindowed();
    // Both pictures of levels 0, 5 and 10 (a saturation each): black
    // pixels, dark ones by bright ones (edges to soften), bright runs.
    for (const int32_t level : {0, 5, 10}) {
      LevelPictureFiles f{};
      ASSERT_TRUE(FindLevelPictures(level, f));
      WriteScene(f.foreground, 40, 30, static_cast<uint32_t>(level) * 77u + 1u);
      WriteScene(f.mask, 40, 30, static_cast<uint32_t>(level) * 91u + 5u);
    }
  }
  static void WriteScene(const char* name, int32_t w, int32_t h, uint32_t seed) {
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    uint32_t x = seed;
    for (uint32_t& p : px) {
      x = x * 1103515245u + 12345u;
      const uint32_t kind = (x >> 16) % 4;
      p = kind == 0 ? 0xff000000u : kind == 1 ? 0xff010101u * ((x >> 8) % 4) : 0xff000000u | (x >> 4);
    }
    fs::create_directories(fs::path(name).parent_path());
    ASSERT_TRUE(WriteVx1(name, w, h, px.data()));
  }
  SlotCopy Copy(int32_t slot) {
    const ImageSlot& s = engine.gfx.slots[slot];
    SlotCopy c{s.width, s.height, s.state, s.heldBytes, {}, {}};
    if (s.pixels == nullptr) return c;
    const size_t n = static_cast<size_t>(s.width) * static_cast<size_t>(s.height);
    c.pixels.assign(s.pixels, s.pixels + n);
    for (const int32_t* t : {s.opaqueLeft, s.opaqueRight, s.visibleLeft, s.visibleRight})
      c.spans.insert(c.spans.end(), t, t + s.height);
    return c;
  }
  // Empties the level's slots and flag, as before its first entry.
  void Forget(int32_t level) {
    LevelPictureFiles f{};
    ASSERT_TRUE(FindLevelPictures(level, f));
    ReleasePicture(engine.gfx, f.foregroundSlot);
    ReleasePicture(engine.gfx, f.maskSlot);
    game.levelPictures.loaded[level] = 0;
  }
  // The level loaded in place, its two slots and the budget's count.
  struct Loaded {
    SlotCopy foreground, mask;
    int64_t pictureBytes;
    bool operator==(const Loaded&) const = default;
  };
  Loaded Enter(int32_t level, LevelPrefetch* ahead) {
    LoadLevelPictures(game.levelPictures, level, engine.gfx, engine.effects, ahead);
    LevelPictureFiles f{};
    FindLevelPictures(level, f);
    return {Copy(f.foregroundSlot), Copy(f.maskSlot), engine.gfx.pictureBytes};
  }
};

TEST_F(LevelPrefetchTest, PicturesMadeAheadAreThoseTheLevelLoadsInPlace) {
  LevelPrefetch ahead;
  for (const int32_t level : {0, 5, 10}) {
    SCOPED_TRACE(level);
    const Loaded inPlace = Enter(level, nullptr);
    ASSERT_FALSE(inPlace.foreground.pixels.empty());
    ASSERT_FALSE(inPlace.mask.pixels.empty());
    Forget(level);
    ahead.Request(level);
    ASSERT_TRUE(ahead.Holds(level));
    ahead.WaitIdle();
    const Loaded taken = Enter(level, &ahead);
    EXPECT_TRUE(taken == inPlace);
    EXPECT_FALSE(ahead.Holds(level));
    EXPECT_EQ(game.levelPictures.loaded[level], -1);
  }
  // A level without pictures is never asked for; nor is one outside the world.
  for (const int32_t level : {12, -1, 25, 200}) {
    ahead.Request(level);
    EXPECT_FALSE(ahead.Holds(level)) << level;
  }
}

TEST_F(LevelPrefetchTest, WhatCannotMoveInAsItWouldHaveLoadedIsLoadedInPlace) {
  LevelPrefetch ahead;
  const Loaded whole = Enter(5, nullptr);
  Forget(5);
  // Room for the foreground and not the mask: in place, only the
  // foreground loads. The worker's pair must not be half moved in.
  engine.gfx.pictureBudget = engine.gfx.pictureBytes + whole.foreground.heldBytes;
  const Loaded cramped = Enter(5, nullptr);
  EXPECT_FALSE(cramped.foreground.pixels.empty());
  EXPECT_TRUE(cramped.mask.pixels.empty());
  Forget(5);
  ahead.Request(5);
  ahead.WaitIdle();
  EXPECT_FALSE(ahead.Take(5, engine.gfx));
  EXPECT_FALSE(ahead.Holds(5)) << "a refused take drops the worker's pictures";
  EXPECT_TRUE(Enter(5, &ahead) == cramped);
  Forget(5);
  engine.gfx.pictureBudget = kPictureBudgetBytes;

  // A slot already in use (here the mask's): in place the foreground loads
  // and the mask slot keeps what it holds, with the mask's preparation.
  LevelPictureFiles f{};
  ASSERT_TRUE(FindLevelPictures(5, f));
  CreatePicture(engine.gfx, f.maskSlot, 3, 2);
  const Loaded occupied = Enter(5, nullptr);
  Forget(5);
  CreatePicture(engine.gfx, f.maskSlot, 3, 2);
  ahead.Request(5);
  ahead.WaitIdle();
  EXPECT_TRUE(Enter(5, &ahead) == occupied);
  EXPECT_EQ(occupied.mask.width, 3);
}

TEST_F(LevelPrefetchTest, WithTheLogOnTheLevelIsReadInPlaceAndLogged) {
  LevelPrefetch ahead;
  ahead.Request(0);
  engine.log.enabled = -1;
  OpenLog(engine.log);
  Enter(0, &ahead);
  CloseLog(engine.log);
  const std::string log = vxtest::ReadFile(kLogFileName);
  EXPECT_NE(log.find("trying read: data/fore1.vx1\n"), std::string::npos);
  EXPECT_NE(log.find("vxReadPic fin read data/fore1ph.vx1\n"), std::string::npos);
}

TEST_F(LevelPrefetchTest, StoppingDropsWhatWasNotTakenAndLaterRequestsStillWork) {
  LevelPrefetch ahead;
  const int64_t before = engine.gfx.pictureBytes;
  for (const int32_t level : {0, 5, 10}) ahead.Request(level);
  ahead.Stop();
  for (const int32_t level : {0, 5, 10}) EXPECT_FALSE(ahead.Holds(level));
  EXPECT_EQ(engine.gfx.pictureBytes, before);
  ahead.Request(10);  // a new worker
  EXPECT_FALSE(Enter(10, &ahead).foreground.pixels.empty());
}

// Entering a level asks for the rooms its open sides lead to.
TEST_F(LevelPrefetchTest, ALevelStartAsksForTheRoomsItsWaysOutLeadTo) {
  struct Room {
    int32_t level;
    std::vector<int32_t> asked, notAsked;
  };
  const Room rooms[] = {
      {2, {1, 3, 7}, {0, 2}},    // the start; the room entered is taken or loaded in place
      {19, {18, 24}, {14, 20}},  // row 3: no way up; its right end only the stair down
      {5, {0, 6, 10}, {4}},      // row 1's left end: no way left
      {10, {5, 15}, {9, 11}},    // the shaft leads up and down only
  };
  for (const Room& room : rooms) {
    StartLevel(game, room.level);
    for (const int32_t level : room.asked)
      EXPECT_TRUE(engine.levelPrefetch.Holds(level)) << room.level << " " << level;
    for (const int32_t level : room.notAsked)
      EXPECT_FALSE(engine.levelPrefetch.Holds(level)) << room.level << " " << level;
    FinishBackgroundWork();
  }
}

}  // namespace

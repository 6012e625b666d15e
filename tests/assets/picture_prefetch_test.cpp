// Pictures made ahead on the worker thread against those loaded in place:
// a level's two pictures and the loading groups, with the same slots,
// pixels, spans and budget, the same drawing state and scratch left behind,
// and the in-place load whenever the worker's pictures could not be moved
// in as they would have loaded.
#include "assets/picture_prefetch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <future>
#include <thread>
#include <set>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/loading.h"
#include "gfx/drawing.h"
#include "game/level_start.h"
#include "gfx/image_slots.h"
#include "gfx/picture_file.h"
#include "gfx/picture_memory.h"
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

// A picture of black pixels, dark ones by bright ones (edges to soften)
// and bright runs.
void WriteScene(const char* name, int32_t w, int32_t h, uint32_t seed) {
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

class PicturePrefetchTest : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    StartWindowed();
    // Both pictures of levels 0, 5 and 10 (a saturation each).
    for (const int32_t level : {0, 5, 10}) {
      LevelPictureFiles f{};
      ASSERT_TRUE(FindLevelPictures(level, f));
      WriteScene(f.foreground, 40, 30, static_cast<uint32_t>(level) * 77u + 1u);
      WriteScene(f.mask, 40, 30, static_cast<uint32_t>(level) * 91u + 5u);
    }
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
  Loaded Enter(int32_t level, PicturePrefetch* ahead) {
    LoadLevelPictures(game.levelPictures, level, engine.gfx, engine.effects, ahead);
    LevelPictureFiles f{};
    FindLevelPictures(level, f);
    return {Copy(f.foregroundSlot), Copy(f.maskSlot), engine.gfx.pictureBytes};
  }
};

TEST_F(PicturePrefetchTest, PicturesMadeAheadAreThoseTheLevelLoadsInPlace) {
  PicturePrefetch ahead;
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

TEST_F(PicturePrefetchTest, WhatCannotMoveInAsItWouldHaveLoadedIsLoadedInPlace) {
  PicturePrefetch ahead;
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

TEST_F(PicturePrefetchTest, WithTheLogOnTheLevelIsReadInPlaceAndLogged) {
  PicturePrefetch ahead;
  ahead.Request(0);
  engine.log.enabled = -1;
  OpenLog(engine.log);
  Enter(0, &ahead);
  CloseLog(engine.log);
  const std::string log = vxtest::ReadFile(kLogFileName);
  EXPECT_NE(log.find("trying read: data/fore1.vx1\n"), std::string::npos);
  EXPECT_NE(log.find("vxReadPic fin read data/fore1ph.vx1\n"), std::string::npos);
}

TEST_F(PicturePrefetchTest, StoppingDropsWhatWasNotTakenAndLaterRequestsStillWork) {
  PicturePrefetch ahead;
  const int64_t before = engine.gfx.pictureBytes;
  for (const int32_t level : {0, 5, 10}) ahead.Request(level);
  ahead.Stop();
  for (const int32_t level : {0, 5, 10}) EXPECT_FALSE(ahead.Holds(level));
  EXPECT_EQ(engine.gfx.pictureBytes, before);
  ahead.Request(10);  // a new worker
  EXPECT_FALSE(Enter(10, &ahead).foreground.pixels.empty());
}

TEST_F(PicturePrefetchTest, WhileHeldTheWorkerBeginsNothing) {
  PicturePrefetch ahead;
  ahead.Hold(true);
  ahead.Request(5);
  ahead.WaitIdle();  // held: nothing is under way
  EXPECT_TRUE(ahead.Holds(5));
  EXPECT_FALSE(ahead.Take(5, engine.gfx)) << "not begun: the level loads in place";
  ahead.Request(10);
  ahead.Hold(false);
  ahead.WaitIdle();
  EXPECT_TRUE(ahead.Take(10, engine.gfx));
  // Stopping lets go of the hold, so a new worker starts.
  ahead.Hold(true);
  ahead.Stop();
  ahead.Request(0);
  ahead.WaitIdle();
  EXPECT_TRUE(ahead.Take(0, engine.gfx));
}

// The worker's pictures take from the one picture memory of the process,
// and what the frame loads never depends on what the worker holds: the
// frame takes first, and the worker gives back everything it holds.
class PictureMemoryShared : public PicturePrefetchTest {
 protected:
  void SetUp() override {
    PicturePrefetchTest::SetUp();
    // Both levels' pictures do not fit at once.
    const Loaded five = Enter(5, nullptr);
    const Loaded zero = Enter(0, nullptr);
    levelFive = five.foreground.heldBytes + five.mask.heldBytes;
    levelZero = zero.foreground.heldBytes + zero.mask.heldBytes;
    Forget(5);
    Forget(0);
    // The engine's pictures so far move over to this memory.
    memory.SetLimit(engine.gfx.pictureBytes + levelFive + levelZero - 1);
    ASSERT_TRUE(memory.TakeFirst(engine.gfx.pictureBytes));
    engine.gfx.memory->GiveBack(engine.gfx.pictureBytes, false);
    engine.gfx.memory = &memory;
  }
  void TearDown() override {
    ResetAllState();  // the engine's pictures go back before the memory goes
    PicturePrefetchTest::TearDown();
  }
  PictureMemory memory{kPictureBudgetBytes};
  int64_t levelFive = 0, levelZero = 0;
};

TEST_F(PictureMemoryShared, TheFrameTakesBackWhatTheWorkerHolds) {
  // Loaded in place, one after the other: level 0 whole, and of level 5
  // what the memory has left.
  const Loaded zeroInPlace = Enter(0, nullptr);
  const Loaded fiveInPlace = Enter(5, nullptr);
  EXPECT_FALSE(zeroInPlace.mask.pixels.empty());
  EXPECT_TRUE(fiveInPlace.mask.pixels.empty()) << "the memory holds one level and a bit";
  Forget(5);
  Forget(0);

  PicturePrefetch ahead(memory);
  ahead.Request(5);
  ahead.WaitIdle();
  ASSERT_TRUE(ahead.Holds(5));
  EXPECT_EQ(memory.Lent(), levelFive) << "the worker holds level 5";
  // The frame needs memory the worker holds: it gets it, the worker's
  // level is dropped, and level 0 is what it is without the worker.
  EXPECT_TRUE(Enter(0, nullptr) == zeroInPlace);
  EXPECT_FALSE(ahead.Holds(5));
  EXPECT_EQ(memory.Lent(), 0);
  EXPECT_LE(memory.Taken(), memory.Limit());
  EXPECT_TRUE(Enter(5, &ahead) == fiveInPlace);
  EXPECT_EQ(memory.Taken(), engine.gfx.pictureBytes);
}

TEST_F(PictureMemoryShared, AWorkerShortOfMemoryIsNotTakenAndTheFrameLoadsInPlace) {
  const Loaded fiveInPlace = Enter(5, nullptr);
  ASSERT_FALSE(fiveInPlace.mask.pixels.empty());
  Forget(5);
  // One worker holds level 0; a second one, asked for level 5, finds
  // the memory short.
  PicturePrefetch first(memory), second(memory);
  first.Request(0);
  first.WaitIdle();
  second.Request(5);
  second.WaitIdle();
  EXPECT_LE(memory.Taken(), memory.Limit());
  EXPECT_TRUE(Enter(5, &second) == fiveInPlace);
  EXPECT_FALSE(first.Holds(0)) << "given back to the frame";
  EXPECT_EQ(memory.Lent(), 0);
}

// Entering a level asks for the rooms its open sides lead to.
TEST_F(PicturePrefetchTest, ALevelStartAsksForTheRoomsItsWaysOutLeadTo) {
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
      EXPECT_TRUE(engine.picturePrefetch.Holds(level)) << room.level << " " << level;
    for (const int32_t level : room.notAsked)
      EXPECT_FALSE(engine.picturePrefetch.Holds(level)) << room.level << " " << level;
    FinishBackgroundWork();
  }
}

// The loading groups. A run of the loading steps, everything it leaves
// after each step: every slot, the budget's count, the drawing state, the
// tone table and the back buffer.
struct LoadingState {
  std::vector<SlotCopy> slots;
  int64_t pictureBytes = 0;
  std::vector<int32_t> drawing;
  std::vector<uint8_t> tone;
  std::vector<uint32_t> screen;
  bool operator==(const LoadingState&) const = default;
};

class LoadingGroupTest : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    StartWindowed();
  }
  LoadingState State() {
    GfxContext& gfx = engine.gfx;
    LoadingState s;
    for (int32_t slot = 0; slot < kImageSlots; ++slot) s.slots.push_back(Copy(slot));
    s.pictureBytes = gfx.pictureBytes;
    s.drawing = {gfx.opacity, gfx.additive, gfx.supersampling, gfx.x1, gfx.y1, gfx.x2,
                 gfx.y2,      gfx.x3,       gfx.y3,            gfx.x4, gfx.y4};
    s.tone.assign(engine.effects.toneTable, engine.effects.toneTable + 257);
    s.screen.assign(gfx.backBuffer, gfx.backBuffer + gfx.screenWidth * gfx.screenHeight);
    return s;
  }
  // Every slot emptied, and the same back buffer, corners and tone table
  // for each run.
  void Fresh() {
    GfxContext& gfx = engine.gfx;
    for (int32_t slot = 0; slot < kImageSlots; ++slot) ReleasePicture(gfx, slot);
    game.levelPictures = LevelPictureState{};
    Scribble();
    gfx.x1 = 1, gfx.y1 = 2, gfx.x2 = 3, gfx.y2 = 4, gfx.x3 = 5, gfx.y3 = 6, gfx.x4 = 7, gfx.y4 = 8;
    for (int32_t v = 0; v <= 256; ++v) engine.effects.toneTable[v] = static_cast<uint8_t>(v * 7);
  }
  void Scribble() {
    GfxContext& gfx = engine.gfx;
    for (int32_t i = 0; i < gfx.screenWidth * gfx.screenHeight; ++i)
      gfx.backBuffer[i] = static_cast<uint32_t>(i) * 2654435761u | 0x01000000u;
  }
  std::vector<LoadingState> LoadingSteps(PicturePrefetch* ahead) {
    Fresh();
    if (ahead != nullptr)
      for (const int32_t step : {0, 2, 6}) ahead->RequestGroup(step, engine.gfx, engine.effects);
    std::vector<LoadingState> states;
    for (int32_t step = 0; step <= 8; ++step) {
      if (step == 2) Scribble();  // step 0 cleared it: something for step 2's scratch to draw over
      LoadAssetsStep(game.levelPictures, 0, step, engine.gfx, engine.effects, engine.sound, ahead);
      states.push_back(State());
    }
    return states;
  }
  // A few small fog, moon and text pictures of our own: the fog's screen
  // copies cover only part of the screen.
  void WriteSmallGroupFiles() {
    WriteScene("data/fog/fogp20.vx1", 512, 256, 3);
    WriteScene("data/fog/fogp21.vx1", 64, 96, 4);
    WriteScene("data/moonrp1.vx1", 20, 20, 5);
    WriteScene("data/txtrs_c.900", 32, 16, 6);
  }
};

TEST_F(LoadingGroupTest, TheLoadingStepsLeaveTheSameWithTheGroupsMadeAhead) {
  LinkGeneratedData();
  const std::vector<LoadingState> inPlace = LoadingSteps(nullptr);
  PicturePrefetch ahead;
  const std::vector<LoadingState> madeAhead = LoadingSteps(&ahead);
  ASSERT_EQ(inPlace.size(), madeAhead.size());
  for (size_t step = 0; step < inPlace.size(); ++step) EXPECT_TRUE(inPlace[step] == madeAhead[step]) << step;
  // Something was loaded: the fog, a creature's poses.
  EXPECT_FALSE(inPlace.back().slots[880].pixels.empty());
  EXPECT_FALSE(inPlace.back().slots[415].pixels.empty());
}

// The frame loop holds the worker while a frame runs; a frame that takes a
// group the worker is making must not wait for the hold it holds itself.
TEST_F(LoadingGroupTest, TakingAGroupUnderWayGoesOnWhileTheWorkerIsHeld) {
  LinkGeneratedData();
  Fresh();
  LoadGroup(engine.gfx, engine.effects, 2);
  const LoadingState inPlace = State();
  Fresh();
  PicturePrefetch ahead;
  ahead.RequestGroup(2, engine.gfx, engine.effects);
  // Held while under way, so that the take must wait for it.
  const auto start = std::chrono::steady_clock::now();
  while (!ahead.Busy() && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) std::this_thread::yield();
  ahead.Hold(true);
  auto taken = std::async(std::launch::async, [&] { return ahead.TakeGroup(2, engine.gfx, engine.effects); });
  const bool finished = taken.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  ahead.Hold(false);
  ASSERT_TRUE(finished) << "the take waited for the hold";
  EXPECT_TRUE(taken.get());
  EXPECT_TRUE(State() == inPlace);
}

TEST_F(LoadingGroupTest, EachGroupNamesEverySlotItFills) {
  LinkGeneratedData();
  for (const int32_t step : {0, 2, 6}) {
    Fresh();
    LoadGroup(engine.gfx, engine.effects, step);
    std::set<int32_t> filled;
    for (int32_t slot = 0; slot < kImageSlots; ++slot)
      if (engine.gfx.slots[slot].state != 0) filled.insert(slot);
    const std::vector<int32_t> named = LoadGroupSlots(step);
    EXPECT_EQ(filled, std::set<int32_t>(named.begin(), named.end())) << step;
  }
  EXPECT_TRUE(LoadGroupSlots(1).empty());
  EXPECT_FALSE(HasLoadGroup(8));
}

TEST_F(LoadingGroupTest, AGroupMovesInWithWhatItsLoadingLeavesBehind) {
  WriteSmallGroupFiles();
  Fresh();
  LoadGroup(engine.gfx, engine.effects, 2);
  const LoadingState inPlace = State();
  // The screen copy of the first fog picture: 400 x 200 at the corner.
  EXPECT_EQ(PictureWidth(engine.gfx, 880), 400);
  EXPECT_EQ(engine.gfx.backBuffer[0], 0u);
  EXPECT_NE(engine.gfx.backBuffer[401], 0u) << "beside the scratch area the screen is kept";

  Fresh();
  PicturePrefetch ahead;
  ahead.RequestGroup(2, engine.gfx, engine.effects);
  ahead.WaitIdle();
  ASSERT_TRUE(ahead.TakeGroup(2, engine.gfx, engine.effects));
  EXPECT_TRUE(State() == inPlace);
  EXPECT_FALSE(ahead.TakeGroup(2, engine.gfx, engine.effects)) << "taken once";
}

TEST_F(LoadingGroupTest, AGroupThatCouldNotLoadAsItIsMadeIsLoadedInPlace) {
  WriteSmallGroupFiles();
  PicturePrefetch ahead;
  // Each case changes the context between the request and the take.
  const std::vector<std::pair<const char*, void (*)()>> cases = {
      {"a slot of the group taken", [] { CreatePicture(engine.gfx, 101, 2, 2); }},
      {"a budget without room", [] { engine.gfx.pictureBudget = engine.gfx.pictureBytes + 1000; }},
      {"another drawing mode", [] { SetDrawMode(engine.gfx, 100); }},
      {"the log on", [] { engine.log.enabled = -1; }},
  };
  for (const auto& [what, change] : cases) {
    SCOPED_TRACE(what);
    Fresh();
    ahead.RequestGroup(2, engine.gfx, engine.effects);
    ahead.WaitIdle();
    change();
    const LoadingState before = State();
    EXPECT_FALSE(ahead.TakeGroup(2, engine.gfx, engine.effects));
    EXPECT_TRUE(State() == before) << "nothing moved in";
    engine.gfx.pictureBudget = kPictureBudgetBytes;
    ResetDrawMode(engine.gfx);
    engine.log.enabled = 0;
  }
  // Nothing is asked for with the log on, with a slot of the group taken,
  // or for a step without a group.
  Fresh();
  engine.log.enabled = -1;
  ahead.RequestGroup(2, engine.gfx, engine.effects);
  engine.log.enabled = 0;
  CreatePicture(engine.gfx, 408, 2, 2);
  ahead.RequestGroup(0, engine.gfx, engine.effects);
  ahead.RequestGroup(3, engine.gfx, engine.effects);
  ahead.WaitIdle();
  for (const int32_t step : {2, 0, 3}) EXPECT_FALSE(ahead.TakeGroup(step, engine.gfx, engine.effects)) << step;
}

}  // namespace

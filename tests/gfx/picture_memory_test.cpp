// The picture memory the whole process shares: contexts that decide take
// first and make the contexts that give way hand back what they hold; those
// take only what is free and nothing once recalled; every byte taken is
// given back, whether a picture is freed or a read does not use it.
#include "gfx/picture_memory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/image_slots.h"
#include "gfx/picture_file.h"
#include "support/engine_test.h"

namespace {

std::string Vx1Declaring(int32_t width, int32_t height) {
  return std::string{static_cast<char>(width & 0xff), static_cast<char>(width >> 8),
                     static_cast<char>(height & 0xff), static_cast<char>(height >> 8)} +
         std::string(6, '\0');
}

TEST(PictureMemoryCount, TakesGivesAndRecalls) {
  PictureMemory memory(1000);
  EXPECT_TRUE(memory.TakeFirst(600));
  EXPECT_TRUE(memory.TakeFree(400, memory.Recalls())) << "an exact fit";
  EXPECT_EQ(memory.Taken(), 1000);
  EXPECT_EQ(memory.Lent(), 400);
  EXPECT_FALSE(memory.TakeFree(1, memory.Recalls())) << "nothing free";

  // A holder that gives back its 400 when asked.
  struct Holder {
    PictureMemory* memory;
    int64_t held = 400;
    int asked = 0;
  } holder{&memory};
  memory.AddHolder(&holder, [](void* h) {
    auto* self = static_cast<Holder*>(h);
    ++self->asked;
    self->memory->GiveBack(self->held, true);
    self->held = 0;
  });
  const uint64_t before = memory.Recalls();
  EXPECT_TRUE(memory.TakeFirst(300)) << "the holder's bytes come back first";
  EXPECT_EQ(holder.asked, 1);
  EXPECT_EQ(memory.Taken(), 900);
  EXPECT_EQ(memory.Lent(), 0);
  EXPECT_FALSE(memory.TakeFree(50, before)) << "a context begun before the recall takes nothing more";
  EXPECT_TRUE(memory.TakeFree(50, memory.Recalls()));
  // Past the limit even with everything recalled: refused, nothing taken.
  EXPECT_FALSE(memory.TakeFirst(200));
  EXPECT_EQ(memory.Taken(), 950);
  memory.Settle(50);
  EXPECT_EQ(memory.Lent(), 0);
  memory.RemoveHolder(&holder);
  const int asked = holder.asked;
  EXPECT_FALSE(memory.TakeFirst(100));
  EXPECT_EQ(holder.asked, asked) << "a removed holder is not asked";
  memory.GiveBack(950, false);
  EXPECT_EQ(memory.Taken(), 0);
  EXPECT_FALSE(memory.TakeFirst(-1));
  EXPECT_FALSE(memory.TakeFree(-1, memory.Recalls()));
}

class PictureMemoryTest : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    vxtest::WriteFile("data/a.vx1", Vx1Declaring(200, 100));
    each = PictureHeldBytes(200, 100);
  }
  int64_t each = 0;
};

TEST_F(PictureMemoryTest, EveryContextCountsAndGivesBackWhatItHolds) {
  PictureMemory memory(10 * each);
  GfxContext frame;
  frame.memory = &memory;
  {
    GfxContext other;
    other.memory = &memory;
    LoadPicture(frame, 1, "data/a.vx1");
    CreatePicture(other, 1, 200, 100);
    EXPECT_EQ(memory.Taken(), 2 * each);
    ReleasePicture(frame, 1);
    EXPECT_EQ(memory.Taken(), each);
  }
  EXPECT_EQ(memory.Taken(), 0) << "a context gives back what its slots hold when it goes";

  // A read that does not use what it took gives it back: the file ends
  // before its pixels, yet a missing file, a refused size or an empty
  // slot number leave nothing taken.
  LoadPicture(frame, 2, "data/missing.vx1");
  vxtest::WriteFile("data/huge.vx1", Vx1Declaring(20000, 2));
  LoadPicture(frame, 3, "data/huge.vx1");
  CreatePicture(frame, 4, 0, 5);
  EXPECT_EQ(memory.Taken(), 0);
  EXPECT_FALSE(HasPixels(frame, 3));

  // The budget of the context decides first; the shared memory after.
  frame.pictureBudget = each - 1;
  LoadPicture(frame, 5, "data/a.vx1");
  EXPECT_FALSE(HasPixels(frame, 5));
  EXPECT_EQ(memory.Taken(), 0);
}

TEST_F(PictureMemoryTest, AContextThatGivesWayTakesOnlyWhatIsFreeAndSaysSo) {
  PictureMemory memory(3 * each);
  GfxContext frame, ahead;
  frame.memory = ahead.memory = &memory;
  MakeGiveWay(ahead);
  LoadPicture(frame, 1, "data/a.vx1");
  LoadPicture(frame, 2, "data/a.vx1");
  LoadPicture(ahead, 1, "data/a.vx1");
  EXPECT_TRUE(HasPixels(ahead, 1));
  EXPECT_FALSE(ahead.shortOfMemory);
  EXPECT_EQ(memory.Lent(), each);
  // Its own budget would take the next one; the memory is not free.
  LoadPicture(ahead, 2, "data/a.vx1");
  EXPECT_FALSE(HasPixels(ahead, 2));
  EXPECT_TRUE(ahead.shortOfMemory) << "refused for memory that others hold";
  CreatePicture(ahead, 3, 200, 100);
  EXPECT_FALSE(HasPixels(ahead, 3));
  EXPECT_EQ(memory.Taken(), 3 * each);
  ReleasePicture(ahead, 1);
  EXPECT_EQ(memory.Lent(), 0);
  EXPECT_EQ(memory.Taken(), 2 * each);
}

// The process's own memory is the picture budget, and the engine's
// contexts take from it: after a reset nothing is held.
TEST_F(PictureMemoryTest, TheProcessMemoryIsThePictureBudget) {
  PictureMemory& memory = ProcessPictureMemory();
  EXPECT_EQ(memory.Limit(), kPictureBudgetBytes);
  EXPECT_EQ(engine.gfx.memory, &memory);
  const int64_t before = memory.Taken();
  LoadPicture(engine.gfx, 7, "data/a.vx1");
  EXPECT_EQ(memory.Taken(), before + each);
  ResetAllState();
  EXPECT_EQ(memory.Taken(), before);
  EXPECT_EQ(memory.Lent(), 0);
}

}  // namespace

// The player's actions apart from moving: the swing and its rest, the
// sword's hitting frames and sounds, the gun shots' frames and sounds, the
// weapon change on release, the last level and the count after death.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "game/player_fixture.h"
#include "sound/sound_context.h"
#include "sound/wave_bytes.h"

namespace {

using vxtest::PlayerTest;

class PlayerActions : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    FlatFloor();
    Place(400, 420);
  }
  static void Attack(int32_t held) { UpdatePlayer(game, 0, 0, 0, 0, held); }
  static void Switch(int32_t held) { UpdatePlayer(game, 0, 0, 0, held, 0); }
  // Samples first..first + 2 loaded, so that the backend counts their plays.
  void LoadSamples(int32_t first) {
    vxtest::WriteFile("s.wav", vxtest::PcmWave(1, 22050, 8, "abcd"));
    for (int32_t s = first; s < first + 3; ++s) LoadSound(engine.sound, "s.wav", s);
  }
  int32_t Plays(int32_t first) const {
    int32_t n = 0;
    for (int32_t s = first; s < first + 3; ++s)
      if (const auto* b = backend->SoundInSlot(s)) n += b->plays;
    return n;
  }
};

TEST_F(PlayerActions, OnePressSwingsFramesOneToTenThenRestsTwoFramesWhileAttacking) {
  std::vector<int32_t> frames;
  Attack(-1);
  frames.push_back(game.player.attackFrame);
  for (int32_t i = 0; i < 11; ++i) {
    Attack(0);  // the latch carries the swing on
    frames.push_back(game.player.attackFrame);
  }
  EXPECT_EQ(frames, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 0}));
  EXPECT_EQ(game.player.attackLatch, 0);
  EXPECT_EQ(game.player.attackCooldown, 2);
  EXPECT_EQ(game.player.prevAttackFrame, 0);
  // The rest is not counted down while nobody attacks...
  Attack(0);
  EXPECT_EQ(game.player.attackCooldown, 2);
  // ...so a fresh press spends two frames on it and swings on the third.
  Attack(-1);
  EXPECT_EQ(game.player.attackFrame, 0);
  EXPECT_EQ(game.player.attackCooldown, 1);
  Attack(0);
  EXPECT_EQ(game.player.attackFrame, 0);
  EXPECT_EQ(game.player.attackCooldown, 0);
  Attack(0);
  EXPECT_EQ(game.player.attackFrame, 1);
  EXPECT_EQ(game.player.prevAttackFrame, 0);
}

TEST_F(PlayerActions, TheCurvedSwordHitsOnEveryFrameOfTheSwingTheStraightOneOnFramesFourToNine) {
  std::set<int32_t> hitting40, hitting41;
  for (const int32_t weapon : {40, 41}) {
    Place(400, 420);
    game.player.weapon = weapon;
    game.player.attackFrame = game.player.attackCooldown = game.player.attackLatch = 0;
    Attack(-1);
    for (int32_t i = 0; i < 12; ++i) {
      if (game.player.swordActive == -1) (weapon == 40 ? hitting40 : hitting41).insert(game.player.attackFrame);
      EXPECT_TRUE(game.player.swordActive == 0 || game.player.swordActive == -1);
      Attack(0);
    }
  }
  EXPECT_EQ(hitting40, (std::set<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(hitting41, (std::set<int32_t>{4, 5, 6, 7, 8, 9}));
  game.player.weapon = 42;
  Attack(-1);
  EXPECT_EQ(game.player.swordActive, 0);
}

TEST_F(PlayerActions, SwordSoundAtFrameSevenAndShotSoundsAtTheirFramesOnlyWithSoundOn) {
  LoadSamples(8);
  LoadSamples(20);
  LoadSamples(30);
  game.settings.soundOn = -1;
  const auto swing = [&](int32_t weapon) {
    game.player.weapon = weapon;
    game.player.attackFrame = game.player.attackCooldown = game.player.attackLatch = 0;
    std::vector<int32_t> before = {Plays(8), Plays(20), Plays(30)};
    std::vector<int32_t> at;  // attack frames at which a sound started
    Attack(-1);
    for (int32_t i = 0; i < 11; ++i) {
      const std::vector<int32_t> now = {Plays(8), Plays(20), Plays(30)};
      if (now != before) at.push_back(game.player.attackFrame);
      before = now;
      Attack(0);
    }
    return at;
  };
  EXPECT_EQ(swing(41), std::vector<int32_t>{7});
  EXPECT_EQ(Plays(8), 1);
  EXPECT_EQ(swing(42), (std::vector<int32_t>{1, 6}));
  EXPECT_EQ(Plays(20), 2);
  // The heavy gun fires at frame 6 only; frame 1 only smokes.
  EXPECT_EQ(swing(43), std::vector<int32_t>{6});
  EXPECT_EQ(Plays(30), 1);
  game.progress.doubleShot = -1;
  EXPECT_EQ(swing(43), (std::vector<int32_t>{1, 6}));
  EXPECT_EQ(Plays(30), 3);
  game.settings.soundOn = 0;
  EXPECT_TRUE(swing(41).empty());
  EXPECT_TRUE(swing(42).empty());
}

TEST_F(PlayerActions, ReleasingNextWeaponTakesTheNextOwnedOneSkippingGaps) {
  struct Case {
    std::vector<int32_t> owned;
    int32_t from;
    int32_t to;
  };
  const Case cases[] = {
      {{40, 41, 42, 43}, 41, 42},
      {{40, 41, 42, 43}, 43, 40},  // the turn wraps after the last gun
      {{40, 43}, 40, 43},
      {{40, 43}, 43, 40},
      {{41}, 41, 41},      // the searches find the one weapon again
      {{41, 42}, 42, 41},  // none after 42: the search from 0 finds 41
      {{41, 60}, 41, 60},  // any owned entry counts, up to 100
      {{43, 60}, 43, 43},  // after the last gun the search starts again at 40
      {{}, 41, 42},        // nothing owned: the weapon just moves on
  };
  for (const Case& c : cases) {
    for (int32_t& o : game.progress.owned) o = 0;
    for (const int32_t w : c.owned) game.progress.owned[w] = 1;
    game.player.weapon = c.from;
    Switch(-1);
    EXPECT_EQ(game.player.weapon, c.from) << "held: no change yet";
    Switch(0);
    EXPECT_EQ(game.player.weapon, c.to) << "from " << c.from;
    Switch(0);
    EXPECT_EQ(game.player.weapon, c.to) << "one change per release";
  }
  // The body strip follows the weapon in hand.
  game.progress.owned[43] = 1;
  game.player.weapon = 42;
  Switch(-1);
  Switch(0);
  EXPECT_EQ(game.player.bodySlot, 24);
  game.progress.owned[40] = 1;
  Switch(-1);
  Switch(0);
  EXPECT_EQ(game.player.weapon, 40);
  EXPECT_EQ(game.player.bodySlot, 21);
}

TEST_F(PlayerActions, WeaponNumbersOutsideTheTableAreSafe) {
  for (const int32_t w : {-5, 0, 99, 100, 150, INT32_MIN, INT32_MAX}) {
    for (int32_t& o : game.progress.owned) o = 0;
    game.progress.owned[41] = 1;
    game.player.weapon = w;
    Switch(-1);
    Switch(0);
    EXPECT_EQ(game.player.weapon, 41) << w;
  }
}

TEST_F(PlayerActions, OnTheLastLevelTheAttackIsIgnoredAndTheEndingComesAfter150Frames) {
  game.level = 24;
  for (int32_t i = 1; i <= 150; ++i) {
    Attack(-1);
    ASSERT_EQ(game.player.endingTimer, i);
    ASSERT_EQ(game.frameResult, 0);
  }
  EXPECT_EQ(game.player.attackFrame, 0);
  Attack(-1);
  EXPECT_EQ(game.player.endingTimer, 150);
  EXPECT_EQ(game.frameResult, 135);
}

TEST_F(PlayerActions, AfterDeathOnlyTheDeathTimerCountsAndTheMessageComesOnThe31stFrame) {
  game.player.alive = 0;
  const int32_t x = game.player.x;
  for (int32_t i = 1; i <= 30; ++i) {
    UpdatePlayer(game, -1, 0, -1, 0, -1);
    ASSERT_EQ(game.frameResult, 0) << i;
  }
  EXPECT_EQ(game.player.x, x);
  EXPECT_EQ(game.player.attackFrame, 0);
  Attack(0);
  EXPECT_EQ(game.frameResult, 105);
  game.frameResult = 103;  // another message of this frame is kept
  Attack(0);
  EXPECT_EQ(game.frameResult, 103);
  for (int32_t i = 0; i < 200; ++i) Attack(0);
  EXPECT_EQ(game.player.deathTimer, 100);
  // Alive again, the timer is cleared.
  game.player.alive = -1;
  Attack(0);
  EXPECT_EQ(game.player.deathTimer, 0);
}

}  // namespace

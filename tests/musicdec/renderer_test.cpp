#include "musicdec/renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "musicdec/score.h"
#include "musicdec_test_support.h"

namespace {

using musicdec::RenderLoopToMemory;

musicdec::Score Parse(const std::string& text) {
  auto r = musicdec::ParseScore(text);
  EXPECT_TRUE(r.ok) << r.error;
  return r.score;
}

// Frequency of the left channel from its rising zero crossings.
double MeasuredFrequency(const std::vector<std::int16_t>& s, std::size_t fromFrame, std::size_t toFrame) {
  int crossings = 0;
  std::size_t first = 0, last = 0;
  for (std::size_t i = fromFrame + 1; i < toFrame; ++i) {
    if (s[2 * (i - 1)] < 0 && s[2 * i] >= 0) {
      if (crossings == 0) first = i;
      last = i;
      ++crossings;
    }
  }
  return crossings > 1 ? (crossings - 1) * 44100.0 / static_cast<double>(last - first) : 0.0;
}

double RmsDb(const std::vector<std::int16_t>& s) {
  double sum = 0.0;
  for (std::int16_t v : s) sum += double(v) * v;
  return 20.0 * std::log10(std::sqrt(sum / static_cast<double>(s.size())) / 32768.0);
}

const char* kSineScore = R"(vxm 1
tempo 120
reverb 0 0 0
instrument tone
  osc1 sine 1
  env 0.01 0.1 1 0.05
  poly 1
end
pattern a 8
  tone A4 - - - - - - -
end
order a a+12
)";

TEST(MusicdecRenderer, NotesSoundAtTheirPitch) {
  const auto score = Parse(kSineScore);
  const auto s = RenderLoopToMemory(score);
  ASSERT_EQ(s.size(), 2u * 44100u * 2u);  // 16 steps at 120 beats a minute: 2 s
  // The middle of each held note, away from the attack and the release.
  EXPECT_NEAR(MeasuredFrequency(s, 4410, 39690), 440.0, 0.5);
  EXPECT_NEAR(MeasuredFrequency(s, 48510, 83790), 880.0, 1.0);
}

TEST(MusicdecRenderer, SameScoreSameSamples) {
  const auto score = Parse(musicdec_test::kShortScore);
  const auto a = RenderLoopToMemory(score);
  const auto b = RenderLoopToMemory(score);
  ASSERT_EQ(a.size(), static_cast<std::size_t>(score.LoopFrames()) * 2);
  EXPECT_TRUE(a == b);
  // Not silent, and the noise hats make both channels busy.
  int loud = 0;
  for (std::int16_t v : a) loud += std::abs(v) > 1000;
  EXPECT_GT(loud, static_cast<int>(a.size() / 10));
}

// The page renders a slice per display frame; slices of any size, odd
// ones and ones smaller than a control block included, give the frames
// of one whole render, and the sink sees every kept frame once.
TEST(MusicdecRenderer, RenderingInSlicesGivesTheSameFrames) {
  const auto score = Parse(musicdec_test::kShortScore);
  const auto whole = RenderLoopToMemory(score);
  for (const std::int64_t slice : {std::int64_t{1}, std::int64_t{37}, std::int64_t{4096}, std::int64_t{99991}}) {
    SCOPED_TRACE(slice);
    musicdec::LoopRenderer renderer(score);
    std::vector<std::int16_t> sliced;
    int steps = 0;
    while (!renderer.Done()) {
      ASSERT_TRUE(renderer.Step(slice, [&](const std::int16_t* frames, std::size_t count) {
        sliced.insert(sliced.end(), frames, frames + count * 2);
        return true;
      }));
      ++steps;
    }
    EXPECT_TRUE(sliced == whole);
    EXPECT_GE(steps, static_cast<int>(2 * score.LoopFrames() / (slice + 64)));
    // Done stays done: a further step renders nothing.
    EXPECT_TRUE(renderer.Step(slice, [](const std::int16_t*, std::size_t) { return false; }));
  }
}

TEST(MusicdecRenderer, LoopJoinsWithoutAClick) {
  const auto score = Parse(musicdec_test::kShortScore);
  const auto warm = RenderLoopToMemory(score);
  const auto seam = musicdec_test::MeasureSeam(warm, 0.99);
  EXPECT_LE(seam.wrapJump, seam.typicalJump) << "wrap " << seam.wrapJump << " typical " << seam.typicalJump;

  // Started from silence, the same loop has the held chord, the reverb and
  // the echoes missing at its start: the check above must see that seam.
  musicdec::RenderOptions cold;
  cold.warmUp = false;
  const auto coldSamples = RenderLoopToMemory(score, cold);
  const auto coldSeam = musicdec_test::MeasureSeam(coldSamples, 0.99);
  EXPECT_GT(coldSeam.wrapJump, 2 * coldSeam.typicalJump)
      << "wrap " << coldSeam.wrapJump << " typical " << coldSeam.typicalJump;
  // Further in, both renders play the same notes; only the tails differ.
  EXPECT_NE(warm, coldSamples);
}

TEST(MusicdecRenderer, MixReachesItsLoudness) {
  for (const char* level : {"-20", "-14"}) {
    std::string text = musicdec_test::kShortScore;
    text.insert(text.find("tempo"), std::string("level ") + level + "\n");
    const auto s = RenderLoopToMemory(Parse(text));
    EXPECT_NEAR(RmsDb(s), std::atof(level), 1.0) << level;
  }
}

TEST(MusicdecRenderer, OverloadSaturatesInsteadOfWrapping) {
  // Six loud sines pushed 6 dB under full scale on average: the peaks
  // must bend into the soft clip, never wrap round to the other sign.
  const auto s = RenderLoopToMemory(Parse(R"(vxm 1
level -6
instrument tone
  osc1 sine 2
  env 0.001 0.1 1 0.05
  volume 2
  poly 8
end
pattern a 4
  tone C3+E3+G3+C4+E4+G4 - - -
end
order a
)"));
  int peak = 0, biggestJump = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    if (i >= 2) biggestJump = std::max(biggestJump, std::abs(s[i] - s[i - 2]));
  }
  EXPECT_GT(peak, 30000);
  EXPECT_LE(peak, 32440);  // 0.99 of full scale
  EXPECT_LT(biggestJump, 8000);
}

TEST(MusicdecRenderer, SoftClipIsSmoothAndBounded) {
  EXPECT_FLOAT_EQ(musicdec::SoftClip(0.5f), 0.5f);
  EXPECT_FLOAT_EQ(musicdec::SoftClip(-0.7f), -0.7f);
  float previous = musicdec::SoftClip(-1000.0f);
  EXPECT_GT(previous, -1.0f);
  for (float x = -20.0f; x <= 20.0f; x += 0.001f) {
    const float y = musicdec::SoftClip(x);
    EXPECT_GE(y, previous) << x;
    EXPECT_LE(y - previous, 0.0011f) << x;  // slope never above 1: no kink upwards
    EXPECT_LE(std::fabs(y), 0.99f) << x;
    previous = y;
  }
}

TEST(MusicdecRenderer, SinkCanStopTheRender) {
  const auto score = Parse(musicdec_test::kShortScore);
  int calls = 0;
  const bool finished =
      musicdec::RenderLoop(score, [&](const std::int16_t*, std::size_t) { return ++calls < 2; });
  EXPECT_FALSE(finished);
  EXPECT_EQ(calls, 2);
}

}  // namespace

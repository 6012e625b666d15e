#include "platform/sound_mixer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::ConvertToDevice;
using platform::MixerSamples;
using platform::SoundMixer;
using platform::WaveFormat;

WaveFormat Pcm(uint16_t channels, uint32_t rate, uint16_t bits) {
  WaveFormat f;
  f.formatTag = 1;
  f.channels = channels;
  f.samplesPerSec = rate;
  f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
  f.avgBytesPerSec = rate * f.blockAlign;
  f.bitsPerSample = bits;
  return f;
}

std::vector<int16_t> Interleaved(const MixerSamples& s) {
  return std::vector<int16_t>(s.samples.get(), s.samples.get() + s.frames * 2);
}

// A buffer of stereo frames given as left, right, left, right, ...
MixerSamples Frames(const std::vector<int16_t>& lr) {
  MixerSamples s;
  s.frames = static_cast<uint32_t>(lr.size() / 2);
  s.samples.reset(new int16_t[lr.size()]);
  std::copy(lr.begin(), lr.end(), s.samples.get());
  return s;
}

std::vector<int16_t> Mix(SoundMixer& m, size_t frames) {
  std::vector<int16_t> out(frames * 2, 12345);
  m.Mix(out.data(), frames);
  return out;
}

TEST(MixerConvert, EightBitMonoHalfRateBecomesStereoSixteenAtDeviceRate) {
  const uint8_t data[] = {0x80, 0xc0, 0x00};
  MixerSamples s;
  ASSERT_TRUE(ConvertToDevice(Pcm(1, 22050, 8), data, sizeof data, 44100, s));
  ASSERT_EQ(s.frames, 6u);
  // Unsigned 8-bit centred on 128, both channels alike, midpoints
  // interpolated, the last frame held.
  EXPECT_EQ(Interleaved(s), (std::vector<int16_t>{0, 0, 8192, 8192, 16384, 16384, -8192, -8192, -32768, -32768,
                                                 -32768, -32768}));
}

TEST(MixerConvert, SixteenBitStereoAtDeviceRateIsCopied) {
  const int16_t src[] = {1, -1, 32767, -32768, 300, 400};
  MixerSamples s;
  ASSERT_TRUE(ConvertToDevice(Pcm(2, 44100, 16), reinterpret_cast<const uint8_t*>(src), sizeof src, 44100, s));
  EXPECT_EQ(Interleaved(s), std::vector<int16_t>(std::begin(src), std::end(src)));

  // A trailing partial frame is dropped.
  ASSERT_TRUE(ConvertToDevice(Pcm(2, 44100, 16), reinterpret_cast<const uint8_t*>(src), sizeof src - 2, 44100, s));
  EXPECT_EQ(s.frames, 2u);
}

TEST(MixerConvert, DownsamplingKeepsDurationAndInterpolates) {
  std::vector<int16_t> ramp(480);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i * 10);
  MixerSamples s;
  ASSERT_TRUE(ConvertToDevice(Pcm(1, 48000, 16), reinterpret_cast<const uint8_t*>(ramp.data()),
                              static_cast<uint32_t>(ramp.size() * 2), 44100, s));
  ASSERT_EQ(s.frames, 441u);
  // Frame j lies at source position j × 48000 / 44100; on a ramp of 10 per
  // frame that is j × 480000 / 44100 truncated, on both channels.
  for (uint32_t j : {0u, 1u, 2u, 100u, 440u}) {
    const int16_t want = static_cast<int16_t>(j * 480000ull / 44100);
    EXPECT_EQ(s.samples[j * 2], want) << j;
    EXPECT_EQ(s.samples[j * 2 + 1], want) << j;
  }
}

TEST(MixerConvert, RefusesWhatCannotBePlayed) {
  const std::vector<uint8_t> data(64, 0x80);
  MixerSamples s;
  struct Case {
    const char* what;
    WaveFormat format;
  };
  std::vector<Case> cases = {{"no channels", Pcm(0, 22050, 8)}, {"three channels", Pcm(3, 22050, 16)},
                             {"24 bits", Pcm(1, 22050, 24)},    {"12 bits", Pcm(1, 22050, 12)},
                             {"rate 0", Pcm(1, 0, 8)}};
  WaveFormat misaligned = Pcm(2, 22050, 16);
  misaligned.blockAlign = 2;
  cases.push_back({"block align", misaligned});
  WaveFormat fl = Pcm(1, 22050, 16);
  fl.formatTag = 3;
  cases.push_back({"float", fl});
  for (const Case& c : cases) {
    EXPECT_FALSE(ConvertToDevice(c.format, data.data(), static_cast<uint32_t>(data.size()), 44100, s)) << c.what;
    EXPECT_EQ(s.frames, 0u) << c.what;
  }
  EXPECT_FALSE(ConvertToDevice(Pcm(2, 22050, 16), data.data(), 3, 44100, s)) << "less than one frame";
  EXPECT_FALSE(ConvertToDevice(Pcm(1, 22050, 8), nullptr, 10, 44100, s)) << "no data";
  // 400000 frames at 100 Hz would become 176 million device frames.
  const std::vector<uint8_t> slow(400000, 0x80);
  EXPECT_FALSE(ConvertToDevice(Pcm(1, 100, 8), slow.data(), static_cast<uint32_t>(slow.size()), 44100, s));
}

TEST(MixerMix, SumsSaturateInsteadOfWrapping) {
  SoundMixer m;
  m.Add(1, Frames({30000, -30000, 20000, -20000}));
  m.Add(2, Frames({30000, -30000, -25000, 25000}));
  m.Play(1, false);
  m.Play(2, false);
  EXPECT_EQ(Mix(m, 3), (std::vector<int16_t>{32767, -32768, -5000, 5000, 0, 0}));
}

TEST(MixerMix, SilenceWhenNothingPlays) {
  SoundMixer m;
  m.Add(1, Frames({100, 100}));
  EXPECT_EQ(Mix(m, 2), std::vector<int16_t>(4, 0));
  m.Play(7, true);  // unknown handles are ignored
  m.Stop(7);
  EXPECT_FALSE(m.IsPlaying(7));
}

TEST(MixerMix, OneShotEndsAndLoopsWrapAroundWithinAndAcrossCalls) {
  SoundMixer m;
  m.Add(1, Frames({1, 10, 2, 20, 3, 30}));
  m.Play(1, false);
  EXPECT_EQ(Mix(m, 5), (std::vector<int16_t>{1, 10, 2, 20, 3, 30, 0, 0, 0, 0}));
  EXPECT_FALSE(m.IsPlaying(1));

  m.Play(1, true);
  EXPECT_EQ(Mix(m, 7), (std::vector<int16_t>{1, 10, 2, 20, 3, 30, 1, 10, 2, 20, 3, 30, 1, 10}));
  EXPECT_EQ(m.Position(1), 1u);
  EXPECT_TRUE(m.IsPlaying(1));
  // Longer than the mixer's internal block: the pattern keeps its phase.
  const std::vector<int16_t> out = Mix(m, 1000);
  for (size_t i = 0; i < 1000; ++i) {
    const int16_t want = static_cast<int16_t>((i + 1) % 3 + 1);
    ASSERT_EQ(out[i * 2], want) << i;
    ASSERT_EQ(out[i * 2 + 1], want * 10) << i;
  }
}

TEST(MixerMix, StopRewindsAndReplayRestarts) {
  SoundMixer m;
  m.Add(1, Frames({1, 1, 2, 2, 3, 3, 4, 4}));
  m.Play(1, false);
  Mix(m, 2);
  m.Stop(1);
  EXPECT_EQ(m.Position(1), 0u);
  EXPECT_EQ(Mix(m, 1), (std::vector<int16_t>{0, 0}));
  m.Play(1, false);
  EXPECT_EQ(Mix(m, 1), (std::vector<int16_t>{1, 1}));
  // Playing again while playing starts over.
  Mix(m, 1);
  m.Play(1, false);
  EXPECT_EQ(Mix(m, 2), (std::vector<int16_t>{1, 1, 2, 2}));
}

TEST(MixerMix, RemovedBuffersLeaveTheMix) {
  SoundMixer m;
  m.Add(1, Frames({5, 5}));
  m.Add(2, Frames({7, 7}));
  m.Play(1, true);
  m.Play(2, true);
  const MixerSamples taken = m.Remove(1);
  EXPECT_EQ(taken.frames, 1u);
  EXPECT_EQ(m.Samples(1), nullptr);
  EXPECT_EQ(Mix(m, 2), (std::vector<int16_t>{7, 7, 7, 7}));
  EXPECT_EQ(m.Remove(1).frames, 0u);
  m.Clear();
  EXPECT_EQ(Mix(m, 1), (std::vector<int16_t>{0, 0}));
}

// Volume scales each sample of its own buffer, truncating toward zero, and
// a quiet voice keeps its place in the sample.
TEST(MixerMix, VolumeScalesEachBufferAndSilenceStillAdvances) {
  const std::vector<int16_t> loud = {32767, -32768, 199, -199, 100, -100, 1, -1};
  struct Case {
    int32_t percent;
    std::vector<int16_t> want;
  };
  const Case cases[] = {
      {100, loud},
      {99, {32439, -32440, 197, -197, 99, -99, 0, 0}},
      {1, {327, -327, 1, -1, 1, -1, 0, 0}},
      {0, {0, 0, 0, 0, 0, 0, 0, 0}},
      {250, loud},                     // above full is full
      {-5, {0, 0, 0, 0, 0, 0, 0, 0}},  // below silence is silence
  };
  for (const Case& c : cases) {
    SoundMixer m;
    m.Add(1, Frames(loud));
    m.SetVolume(1, c.percent);
    m.Play(1, false);
    EXPECT_EQ(Mix(m, 4), c.want) << c.percent;
    EXPECT_FALSE(m.IsPlaying(1)) << "a silent one-shot still ends: " << c.percent;
  }

  // Only the buffer given is scaled; the others stay at full.
  SoundMixer m;
  m.Add(1, Frames({1000, 1000}));
  m.Add(2, Frames({10, 10}));
  m.SetVolume(1, 50);
  EXPECT_EQ(m.Volume(1), 50);
  EXPECT_EQ(m.Volume(2), 100);
  m.Play(1, true);
  m.Play(2, true);
  EXPECT_EQ(Mix(m, 1), (std::vector<int16_t>{510, 510}));
  // A buffer turned down to silence and back up is where it would have been.
  m.Add(3, Frames({1, 1, 2, 2, 3, 3}));
  m.SetVolume(3, 0);
  m.Play(3, true);
  Mix(m, 2);
  EXPECT_EQ(m.Position(3), 2u);
  m.SetVolume(3, 100);
  m.SetVolume(7, 30);  // an unknown handle is ignored
  EXPECT_EQ(Mix(m, 1), (std::vector<int16_t>{513, 513}));
}

}  // namespace

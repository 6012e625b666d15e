#include "platform/sdl/sdl_audio.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using platform::SdlAudio;

// Chooses SDL's audio driver for one test and restores the caller's choice.
class DriverChoice {
 public:
  explicit DriverChoice(const char* driver) {
    const char* old = std::getenv("SDL_AUDIODRIVER");
    if (old != nullptr) previous_ = old;
    had_ = old != nullptr;
    setenv("SDL_AUDIODRIVER", driver, 1);
  }
  ~DriverChoice() {
    if (had_) {
      setenv("SDL_AUDIODRIVER", previous_.c_str(), 1);
    } else {
      unsetenv("SDL_AUDIODRIVER");
    }
  }

 private:
  std::string previous_;
  bool had_ = false;
};

platform::WaveFormat Pcm16Stereo() {
  platform::WaveFormat f;
  f.formatTag = 1;
  f.channels = 2;
  f.samplesPerSec = 22050;
  f.blockAlign = 4;
  f.avgBytesPerSec = 22050 * 4;
  f.bitsPerSample = 16;
  return f;
}

TEST(MixerSdlDevice, MissingAudioSystemLeavesTheGameSilent) {
  DriverChoice choice("no-such-driver");
  SdlAudio audio;
  EXPECT_EQ(audio.Open(), platform::kAudioNoDevice);
  const std::vector<uint8_t> data(400, 0);
  EXPECT_EQ(audio.CreateBuffer(Pcm16Stereo(), data.data(), static_cast<uint32_t>(data.size())), 0);
  audio.Play(1, true);  // nothing to reach: no effect, no crash
  audio.Stop(1);
  audio.ReleaseBuffer(1);
  audio.Close();
}

// The dummy driver runs the real callback on SDL's audio thread, so this
// drives the mixer under the device lock as a sound card would.
TEST(MixerSdlDevice, BuffersLiveOnARunningDevice) {
  DriverChoice choice("dummy");
  SdlAudio audio;
  const int32_t opened = audio.Open();
  if (opened != platform::kAudioReady) GTEST_SKIP() << "SDL has no dummy audio driver here";
  std::vector<uint8_t> data(22050 * 4 / 10);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
  const int32_t a = audio.CreateBuffer(Pcm16Stereo(), data.data(), static_cast<uint32_t>(data.size()));
  const int32_t b = audio.CreateBuffer(Pcm16Stereo(), data.data(), static_cast<uint32_t>(data.size()));
  EXPECT_GT(a, 0);
  EXPECT_GT(b, 0);
  EXPECT_NE(a, b);
  platform::WaveFormat bad = Pcm16Stereo();
  bad.channels = 0;
  EXPECT_EQ(audio.CreateBuffer(bad, data.data(), static_cast<uint32_t>(data.size())), 0);
  for (int i = 0; i < 200; ++i) {
    audio.Play(a, i % 2 == 0);
    audio.Play(b, true);
    audio.Stop(a);
  }
  audio.ReleaseBuffer(a);
  audio.ReleaseBuffer(a);  // already gone
  audio.Close();
  audio.Close();
  EXPECT_EQ(audio.CreateBuffer(Pcm16Stereo(), data.data(), static_cast<uint32_t>(data.size())), 0);
  // The device opens again after a close.
  EXPECT_EQ(audio.Open(), platform::kAudioReady);
  audio.Close();
}

}  // namespace

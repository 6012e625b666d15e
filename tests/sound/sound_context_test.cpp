#include "sound/sound_context.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "display/screen_handler.h"
#include "sound/wave_bytes.h"
#include "sound/wave_file.h"
#include "support/engine_test.h"

namespace {

using platform::HeadlessBackend;

class SoundDevice : public vxtest::EngineTest {
 protected:
  void EnableLog() {
    engine.log.enabled = 1;
    OpenLog(engine.log);
  }
  std::string LogText() {
    engine.log.stream.flush();
    return vxtest::ReadFile(kLogFileName);
  }
  // The sound records of the backend, without their frame stamps.
  std::vector<std::string> SoundCalls() const {
    std::vector<std::string> out;
    for (const auto& c : backend->Calls())
      if (c.what.rfind("sound ", 0) == 0 || c.what.rfind("audio ", 0) == 0) out.push_back(c.what);
    return out;
  }
  void Ready() {
    ASSERT_EQ(vxInitDirectSound(engine.sound), 0);
    vxtest::WriteFile("a.wav", vxtest::PcmWave(2, 44100, 16, std::string(64, '\x11')));
  }
};

TEST_F(SoundDevice, StartUpLogsEachStepThatPassed) {
  EnableLog();
  EXPECT_EQ(vxInitDirectSound(engine.sound), 0);
  EXPECT_EQ(engine.sound.available, 1);
  EXPECT_NE(engine.sound.device, 0);
  EXPECT_EQ(LogText(),
            "this is vx_engine_1 log. program started!\n"
            "vxInitDirectSound started\nDirectSoundCreate ok\nSetCooperativeLevel ok\n"
            "vxInitDirectSound finished. error status: 0\n");
}

TEST_F(SoundDevice, FailedStepsStopTheLogAndLeaveSoundUnavailable) {
  HeadlessBackend::Options options;
  options.audioFails = true;
  options.audioFailStep = platform::kAudioNoDevice;
  UseBackend(options);
  EnableLog();
  EXPECT_EQ(vxInitDirectSound(engine.sound), 1);
  EXPECT_EQ(engine.sound.available, 0);

  ResetAllState();
  options.audioFailStep = platform::kAudioRefused;
  UseBackend(options);
  EnableLog();
  EXPECT_EQ(vxInitDirectSound(engine.sound), 2);
  EXPECT_EQ(engine.sound.available, 0);
  EXPECT_EQ(LogText(),
            "this is vx_engine_1 log. program started!\n"
            "vxInitDirectSound started\nDirectSoundCreate ok\n"
            "vxInitDirectSound finished. error status: 2\n");
}

TEST_F(SoundDevice, WithoutADeviceEveryOperationDoesNothing) {
  HeadlessBackend::Options options;
  options.audioFails = true;
  UseBackend(options);
  vxInitDirectSound(engine.sound);
  vxtest::WriteFile("a.wav", vxtest::PcmWave(1, 22050, 8, "abc"));
  LoadSound(engine.sound, "a.wav", 3);
  PlaySound(engine.sound, 3);
  PlaySoundLooping(engine.sound, 3);
  StopSound(engine.sound, 3);
  EXPECT_EQ(engine.sound.slots[3].buffer, 0);
  EXPECT_EQ(SoundCalls(), std::vector<std::string>{"audio open failed 1"});
}

TEST_F(SoundDevice, PlayLoopAndStopNameTheirSlot) {
  Ready();
  LoadSound(engine.sound, "a.wav", 12);
  PlaySound(engine.sound, 12);
  PlaySound(engine.sound, 12);  // playing again restarts
  StopSound(engine.sound, 12);
  PlaySoundLooping(engine.sound, 12);
  PlaySound(engine.sound, 13);  // empty slot
  StopSound(engine.sound, 13);
  EXPECT_EQ(SoundCalls(), (std::vector<std::string>{"audio open", "sound create slot 12 64",
                                                    "sound play slot 12", "sound play slot 12",
                                                    "sound stop slot 12", "sound play slot 12 loop"}));
  // A stereo 16-bit sample goes to the device in its own format, unchanged.
  const auto* b = backend->SoundInSlot(12);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->format.channels, 2);
  EXPECT_EQ(b->format.bitsPerSample, 16);
  EXPECT_EQ(b->format.samplesPerSec, 44100u);
  EXPECT_EQ(b->data, std::vector<uint8_t>(64, 0x11));
  EXPECT_TRUE(b->looping);
  EXPECT_EQ(b->plays, 3);
}

// The music tracks' slots follow the music volume, every other slot the
// sound volume, for buffers filled before and after the change.
TEST_F(SoundDevice, VolumesReachEveryBufferByItsKind) {
  Ready();
  LoadSound(engine.sound, "a.wav", 12);
  LoadSound(engine.sound, "a.wav", kFirstMusicSlot);
  EXPECT_EQ(backend->SoundInSlot(12)->volume, 100) << "full until set";
  SetVolumes(engine.sound, 30, 70);
  EXPECT_EQ(backend->SoundInSlot(12)->volume, 30);
  EXPECT_EQ(backend->SoundInSlot(kFirstMusicSlot)->volume, 70);
  LoadSound(engine.sound, "a.wav", kFirstMusicSlot + kMusicSlotCount - 1);
  LoadSound(engine.sound, "a.wav", kFirstMusicSlot + kMusicSlotCount);
  EXPECT_EQ(backend->SoundInSlot(kFirstMusicSlot + kMusicSlotCount - 1)->volume, 70) << "last track slot";
  EXPECT_EQ(backend->SoundInSlot(kFirstMusicSlot + kMusicSlotCount)->volume, 30) << "past the tracks";
  SetVolumes(engine.sound, -4, 101);
  EXPECT_EQ(engine.sound.soundVolume, 0);
  EXPECT_EQ(engine.sound.musicVolume, 100);
  EXPECT_EQ(backend->SoundInSlot(12)->volume, 0);
}

TEST_F(SoundDevice, SlotNumbersOutside0To200AreIgnored) {
  Ready();
  LoadSound(engine.sound, "a.wav", 200);
  PlaySound(engine.sound, 200);
  EXPECT_TRUE(backend->HasCall("sound play slot 200"));
  for (int32_t bad : {201, -1, 1000, INT32_MIN}) {
    LoadSound(engine.sound, "a.wav", bad);
    PlaySound(engine.sound, bad);
    PlaySoundLooping(engine.sound, bad);
    StopSound(engine.sound, bad);
  }
  EXPECT_EQ(backend->SoundBuffers().size(), 1u);
  EXPECT_EQ(SoundCalls().size(), 3u);  // open, create, play of slot 200
}

TEST_F(SoundDevice, NamesAreCutAfter1000Characters) {
  Ready();
  // A path of exactly 1000 characters, in folders of 99-character names.
  std::string path;
  while (path.size() + 100 < 1000) path += std::string(99, 'd') + "/";
  path += std::string(1000 - path.size() - 4, 'f') + ".wav";
  ASSERT_EQ(path.size(), 1000u);
  vxtest::WriteFile(path, vxtest::PcmWave(1, 22050, 8, "long"));
  LoadSound(engine.sound, (path + "-and-more").c_str(), 4);
  ASSERT_NE(backend->SoundInSlot(4), nullptr);
  EXPECT_EQ(backend->SoundInSlot(4)->data, std::vector<uint8_t>({'l', 'o', 'n', 'g'}));
  LoadSound(engine.sound, nullptr, 5);
  EXPECT_EQ(engine.sound.slots[5].buffer, 0);
}

TEST_F(SoundDevice, ReloadingKeepsTheOldBufferUnlessTheNewOneLoads) {
  Ready();
  LoadSound(engine.sound, "a.wav", 9);
  const int32_t first = engine.sound.slots[9].buffer;
  LoadSound(engine.sound, "missing.wav", 9);
  EXPECT_EQ(engine.sound.slots[9].buffer, first);
  vxtest::WriteFile("b.wav", vxtest::PcmWave(1, 8000, 8, "b"));
  LoadSound(engine.sound, "b.wav", 9);
  EXPECT_NE(engine.sound.slots[9].buffer, first);
  EXPECT_EQ(backend->SoundBuffers().size(), 1u);
}

TEST_F(SoundDevice, SamplesTogetherStayWithinTheMemoryBudget) {
  EnableLog();
  Ready();
  // 16-bit stereo at the device's own rate holds its own size; 8-bit mono
  // at a quarter of the rate holds a device copy sixteen times its size.
  const std::string samples(4000, '\x22');
  vxtest::WriteFile("big.wav", vxtest::PcmWave(2, 44100, 16, samples));
  vxtest::WriteFile("slow.wav", vxtest::PcmWave(1, 11025, 8, std::string(1000, '\x80')));
  EXPECT_EQ(SampleHeldBytes(platform::WaveFormat{1, 2, 44100, 176400, 4, 16, 0}, 4000), 4000);
  EXPECT_EQ(SampleHeldBytes(platform::WaveFormat{1, 1, 11025, 11025, 1, 8, 0}, 1000), 16000);
  EXPECT_EQ(SampleHeldBytes(platform::WaveFormat{1, 2, 88200, 352800, 4, 16, 0}, 4000), 4000);

  engine.sound.sampleBudget = 3 * 4000 + 3999;
  LoadSound(engine.sound, "big.wav", 1);
  LoadSound(engine.sound, "big.wav", 2);
  LoadSound(engine.sound, "big.wav", 3);
  EXPECT_EQ(engine.sound.sampleBytes, 12000);
  // Past the budget: the slot stays as a missing file leaves it.
  LoadSound(engine.sound, "slow.wav", 4);
  LoadSound(engine.sound, "big.wav", 4);
  EXPECT_EQ(engine.sound.slots[4].buffer, 0);
  // Reloading a slot counts the old buffer until the new one exists.
  const int32_t kept = engine.sound.slots[3].buffer;
  LoadSound(engine.sound, "big.wav", 3);
  EXPECT_EQ(engine.sound.slots[3].buffer, kept);
  PlaySound(engine.sound, 4);
  EXPECT_FALSE(backend->HasCall("sound play slot 4"));
  EXPECT_EQ(engine.sound.sampleBytes, 12000);
  const std::string log = LogText();
  EXPECT_NE(log.find("LoadWave over memory budget. not loaded: slow.wav\n"
                     "LoadWave over memory budget. not loaded: big.wav\n"
                     "LoadWave over memory budget. not loaded: big.wav\n"),
            std::string::npos)
      << log;

  // The release gives every byte back.
  engine.screen.display.windowed = -1;
  vxreleaseDDDS(engine.screen);
  EXPECT_EQ(engine.sound.sampleBytes, 0);
  ResetAllState();
  EXPECT_EQ(engine.sound.sampleBudget, kSampleBudgetBytes);
  EXPECT_EQ(kSampleBudgetBytes, int64_t{1} << 30);
}

TEST_F(SoundDevice, ReleaseFreesEverySlotThenTheDevice) {
  Ready();
  LoadSound(engine.sound, "a.wav", 0);
  LoadSound(engine.sound, "a.wav", 200);
  PlaySoundLooping(engine.sound, 0);
  engine.screen.display.windowed = -1;
  vxreleaseDDDS(engine.screen);
  EXPECT_EQ(engine.sound.slots[0].buffer, 0);
  EXPECT_EQ(engine.sound.slots[200].buffer, 0);
  EXPECT_EQ(engine.sound.device, 0);
  EXPECT_EQ(engine.sound.available, 0);
  const std::vector<std::string> calls = SoundCalls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(calls.end() - 3, calls.end()),
            (std::vector<std::string>{"sound release slot 0", "sound release slot 200", "audio close"}));
  // Nothing reaches the closed device afterwards.
  PlaySound(engine.sound, 0);
  LoadSound(engine.sound, "a.wav", 0);
  EXPECT_EQ(SoundCalls().size(), calls.size());
}

}  // namespace

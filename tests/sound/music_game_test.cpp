// A whole headless game with music on and no decoded tracks: the decoders
// run as real processes, one after the other, and the music starts once
// the first marker exists.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "gfx/picture_file.h"
#include "platform/headless/input_script.h"
#include "shell/window.h"
#include "sound/wave_bytes.h"
#include "sound/wave_file.h"
#include "support/engine_test.h"

namespace {

namespace fs = std::filesystem;

// After frame goFrame[n] decoder n may finish; the frame loop waits until
// its marker exists, so the game sees it at the very next frame whatever
// the speed of the machine.
constexpr int64_t kGoFrame[4] = {0, 90, 180, 250};
constexpr int64_t kFrames = 330;
bool gMarkerLate = false;
const platform::HeadlessBackend* gBackend = nullptr;

bool WaitForFile(const fs::path& path, std::chrono::seconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!fs::exists(path)) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

void LetDecodersFinish(int64_t frame) {
  for (int n = 1; n <= 3; ++n) {
    const std::string k = std::to_string(n);
    if (frame != kGoFrame[n] || !gBackend->HasCall("process start ./music/dec" + k + ".exe")) continue;
    vxtest::WriteFile("music/go" + k, "");
    if (!WaitForFile("music/fin" + k + ".txt", std::chrono::seconds(300))) gMarkerLate = true;
  }
}

class MusicGame : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    gMarkerLate = false;
    // Windowed, log on, music on.
    vxtest::WriteFile("ini/main.ini", "5,,,1\n6,,,1\n17,,,1\n");
    track_ = vxtest::PcmWave(2, 22050, 16, std::string(400, '\x05'));
    vxtest::WriteFile("music/source.wav", track_);
    // Level 2's mask: a floor for the player to stand on, so the game stays
    // in level 2 (and in its music) while the decoders run.
    std::vector<uint32_t> mask(800 * 600, 0);
    std::fill(mask.begin() + 480 * 800, mask.end(), 0xff808080u);
    fs::create_directories("data");
    ASSERT_TRUE(WriteVx1("data/fore3ph.vx1", 800, 600, mask.data()));
  }
  void TearDown() override {
    SetFrameObserver(nullptr);
    gBackend = nullptr;
    ReapDecoders();
    EngineTest::TearDown();
  }

  // A stand-in decoder: waits for the test's go-ahead, writes its track,
  // then its marker.
  void StandInDecoder(int n) {
    const std::string k = std::to_string(n);
    const std::string path = "music/dec" + k + ".exe";
    vxtest::WriteFile(path,
                      "#!/bin/sh\n"
                      "d=$(dirname \"$0\")\n"
                      "i=0\n"
                      "while [ ! -e \"$d/go" +
                          k +
                          "\" ] && [ $i -lt 12000 ]; do sleep 0.01; i=$((i+1)); done\n"
                          "cp \"$d/source.wav\" \"$d/floor" +
                          k + ".wav\" && : > \"$d/fin" + k + ".txt\"\n");
    fs::permissions(path, fs::perms::owner_all);
  }

  void RunGame() {
    std::vector<platform::ScriptEvent> script;
    std::string error;
    // Enter on the title, a key that skips the credits, Enter on the
    // first-visit help that the first game frame opens and Enter on the
    // new-game page after it: the game runs from frame 83 on, before the
    // first decoder may finish.
    ASSERT_TRUE(platform::ParseInputScript(
        "7 keydown RETURN\n8 keyup RETURN\n19 keydown SPACE\n20 keyup SPACE\n30 keydown RETURN\n"
        "31 keyup RETURN\n33 keydown RETURN\n34 keyup RETURN\n",
        script, error))
        << error;
    backend->SetScript(std::move(script));
    backend->SetFrameLimit(kFrames);
    gBackend = backend.get();
    SetFrameObserver(&LetDecodersFinish);
    ASSERT_EQ(WinMain(), 0);
    EXPECT_FALSE(gMarkerLate) << "a decoder did not write its marker";
  }

  int64_t FirstFrame(const std::string& what) const {
    for (const auto& c : backend->Calls())
      if (c.what == what) return c.frame;
    return -1;
  }
  int Count(const std::string& prefix) const {
    int n = 0;
    for (const auto& c : backend->Calls()) n += c.what.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }

  // The decoders are detached from the game but are still this process's
  // children; collect the ones that have ended.
  static void ReapDecoders() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < end) {
      const pid_t pid = waitpid(-1, nullptr, WNOHANG);
      if (pid < 0) return;
      if (pid == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  std::string track_;
};

TEST_F(MusicGame, DecodersRunInTurnAndTrack1PlaysOnceItsMarkerExists) {
  for (int n = 1; n <= 3; ++n) StandInDecoder(n);
  RunGame();

  // Decoder 1 from the loading screen, the others each once, at the frame
  // after the previous marker appeared.
  EXPECT_EQ(Count("process start"), 3);
  const int64_t dec1 = FirstFrame("process start ./music/dec1.exe");
  EXPECT_GE(dec1, 0);
  EXPECT_LT(dec1, 11);
  EXPECT_EQ(FirstFrame("process start ./music/dec2.exe"), kGoFrame[1]);
  EXPECT_EQ(FirstFrame("process start ./music/dec3.exe"), kGoFrame[2]);

  // Track 1 (the game starts at level 2) is loaded when marker 1 is seen
  // and starts 58 frames later, looping, once.
  EXPECT_EQ(FirstFrame("sound create slot 50 " + std::to_string(400)), kGoFrame[1]);
  EXPECT_EQ(Count("sound play"), 1);
  EXPECT_EQ(FirstFrame("sound play slot 50 loop"), kGoFrame[1] + 58);
  EXPECT_EQ(game.music.tracksReady, 3);
  EXPECT_EQ(game.music.currentTrack, 50);
  // The game ends through the window: the log is closed first, then the
  // slots and the device are released.
  EXPECT_EQ(Count("sound release slot 50"), 1);
  EXPECT_EQ(Count("audio close"), 1);
  const std::string log = vxtest::ReadFile("en1_log.txt");
  EXPECT_NE(log.find("vxInitDirectSound started\nDirectSoundCreate ok\nSetCooperativeLevel ok\n"
                     "vxInitDirectSound finished. error status: 0\n"),
            std::string::npos);
}

TEST_F(MusicGame, PresentTracksNeedNoDecoder) {
  for (int n = 1; n <= 3; ++n) {
    StandInDecoder(n);
    vxtest::WriteFile("music/floor" + std::to_string(n) + ".wav", track_);
  }
  RunGame();
  EXPECT_EQ(Count("process start"), 0);
  // Loaded by the game start's music check, started 58 calls later.
  EXPECT_EQ(Count("sound play slot 50 loop"), 1);
  EXPECT_EQ(Count("sound create slot 5"), 1);
}

#ifdef VX_MUSICDEC_BINARY
// The real decoder as the game folder holds it, with its packed track.
TEST_F(MusicGame, RealDecoderProducesAPlayableTrack1) {
  const fs::path tracks = fs::path(VX_SOURCE_DIR) / "tools/musicdec/tracks";
  if (!fs::exists(tracks / "track1.vxm")) GTEST_SKIP() << "no packed track 1";
  fs::copy_file(VX_MUSICDEC_BINARY, "music/dec1.exe");
  fs::copy_file(tracks / "track1.vxm", "music/track1.vxm");
  StandInDecoder(2);
  StandInDecoder(3);
  RunGame();
  EXPECT_EQ(FirstFrame("process start ./music/dec2.exe"), kGoFrame[1]);
  // What it wrote is a PCM file the game loads whole.
  platform::RiffReader reader;
  ASSERT_TRUE(reader.OpenFile("music/floor1.wav"));
  WaveData wave;
  ASSERT_EQ(ReadWave(reader, wave), kWaveLoaded);
  EXPECT_GT(wave.bytes, 44100u);
  EXPECT_EQ(FirstFrame("sound create slot 50 " + std::to_string(wave.bytes)), kGoFrame[1]);
  EXPECT_EQ(FirstFrame("sound play slot 50 loop"), kGoFrame[1] + 58);
}
#endif

}  // namespace

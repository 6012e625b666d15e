#include "sound/music.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/game_files.h"
#include "sound/sound_context.h"
#include "sound/wave_bytes.h"
#include "support/engine_test.h"

namespace {

// A recording device that also notes every file test, file delete and
// process start, and starts nothing.
class MusicBackend : public platform::HeadlessBackend {
 public:
  bool FileExists(const char* path) override {
    files.push_back(std::string("exists ") + path);
    return HeadlessBackend::FileExists(path);
  }
  bool DeleteFile(const char* path) override {
    files.push_back(std::string("delete ") + path);
    return HeadlessBackend::DeleteFile(path);
  }
  bool StartProcess(const char* path, const std::vector<std::string>& args) override {
    std::string line = path;
    for (const std::string& a : args) line += " " + a;
    started.push_back(line);
    return true;
  }
  std::vector<std::string> files;
  std::vector<std::string> started;
};

class MusicTracks : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    music = std::make_unique<MusicBackend>();
    platform::Install(music.get());
    ASSERT_EQ(vxInitDirectSound(engine.sound), 0);
  }
  void MusicSwitch(int32_t on) { vxtest::WriteFile("ini/main.ini", "17,,," + std::to_string(on) + "\n"); }
  void Wav(int track) {
    vxtest::WriteFile("music/floor" + std::to_string(track) + ".wav",
                      vxtest::PcmWave(1, 22050, 8, std::string(10, static_cast<char>(track))));
  }
  void Marker(int track) { vxtest::WriteFile("music/fin" + std::to_string(track) + ".txt", ""); }
  bool Exists(const std::string& path) const { return std::filesystem::exists(path); }
  // Frames of UpdateMusic, stopping early once `slot` starts; returns the
  // number of calls made.
  int RunUntilPlaying(int32_t slot, int limit) {
    for (int i = 1; i <= limit; ++i) {
      UpdateMusic(game.music, game.settings, game.level, engine.sound);
      if (game.music.currentTrack == slot) return i;
    }
    return -1;
  }
  int64_t Plays(const std::string& what) const {
    int64_t n = 0;
    for (const auto& c : music->Calls()) n += c.what == what ? 1 : 0;
    return n;
  }
  // Music on, all tracks decoded, the game at `level`.
  void AllReady(int32_t level) {
    MusicSwitch(1);
    for (int t = 1; t <= 3; ++t) Wav(t);
    StartMusicDecoding(game.music, game.settings, engine.records);
    ASSERT_EQ(game.music.tracksReady, 3);
    game.level = level;
  }

  std::unique_ptr<MusicBackend> music;
};

TEST_F(MusicTracks, AllWavFilesPresentMeansNoDecoderAndStaleMarkersKept) {
  MusicSwitch(1);
  for (int t = 1; t <= 3; ++t) {
    Wav(t);
    Marker(t);
  }
  game.music.trackLoaded[1] = -1;
  game.music.currentTrack = 51;
  game.music.trackCountdown = 7;
  game.music.pendingTrack = 52;
  StartMusicDecoding(game.music, game.settings, engine.records);
  EXPECT_EQ(game.settings.musicOn, -1);
  EXPECT_EQ(game.music.tracksReady, 3);
  EXPECT_EQ(game.music.currentTrack, 0);
  EXPECT_EQ(game.music.trackCountdown, 0);
  EXPECT_EQ(game.music.pendingTrack, 0);
  EXPECT_EQ(game.music.trackLoaded[1], 0);
  EXPECT_EQ(music->files, (std::vector<std::string>{"exists ./music/floor1.wav", "exists ./music/floor2.wav",
                                                    "exists ./music/floor3.wav"}));
  EXPECT_TRUE(music->started.empty());
  EXPECT_TRUE(Exists("music/fin1.txt") && Exists("music/fin2.txt") && Exists("music/fin3.txt"));
}

TEST_F(MusicTracks, AMissingWavDeletesTheMarkersAndStartsDecoder1) {
  MusicSwitch(5);
  Wav(1);
  Wav(3);
  Marker(1);
  Marker(3);
  StartMusicDecoding(game.music, game.settings, engine.records);
  EXPECT_EQ(game.settings.musicOn, -1);
  EXPECT_EQ(game.music.tracksReady, 0);
  // The tests stop at the first missing file.
  EXPECT_EQ(music->files, (std::vector<std::string>{"exists ./music/floor1.wav", "exists ./music/floor2.wav",
                                                    "delete ./music/fin1.txt", "delete ./music/fin2.txt",
                                                    "delete ./music/fin3.txt"}));
  EXPECT_EQ(music->started, std::vector<std::string>{"./music/dec1.exe"});
  EXPECT_FALSE(Exists("music/fin1.txt") || Exists("music/fin3.txt"));
  EXPECT_TRUE(Exists("music/floor1.wav"));
}

// Over a generated set the decoders come from it (or from the player's
// folder, file by file) and write into the player's folder, where the game
// tests for the music; the generated set is never written.
TEST_F(MusicTracks, OverAGeneratedSetTheDecodersWriteIntoThePlayersFolder) {
  const std::string gen = (folder / "gen").string();
  platform::SetGeneratedSet(gen, {"ini/main.ini", "music/dec1.exe", "music/dec2.exe", "music/dec3.exe",
                                  "music/track1.vxm", "music/track2.vxm", "music/track3.vxm"});
  vxtest::WriteFile(gen + "/ini/main.ini", "17,,,1\n");
  vxtest::WriteFile(gen + "/music/floor1.wav", "decoded into the generated set once");
  StartMusicDecoding(game.music, game.settings, engine.records);
  EXPECT_EQ(game.music.tracksReady, 0) << "the music is looked for in the player's folder";
  vxtest::WriteFile("music/track2.vxm", "the player's own score");
  Marker(1);
  UpdateMusic(game.music, game.settings, game.level, engine.sound);
  EXPECT_EQ(music->started,
            (std::vector<std::string>{gen + "/music/dec1.exe --in " + gen + "/music/track1.vxm --out ./music",
                                      gen + "/music/dec2.exe --in music/track2.vxm --out ./music"}));
}

TEST_F(MusicTracks, MusicOffTouchesNoFileAndPlaysNothing) {
  MusicSwitch(0);
  Marker(1);
  StartMusicDecoding(game.music, game.settings, engine.records);
  EXPECT_EQ(game.settings.musicOn, 0);
  EXPECT_EQ(game.music.tracksReady, 3);
  for (int i = 0; i < 100; ++i) UpdateMusic(game.music, game.settings, game.level, engine.sound);
  EXPECT_TRUE(music->files.empty());
  EXPECT_TRUE(music->started.empty());
  EXPECT_EQ(game.music.currentTrack, 0);
  EXPECT_EQ(game.music.trackCountdown, 0);
  EXPECT_TRUE(music->SoundBuffers().empty());
  EXPECT_TRUE(Exists("music/fin1.txt"));

  // A missing record reads as off as well.
  vxtest::WriteFile("ini/main.ini", "6,,,0\n");
  StartMusicDecoding(game.music, game.settings, engine.records);
  EXPECT_EQ(game.settings.musicOn, 0);
  EXPECT_TRUE(music->started.empty());
}

TEST_F(MusicTracks, MarkersArrivingOneAfterAnotherStartEachDecoderOnce) {
  MusicSwitch(1);
  StartMusicDecoding(game.music, game.settings, engine.records);
  game.level = 7;
  for (int i = 0; i < 5; ++i) UpdateMusic(game.music, game.settings, game.level, engine.sound);
  EXPECT_EQ(game.music.tracksReady, 0);
  EXPECT_EQ(music->started, std::vector<std::string>{"./music/dec1.exe"});

  Wav(1);
  Marker(1);
  for (int i = 0; i < 5; ++i) UpdateMusic(game.music, game.settings, game.level, engine.sound);
  EXPECT_EQ(game.music.tracksReady, 1);
  EXPECT_EQ(music->started, (std::vector<std::string>{"./music/dec1.exe", "./music/dec2.exe"}));
  // Level 7 needs track 2, which is not ready: nothing is chosen.
  EXPECT_EQ(game.music.trackCountdown, 0);
  EXPECT_EQ(game.music.trackLoaded[0], 0);

  Wav(2);
  Marker(2);
  for (int i = 0; i < 5; ++i) UpdateMusic(game.music, game.settings, game.level, engine.sound);
  EXPECT_EQ(game.music.tracksReady, 2);
  EXPECT_EQ(music->started,
            (std::vector<std::string>{"./music/dec1.exe", "./music/dec2.exe", "./music/dec3.exe"}));
  EXPECT_EQ(game.music.pendingTrack, 51);

  Marker(3);
  UpdateMusic(game.music, game.settings, game.level, engine.sound);
  EXPECT_EQ(game.music.tracksReady, 3);
  EXPECT_EQ(music->started.size(), 3u);
  // Every frame tests the three markers, in order.
  music->files.clear();
  UpdateMusic(game.music, game.settings, game.level, engine.sound);
  EXPECT_EQ(music->files, (std::vector<std::string>{"exists ./music/fin1.txt", "exists ./music/fin2.txt",
                                                    "exists ./music/fin3.txt"}));
}

TEST_F(MusicTracks, AllMarkersAtOnceStartTheLaterDecodersInOneFrame) {
  MusicSwitch(1);
  StartMusicDecoding(game.music, game.settings, engine.records);
  for (int t = 1; t <= 3; ++t) Marker(t);
  UpdateMusic(game.music, game.settings, game.level, engine.sound);
  EXPECT_EQ(game.music.tracksReady, 3);
  EXPECT_EQ(music->started,
            (std::vector<std::string>{"./music/dec1.exe", "./music/dec2.exe", "./music/dec3.exe"}));
}

TEST_F(MusicTracks, NewTrackStartsOnThe59thCallCountingTheFirst) {
  AllReady(2);
  UpdateMusic(game.music, game.settings, game.level, engine.sound);
  EXPECT_EQ(game.music.pendingTrack, 50);
  EXPECT_EQ(game.music.trackCountdown, 59);  // set to 60 and decreased in the same call
  EXPECT_EQ(game.music.trackLoaded[0], -1);
  EXPECT_TRUE(music->HasCall("sound create slot 50 10"));
  EXPECT_EQ(RunUntilPlaying(50, 100), 58);
  EXPECT_EQ(game.music.trackCountdown, 1);
  EXPECT_EQ(Plays("sound play slot 50 loop"), 1);
  // The old tracks are stopped first (only loaded slots reach the device).
  const auto& calls = music->Calls();
  EXPECT_EQ(calls[calls.size() - 2].what, "sound stop slot 50");
  UpdateMusic(game.music, game.settings, game.level, engine.sound);
  EXPECT_EQ(game.music.trackCountdown, 0);
  for (int i = 0; i < 200; ++i) UpdateMusic(game.music, game.settings, game.level, engine.sound);
  EXPECT_EQ(Plays("sound play slot 50 loop"), 1);
  EXPECT_EQ(Plays("sound create slot 50 10"), 1);
}

TEST_F(MusicTracks, MovingBackBeforeTheSwitchCancelsIt) {
  MusicSwitch(1);
  StartMusicDecoding(game.music, game.settings, engine.records);
  Wav(1);
  Wav(2);
  Marker(1);
  Marker(2);
  game.level = 4;
  ASSERT_EQ(RunUntilPlaying(50, 100), 59);                           // counting the call that chose it
  UpdateMusic(game.music, game.settings, game.level, engine.sound);  // the countdown runs out
  game.level = 5;
  for (int i = 0; i < 30; ++i) UpdateMusic(game.music, game.settings, game.level, engine.sound);
  EXPECT_EQ(game.music.pendingTrack, 51);
  EXPECT_EQ(game.music.trackCountdown, 30);
  game.level = 4;
  UpdateMusic(game.music, game.settings, game.level, engine.sound);
  EXPECT_EQ(game.music.trackCountdown, 0);
  for (int i = 0; i < 100; ++i) UpdateMusic(game.music, game.settings, game.level, engine.sound);
  EXPECT_EQ(game.music.currentTrack, 50);
  EXPECT_EQ(Plays("sound play slot 51 loop"), 0);
  // Going to level 5 again waits the whole 58 frames once more; track 2 is
  // not loaded a second time.
  game.level = 5;
  EXPECT_EQ(RunUntilPlaying(51, 100), 59);
  EXPECT_EQ(Plays("sound create slot 51 10"), 1);
  const auto& calls = music->Calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[calls.size() - 3].what, "sound stop slot 50");
  EXPECT_EQ(calls[calls.size() - 2].what, "sound stop slot 51");
  EXPECT_EQ(calls[calls.size() - 1].what, "sound play slot 51 loop");
}

TEST_F(MusicTracks, LevelGroupsChooseTheirTrack) {
  struct Case {
    int32_t level;
    int32_t ready;
    int32_t slot;  // 0: no choice
  };
  const Case cases[] = {{0, 1, 50}, {4, 1, 50},  {5, 1, 0},   {5, 2, 51}, {9, 2, 51},
                        {10, 2, 0}, {10, 3, 52}, {95, 3, 52}, {-1, 3, 0}, {-5, 1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE("level " + std::to_string(c.level) + " ready " + std::to_string(c.ready));
    game.settings.musicOn = -1;
    game.music.tracksReady = c.ready;
    game.level = c.level;
    game.music.currentTrack = game.music.pendingTrack = game.music.trackCountdown = 0;
    UpdateMusic(game.music, game.settings, game.level, engine.sound);
    EXPECT_EQ(game.music.pendingTrack, c.slot);
    EXPECT_EQ(game.music.trackCountdown, c.slot != 0 ? 59 : 0);
  }
}

TEST_F(MusicTracks, APendingSwitchIsNotRechosen) {
  AllReady(3);
  for (int i = 0; i < 10; ++i) UpdateMusic(game.music, game.settings, game.level, engine.sound);
  game.level = 12;  // track 3's group while track 1 is still pending
  for (int i = 0; i < 10; ++i) UpdateMusic(game.music, game.settings, game.level, engine.sound);
  EXPECT_EQ(game.music.pendingTrack, 50);
  EXPECT_EQ(game.music.trackLoaded[2], 0);
  EXPECT_EQ(RunUntilPlaying(50, 100), 39);
  // The countdown still reads 1 for one more call; then track 3's own
  // switch begins.
  UpdateMusic(game.music, game.settings, game.level, engine.sound);
  EXPECT_EQ(game.music.trackCountdown, 0);
  EXPECT_EQ(game.music.pendingTrack, 50);
  UpdateMusic(game.music, game.settings, game.level, engine.sound);
  EXPECT_EQ(game.music.pendingTrack, 52);
  EXPECT_EQ(game.music.trackCountdown, 59);
}

TEST_F(MusicTracks, AMissingTrackFileIsNotRetried) {
  MusicSwitch(1);
  StartMusicDecoding(game.music, game.settings, engine.records);
  Marker(1);  // the marker without its WAV file
  game.level = 0;
  EXPECT_EQ(RunUntilPlaying(50, 100), 59);
  EXPECT_EQ(game.music.trackLoaded[0], -1);
  EXPECT_EQ(music->SoundInSlot(50), nullptr);
  Wav(1);
  for (int i = 0; i < 100; ++i) UpdateMusic(game.music, game.settings, game.level, engine.sound);
  EXPECT_EQ(music->SoundInSlot(50), nullptr);
  EXPECT_EQ(Plays("sound play slot 50 loop"), 0);
}

TEST_F(MusicTracks, WithoutSoundTheStateMachineStillRuns) {
  ResetAllState();
  platform::HeadlessBackend::Options options;
  options.audioFails = true;
  UseBackend(options);
  vxInitDirectSound(engine.sound);
  AllReady(0);
  EXPECT_EQ(RunUntilPlaying(50, 100), 59);
  EXPECT_TRUE(backend->SoundBuffers().empty());
}

}  // namespace

#include "sound/music.h"

#include <string>
#include <vector>

#include "config/configuration.h"
#include "platform/game_files.h"
#include "platform/platform.h"

namespace {

// Tested names carry the "./" of the decoders' own paths; loaded names do not.
constexpr const char* kTestedWav[3] = {"./music/floor1.wav", "./music/floor2.wav", "./music/floor3.wav"};
constexpr const char* kLoadedWav[3] = {"music/floor1.wav", "music/floor2.wav", "music/floor3.wav"};
constexpr const char* kDecoder[3] = {"./music/dec1.exe", "./music/dec2.exe", "./music/dec3.exe"};
constexpr const char* kMarker[3] = {"./music/fin1.txt", "./music/fin2.txt", "./music/fin3.txt"};
constexpr const char* kPackedTrack[3] = {"music/track1.vxm", "music/track2.vxm", "music/track3.vxm"};

// The decoders write their music beside themselves. Over a generated set
// they are told to write into the player's folder instead (the game's
// working folder, where the music is looked for), and which packed track to
// read, so that a player's own track is decoded as well.
void StartDecoder(platform::Backend& p, int32_t index) {
  const std::string decoder = platform::GameFile(kDecoder[index]);
  std::vector<std::string> args;
  if (!platform::GeneratedSet().empty())
    args = {"--in", platform::GameFile(kPackedTrack[index]), "--out", "./music"};
  p.StartProcess(decoder.c_str(), args);
}

// Track `index` is the one for the current level.
void ChooseTrack(MusicState& m, SoundContext& sound, int32_t index) {
  const int32_t slot = kFirstTrackSlot + index;
  if (m.currentTrack == slot) {
    m.trackCountdown = 0;  // back where the playing track belongs: no switch
    return;
  }
  if (m.trackCountdown != 0) return;  // a switch is already pending
  if (m.trackLoaded[index] == 0) {
    LoadSound(sound, kLoadedWav[index], slot);
    m.trackLoaded[index] = -1;
  }
  m.trackCountdown = kTrackSwitchFrames;
  m.pendingTrack = slot;
}

}  // namespace

void StartMusicDecoding(MusicState& m, GameSettings& settings, RecordReader& records) {
  settings.musicOn = ReadConfigValue(records, kRecordMusic) != 0 ? -1 : 0;
  m.trackLoaded[0] = m.trackLoaded[1] = m.trackLoaded[2] = 0;
  m.trackCountdown = 0;
  m.pendingTrack = 0;
  m.currentTrack = 0;
  m.tracksReady = 3;
  if (settings.musicOn == 0) return;
  platform::Backend& p = platform::Current();
  bool missing = false;
  for (const char* wav : kTestedWav) {
    if (!p.FileExists(wav)) {
      missing = true;
      break;
    }
  }
  if (!missing) return;
  for (const char* marker : kMarker) p.DeleteFile(marker);
  StartDecoder(p, 0);
  m.tracksReady = 0;
}

void UpdateMusic(MusicState& m, const GameSettings& settings, int32_t level, SoundContext& sound) {
  if (settings.musicOn == 0) return;
  platform::Backend& p = platform::Current();
  if (p.FileExists(kMarker[0]) && m.tracksReady < 1) {
    m.tracksReady = 1;
    StartDecoder(p, 1);
  }
  if (p.FileExists(kMarker[1]) && m.tracksReady < 2) {
    m.tracksReady = 2;
    StartDecoder(p, 2);
  }
  if (p.FileExists(kMarker[2]) && m.tracksReady < 3) m.tracksReady = 3;

  const int32_t ready = m.tracksReady;
  if (ready >= 1 && ready <= 3 && level >= 0 && level <= 4) ChooseTrack(m, sound, 0);
  if (ready >= 2 && ready <= 3 && level >= 5 && level <= 9) ChooseTrack(m, sound, 1);
  if (ready == 3 && level >= 10) ChooseTrack(m, sound, 2);

  if (ready >= 1 && ready <= 3 && m.trackCountdown > 0) {
    --m.trackCountdown;
    if (m.trackCountdown == 1) {
      for (int32_t i = 0; i < 3; ++i) StopSound(sound, kFirstTrackSlot + i);
      PlaySoundLooping(sound, m.pendingTrack);
      m.currentTrack = m.pendingTrack;
    }
  }
}

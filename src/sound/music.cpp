#include "sound/music.h"

#include "config/configuration.h"
#include "game/game_state.h"
#include "shell/engine.h"
#include "sound/sound_context.h"

namespace {

// Tested names carry the "./" of the decoders' own paths; loaded names do not.
constexpr const char* kTestedWav[3] = {"./music/floor1.wav", "./music/floor2.wav", "./music/floor3.wav"};
constexpr const char* kLoadedWav[3] = {"music/floor1.wav", "music/floor2.wav", "music/floor3.wav"};
constexpr const char* kDecoder[3] = {"./music/dec1.exe", "./music/dec2.exe", "./music/dec3.exe"};
constexpr const char* kMarker[3] = {"./music/fin1.txt", "./music/fin2.txt", "./music/fin3.txt"};

// Track `index` is the one for the current level.
void ChooseTrack(GameState& g, int32_t index) {
  const int32_t slot = kFirstTrackSlot + index;
  if (g.music.currentTrack == slot) {
    g.music.trackCountdown = 0;  // back where the playing track belongs: no switch
    return;
  }
  if (g.music.trackCountdown != 0) return;  // a switch is already pending
  if (g.music.trackLoaded[index] == 0) {
    LoadSound(engine.sound, kLoadedWav[index], slot);
    g.music.trackLoaded[index] = -1;
  }
  g.music.trackCountdown = kTrackSwitchFrames;
  g.music.pendingTrack = slot;
}

}  // namespace

void StartMusicDecoding(GameState& g) {
  g.settings.musicOn = ReadConfigValue(kRecordMusic) != 0 ? -1 : 0;
  g.music.trackLoaded[0] = g.music.trackLoaded[1] = g.music.trackLoaded[2] = 0;
  g.music.trackCountdown = 0;
  g.music.pendingTrack = 0;
  g.music.currentTrack = 0;
  g.music.tracksReady = 3;
  if (g.settings.musicOn == 0) return;
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
  p.StartProcess(kDecoder[0]);
  g.music.tracksReady = 0;
}

void UpdateMusic(GameState& g) {
  if (g.settings.musicOn == 0) return;
  platform::Backend& p = platform::Current();
  if (p.FileExists(kMarker[0]) && g.music.tracksReady < 1) {
    g.music.tracksReady = 1;
    p.StartProcess(kDecoder[1]);
  }
  if (p.FileExists(kMarker[1]) && g.music.tracksReady < 2) {
    g.music.tracksReady = 2;
    p.StartProcess(kDecoder[2]);
  }
  if (p.FileExists(kMarker[2]) && g.music.tracksReady < 3) g.music.tracksReady = 3;

  const int32_t ready = g.music.tracksReady;
  if (ready >= 1 && ready <= 3 && g.level >= 0 && g.level <= 4) ChooseTrack(g, 0);
  if (ready >= 2 && ready <= 3 && g.level >= 5 && g.level <= 9) ChooseTrack(g, 1);
  if (ready == 3 && g.level >= 10) ChooseTrack(g, 2);

  if (ready >= 1 && ready <= 3 && g.music.trackCountdown > 0) {
    --g.music.trackCountdown;
    if (g.music.trackCountdown == 1) {
      for (int32_t i = 0; i < 3; ++i) StopSound(engine.sound, kFirstTrackSlot + i);
      PlaySoundLooping(engine.sound, g.music.pendingTrack);
      g.music.currentTrack = g.music.pendingTrack;
    }
  }
}

#pragma once
// The three music tracks and their decoders. The decoders are separate
// programs that write "music/floorN.wav" and then the marker
// "music/finN.txt"; the game starts them one after the other and plays
// each track, looping from slot 50, 51 or 52, once its marker exists.
#include <cstdint>

#include "config/game_settings.h"
#include "config/record_reader.h"
#include "sound/sound_context.h"

inline constexpr int32_t kFirstTrackSlot = kFirstMusicSlot;
inline constexpr int32_t kTrackSwitchFrames = 60;

// The music check's own words, kept in the game record as its `music`.
struct MusicState {
  int32_t tracksReady = 0;     // tracks whose marker has been seen (3: all, or no decoding needed)
  int32_t currentTrack = 0;    // the slot playing, 0 for none
  int32_t trackCountdown = 0;  // frames until the pending track starts
  int32_t pendingTrack = 0;
  int32_t trackLoaded[3] = {};
};

// Loading step 2: reads the music switch (record 17) into the settings and
// starts decoding when a track is missing.
void StartMusicDecoding(MusicState& m, GameSettings& settings, RecordReader& records);
// Every game frame: watches the markers and switches to the track of the
// current level.
void UpdateMusic(MusicState& m, const GameSettings& settings, int32_t level, SoundContext& sound);

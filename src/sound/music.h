#pragma once
// The three music tracks and their decoders. The decoders are separate
// programs that write "music/floorN.wav" and then the marker
// "music/finN.txt"; the game starts them one after the other and plays
// each track, looping from slot 50, 51 or 52, once its marker exists.
#include <cstdint>

struct GameState;

inline constexpr int32_t kFirstTrackSlot = 50;
inline constexpr int32_t kTrackSwitchFrames = 60;

// Loading step 2: reads the music switch and starts decoding when a track
// is missing.
void StartMusicDecoding(GameState& g);
// Every game frame: watches the markers and switches to the track of the
// current level.
void UpdateMusic(GameState& g);

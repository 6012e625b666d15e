#include "sound/music.h"

// Music arrives with the sound device.
void StartMusicDecoding(GameState&) {}
void UpdateMusic(GameState&) {}

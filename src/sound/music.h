#pragma once
// The three music tracks and their decoders.
struct GameState;

void StartMusicDecoding(GameState& g);
void UpdateMusic(GameState& g);

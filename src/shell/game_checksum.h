#pragma once
// One number for the state of the running game, the same on every
// processor for the same game: the random source, the game record (but its
// music, whose tracks become ready when the decoders outside the game
// finish), the mode dispatcher's words and the input. Demos compare it.
#include <cstdint>

uint64_t GameChecksum();

#include "platform/sdl/sdl_audio.h"

// No device yet: the game runs silent until the mixer is in place.
namespace platform {

SdlAudio::SdlAudio() = default;
SdlAudio::~SdlAudio() = default;
bool SdlAudio::Open() { return false; }
void SdlAudio::Close() {}
int32_t SdlAudio::CreateBuffer(const WaveFormat&, const uint8_t*, uint32_t) { return 0; }
void SdlAudio::ReleaseBuffer(int32_t) {}
void SdlAudio::Play(int32_t, bool) {}
void SdlAudio::Stop(int32_t) {}

}  // namespace platform

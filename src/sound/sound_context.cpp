#include "sound/sound_context.h"

#include "config/log.h"
#include "shell/engine.h"

// The sample loader and the device's play calls arrive with the sound
// issue; for now the device is opened and released, and nothing plays.
int32_t vxInitDirectSound(SoundContext& sound) {
  EngineLog& log = engine.log;
  LogLine(log, "vxInitDirectSound started");
  int32_t status = 0;
  if (!platform::Current().OpenAudio()) {
    sound.available = 0;
    status = 1;
  } else {
    sound.device = 1;
    LogLine(log, "DirectSoundCreate ok");
    LogLine(log, "SetCooperativeLevel ok");
    for (SoundSlot& s : sound.slots) s.buffer = 0;
    sound.available = 1;
  }
  LogLine(log, "vxInitDirectSound finished. error status: ", status);
  return status;
}

void ReleaseSound(SoundContext& sound) {
  for (SoundSlot& s : sound.slots) {
    if (s.buffer != 0) platform::Current().ReleaseSoundBuffer(s.buffer);
    s.buffer = 0;
  }
  if (sound.device != 0) platform::Current().CloseAudio();
  sound.device = 0;
}

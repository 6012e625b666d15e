#pragma once
// The neutral platform interface: the window, desktop metrics, the cursor,
// an event source with a repeating timer, a monotonic clock and a wait, the
// full-screen display surface, the window copy of the back buffer, the sound
// device, process start and file tests. Engine and game code reach the
// machine only through this interface; only the backends know SDL.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/picture_layout.h"
#include "platform/window_messages.h"

namespace platform {

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// One event in the form the window procedure reads it.
struct Message {
  uint32_t message = 0;
  uint32_t wParam = 0;
  int32_t lParam = 0;
};

// What a look at the event queue found.
enum class Poll { Message, Empty, Quit };

enum class Metric { ScreenWidth, ScreenHeight, FrameWidth, FrameHeight, SmallCaption };
enum class ZOrder { Top, Bottom };

// A locked full-screen surface: 32-bit pixels, rows `pitchBytes` apart.
struct SurfaceLock {
  uint32_t* pixels = nullptr;
  int32_t pitchBytes = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// The wave format of a sample, as its "fmt " chunk gives it.
struct WaveFormat {
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t samplesPerSec = 0;
  uint32_t avgBytesPerSec = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  uint16_t extraSize = 0;
};

// Steps of the display set-up; a failure returns the number of the step.
enum DisplayStatus : int32_t {
  kDisplayReady = 0,
  kDisplayNoDevice = 1,
  kDisplayNoExclusive = 2,
  kDisplayNoMode = 3,
  kDisplayNoSurface = 4,
};

// Steps of the sound device set-up; a failure returns the number of the step.
enum AudioStatus : int32_t {
  kAudioReady = 0,
  kAudioNoDevice = 1,  // the sound system cannot start
  kAudioRefused = 2,   // no output device could be opened
};

class Backend {
 public:
  virtual ~Backend() = default;

  // Window. The frame metrics describe the border that a framed window adds
  // around its client area.
  virtual bool CreateMainWindow(const char* title, bool popup, int32_t x, int32_t y, int32_t width,
                                int32_t height) = 0;
  virtual void ShowMainWindow() = 0;
  virtual void PlaceWindow(ZOrder z, int32_t x, int32_t y, int32_t width, int32_t height, bool activate) = 0;
  virtual Rect WindowRect() = 0;
  virtual void DestroyMainWindow() = 0;
  virtual int32_t SystemMetric(Metric metric) = 0;

  // Cursor, in desktop coordinates.
  virtual void ShowCursor(bool show) = 0;
  virtual void SetCursorPos(int32_t x, int32_t y) = 0;
  virtual void ClipCursor(const Rect* rect) = 0;  // null releases the clip

  // Events and time. NextMessage waits for the next event and returns false
  // once a quit has been posted and the queue is done.
  virtual bool NextMessage(Message& out) = 0;
  // NextMessage without waiting, for a host that calls the loop back instead
  // of letting it block: a due timer or a queued event, Empty when nothing
  // has arrived yet, Quit once a quit has been posted and the queue is done.
  // A backend that can only wait (or whose clock is virtual, so that the
  // next timer is always due) answers from NextMessage.
  virtual Poll PollMessage(Message& out) { return NextMessage(out) ? Poll::Message : Poll::Quit; }
  virtual void PostQuit(int32_t code) = 0;
  virtual uint32_t StartTimer(uint32_t id, uint32_t periodMs) = 0;
  virtual void StopTimer(uint32_t id) = 0;
  virtual int32_t ClockMs() = 0;  // monotonic milliseconds since start
  // The clock as the game's state reads it (the random seed and its stirs,
  // the frame timing), apart from the frame loop's pacing. The same clock
  // unless a demo is recorded or played: the recording keeps each reading,
  // the playback gives them back.
  virtual int32_t StateClockMs() { return ClockMs(); }
  virtual void WaitMs(int32_t ms) = 0;  // sleep about that long (at most)

  // Full-screen display: a surface of the display size; unlocking shows it.
  virtual int32_t OpenDisplay(int32_t width, int32_t height) = 0;
  virtual void CloseDisplay() = 0;
  virtual bool LockDisplay(SurfaceLock& out) = 0;
  virtual void UnlockDisplay() = 0;
  // Windowed: the back buffer to the client area; returns the rows copied.
  virtual int32_t CopyToWindow(const uint32_t* pixels, int32_t width, int32_t height) = 0;

  // Sound device with static buffers; handles are > 0, 0 = not created.
  // OpenAudio returns an AudioStatus. A buffer holds one whole PCM sample;
  // `tag` is the caller's name for it (the sound slot) and only shows in
  // records. Playing starts from the first sample, also when the buffer is
  // already playing; stopping rewinds.
  virtual int32_t OpenAudio() = 0;
  virtual void CloseAudio() = 0;
  virtual int32_t CreateSoundBuffer(const WaveFormat& format, const uint8_t* data, uint32_t bytes,
                                    int32_t tag) = 0;
  virtual void ReleaseSoundBuffer(int32_t handle) = 0;
  virtual void PlaySoundBuffer(int32_t handle, bool looping) = 0;
  virtual void StopSoundBuffer(int32_t handle) = 0;
  // The loudness of a buffer in percent, 0 (silent) to 100 (as loaded, the
  // default). A backend without sound ignores it.
  virtual void SetSoundBufferVolume(int32_t, int32_t) {}

  // Comforts of a window on a desktop, beyond what the engine itself asks
  // for; a backend without them keeps the defaults, which do nothing.
  // How the window copy scales the picture to the window's size.
  virtual void SetScaleMode(ScaleMode) {}
  // Desktop full screen for a framed window (no mode switch): the window
  // covers its screen and the window copy is scaled onto it. False when it
  // cannot be had.
  virtual bool SetDesktopFullScreen(bool) { return false; }
  virtual bool DesktopFullScreen() { return false; }
  // Gamepads: their buttons arrive as WM_PADBUTTONDOWN / WM_PADBUTTONUP,
  // pads plugged in or out while running included.
  virtual void EnableGamepads(bool) {}

  // Files and processes. The defaults use the machine's own calls. A
  // process gets `args` after its own name; with VX_EXEC_WRAPPER set (see
  // ExecWrapper) it is started through that program.
  virtual bool FileExists(const char* path);
  virtual bool DeleteFile(const char* path);
  virtual bool StartProcess(const char* path, const std::vector<std::string>& args);
  // Hands a file the game wrote (a screenshot) to the player where the
  // folder is out of reach: the browser downloads it. Elsewhere the file
  // in the folder is enough, and nothing happens.
  virtual void OfferFile(const char*) {}

  // Called by the frame loop after every game frame, and for every pass of
  // a tick that runs no frame because the application is inactive. Both
  // count towards the frame limit, which ends the run through the close
  // button once it is reached; FramesRun counts the frames that ran.
  void NoteFrame();
  void NoteInactivePass();
  // A limit of 0 ends the run before its first frame; -1 sets none.
  void SetFrameLimit(int64_t frames);
  int64_t FramesRun() const { return framesRun_; }

 protected:
  // Deliver a close request as the window's close button would.
  virtual void RequestClose() = 0;

 private:
  void CountTowardsLimit();

  int64_t framesRun_ = 0;
  int64_t framesCounted_ = 0;
  int64_t frameLimit_ = -1;
};

// The backend the engine talks to. Set once by the program (or a test).
Backend& Current();
void Install(Backend* backend);

// A porting and testing aid: the words of the environment variable
// VX_EXEC_WRAPPER (split at blanks; empty when it is unset), a program and
// its options that StartProcess runs every program through. A build for
// another processor, tested under an emulator without the system's
// registration of foreign programs, sets it to the emulator:
// VX_EXEC_WRAPPER="qemu-aarch64-static -L /".
std::vector<std::string> ExecWrapper();

}  // namespace platform

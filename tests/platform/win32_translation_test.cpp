// The Windows backend's plain parts, on every system: window messages as
// the window procedure reads them (keys, pointer, activation, size, timer),
// XInput controller states as pad buttons, and the command line a started
// program splits back into its words.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/command_line.h"
#include "platform/win32/message_translation.h"
#include "platform/window_messages.h"

namespace {

using namespace platform;

constexpr int64_t kRepeat = int64_t{1} << 30;

int64_t Point(int32_t x, int32_t y) {
  return (int64_t{static_cast<uint16_t>(y)} << 16) | static_cast<uint16_t>(x);
}

// A client area of the picture's own size: pointer positions unchanged.
const PictureLayout kUnscaled = LayOutPicture(800, 600, 800, 600, ScaleMode::Sharp);

bool Translate(uint32_t message, uint64_t wParam, int64_t lParam, Message& out,
               const PictureLayout& layout = kUnscaled) {
  return TranslateMessage(message, wParam, lParam, layout, 800, 600, out);
}

TEST(Win32Translation, KeysArriveAsTheGamesKeyCodes) {
  Message m;
  // Letters, digits, the arrows, Enter, F12 keep their codes; the two
  // Shift, Control and Alt keys become one key each.
  const std::pair<uint32_t, uint32_t> keys[] = {{'A', 'A'},
                                                {'7', '7'},
                                                {0x25, vk::VK_LEFT},
                                                {0x0D, vk::VK_RETURN},
                                                {0x7B, vk::VK_F12},
                                                {0xA0, vk::VK_SHIFT},
                                                {0xA1, vk::VK_SHIFT},
                                                {0xA3, vk::VK_CONTROL},
                                                {0xA5, vk::VK_MENU},
                                                {0x10, vk::VK_SHIFT},
                                                {0x61, 0x61},
                                                {0x69, 0x69},
                                                {0x2C, vk::VK_SNAPSHOT}};
  for (const auto& [windowsKey, gameKey] : keys) {
    ASSERT_TRUE(Translate(winmsg::kKeyDown, windowsKey, 0, m)) << windowsKey;
    EXPECT_EQ(m.message, wm::WM_KEYDOWN);
    EXPECT_EQ(m.wParam, gameKey) << windowsKey;
    ASSERT_TRUE(Translate(winmsg::kKeyUp, windowsKey, 0, m));
    EXPECT_EQ(m.message, wm::WM_KEYUP);
    EXPECT_EQ(m.wParam, gameKey);
  }
  // Keys the game has no name for (the Windows keys, the volume keys) are
  // not passed on as some other key.
  for (uint32_t unknown : {0x5Bu, 0x5Cu, 0xAFu, 0xFFu, 0u})
    EXPECT_FALSE(Translate(winmsg::kKeyDown, unknown, 0, m));
  // With Alt held the keys come as system keys: Alt+Enter reaches the game
  // as Alt, then Enter.
  ASSERT_TRUE(Translate(winmsg::kSysKeyDown, 0xA4, 0, m));
  EXPECT_EQ(m.message, wm::WM_KEYDOWN);
  EXPECT_EQ(m.wParam, vk::VK_MENU);
  ASSERT_TRUE(Translate(winmsg::kSysKeyDown, 0x0D, 0, m));
  EXPECT_EQ(m.message, wm::WM_KEYDOWN);
  EXPECT_EQ(m.wParam, vk::VK_RETURN);
  ASSERT_TRUE(Translate(winmsg::kSysKeyUp, 0x0D, 0, m));
  EXPECT_EQ(m.message, wm::WM_KEYUP);
}

TEST(Win32Translation, AnAutoRepeatIsMarkedAsTheGameReadsIt) {
  Message m;
  // The repeat count and scan code in the low bits are not the game's.
  ASSERT_TRUE(Translate(winmsg::kKeyDown, 'D', kRepeat | 0x00200001, m));
  EXPECT_EQ(m.lParam, 1 << 30);
  ASSERT_TRUE(Translate(winmsg::kKeyDown, 'D', 0x00200001, m));
  EXPECT_EQ(m.lParam, 0);
  // A key-up always has the bit set by Windows; the game sees none.
  ASSERT_TRUE(Translate(winmsg::kKeyUp, 'D', kRepeat | (int64_t{1} << 31) | 1, m));
  EXPECT_EQ(m.lParam, 0);
}

TEST(Win32Translation, PointerPositionsAreInPicturePixels) {
  Message m;
  ASSERT_TRUE(Translate(winmsg::kMouseMove, 0, Point(123, 456), m));
  EXPECT_EQ(m.message, wm::WM_MOUSEMOVE);
  EXPECT_EQ(m.lParam, MakeMouseParam(123, 456));
  // A window twice the size shows every pixel twice: halved.
  const PictureLayout doubled = LayOutPicture(1600, 1200, 800, 600, ScaleMode::Sharp);
  ASSERT_TRUE(Translate(winmsg::kLButtonDown, 1, Point(801, 599), m, doubled));
  EXPECT_EQ(m.message, wm::WM_LBUTTONDOWN);
  EXPECT_EQ(m.lParam, MakeMouseParam(400, 299));
  // A wide window has bars at the sides: over a bar is at the nearest edge,
  // and a pointer held outside the window (negative) too.
  const PictureLayout wide = LayOutPicture(1000, 600, 800, 600, ScaleMode::Sharp);
  ASSERT_EQ(wide.x, 100);
  ASSERT_TRUE(Translate(winmsg::kRButtonUp, 0, Point(50, 10), m, wide));
  EXPECT_EQ(m.message, wm::WM_RBUTTONUP);
  EXPECT_EQ(m.lParam, MakeMouseParam(0, 10));
  ASSERT_TRUE(Translate(winmsg::kLButtonUp, 0, Point(-20, 700), m, wide));
  EXPECT_EQ(m.lParam, MakeMouseParam(0, 599));
  ASSERT_TRUE(Translate(winmsg::kRButtonDown, 2, Point(999, 0), m, wide));
  EXPECT_EQ(m.message, wm::WM_RBUTTONDOWN);
  EXPECT_EQ(m.lParam, MakeMouseParam(799, 0));
  // The full-screen display maps onto its own surface size.
  const PictureLayout display = LayOutPicture(1280, 1024, 1024, 768, ScaleMode::FitLinear);
  ASSERT_TRUE(TranslateMessage(winmsg::kMouseMove, 0, Point(1279, 1023), display, 1024, 768, m));
  EXPECT_EQ(m.lParam, MakeMouseParam(1023, 767));
}

TEST(Win32Translation, ActivationSizeMoveTimerAndClose) {
  Message m;
  ASSERT_TRUE(Translate(winmsg::kActivateApp, 1, 0, m));
  EXPECT_EQ(m.message, wm::WM_ACTIVATEAPP);
  EXPECT_EQ(m.wParam, 1u);
  ASSERT_TRUE(Translate(winmsg::kActivateApp, 0xFFFFFFFFu, 0x1234, m));  // any true value
  EXPECT_EQ(m.wParam, 1u);
  ASSERT_TRUE(Translate(winmsg::kActivateApp, 0, 0x1234, m));
  EXPECT_EQ(m.wParam, 0u);
  // The client size as the other desktops give it: width low, height high.
  ASSERT_TRUE(Translate(winmsg::kSize, 0, Point(1920, 1080), m));
  EXPECT_EQ(m.message, wm::WM_SIZE);
  EXPECT_EQ(m.lParam, MakeMouseParam(1920, 1080));
  // A window moved to the left of the screen has a negative origin.
  ASSERT_TRUE(Translate(winmsg::kMove, 0, Point(-8, 30), m));
  EXPECT_EQ(m.message, wm::WM_MOVE);
  EXPECT_EQ(m.lParam, MakeMouseParam(-8, 30));
  ASSERT_TRUE(Translate(winmsg::kTimer, 1, 0, m));
  EXPECT_EQ(m.message, wm::WM_TIMER);
  EXPECT_EQ(m.wParam, 0u);
  ASSERT_TRUE(Translate(winmsg::kTimer, 2, 0, m));
  EXPECT_EQ(m.wParam, 1u);
  EXPECT_FALSE(Translate(winmsg::kTimer, 0, 0, m));  // not one of ours
  ASSERT_TRUE(Translate(winmsg::kClose, 0, 0, m));
  EXPECT_EQ(m.message, wm::WM_CLOSE);
  EXPECT_FALSE(Translate(0x0086 /* non-client activation */, 1, 0, m));
}

std::vector<Message> Pad(XInputPad& pad, bool connected, uint16_t buttons, uint8_t lt = 0, uint8_t rt = 0,
                         int16_t x = 0, int16_t y = 0) {
  std::vector<Message> out;
  UpdateXInputPad(pad, connected, buttons, lt, rt, x, y, out);
  return out;
}

TEST(Win32Translation, ControllerStatesBecomePadPresses) {
  XInputPad pad;
  EXPECT_TRUE(Pad(pad, true, 0).empty());
  std::vector<Message> m = Pad(pad, true, 0x1000 | 0x0010);  // A and Start
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].message, wm::WM_PADBUTTONDOWN);
  EXPECT_EQ(m[0].wParam, kPadA);
  EXPECT_EQ(m[1].wParam, kPadStart);
  EXPECT_TRUE(Pad(pad, true, 0x1000 | 0x0010).empty());  // held, no repeat
  m = Pad(pad, true, 0x0010);
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].message, wm::WM_PADBUTTONUP);
  EXPECT_EQ(m[0].wParam, kPadA);
  // XInput's stick is up positive; the game's stick-up button is up.
  m = Pad(pad, true, 0x0010, 0, 0, 0, 30000);
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].wParam, kPadStickUp);
  // Swung straight down: up is let go, then down pressed.
  m = Pad(pad, true, 0x0010, 0, 0, 0, -32768);
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].message, wm::WM_PADBUTTONUP);
  EXPECT_EQ(m[0].wParam, kPadStickUp);
  EXPECT_EQ(m[1].wParam, kPadStickDown);
  // A light pull of a trigger is within its dead zone; a full one presses.
  EXPECT_TRUE(Pad(pad, true, 0x0010, 50, 0, 0, -32768).empty());
  m = Pad(pad, true, 0x0010, 0, 255, 0, -32768);
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].wParam, kPadRightTrigger);
  // Pulled out: everything it held is let go, once.
  m = Pad(pad, false, 0);
  ASSERT_EQ(m.size(), 3u);
  for (const Message& up : m) EXPECT_EQ(up.message, wm::WM_PADBUTTONUP);
  EXPECT_TRUE(Pad(pad, false, 0).empty());
}

// The splitting rules of the Windows run-time library for a program's
// command line, as a started program applies them.
std::vector<std::string> SplitAsTheProgramWould(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  for (;;) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i == line.size()) return words;
    std::string word;
    bool quoted = false;
    while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
      size_t backslashes = 0;
      while (i < line.size() && line[i] == '\\') ++backslashes, ++i;
      if (i < line.size() && line[i] == '"') {
        word.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          word += '"';
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        word.append(backslashes, '\\');
        if (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) word += line[i++];
      }
    }
    words.push_back(word);
  }
}

TEST(Win32CommandLine, EveryWordComesBackAsItWasGiven) {
  EXPECT_EQ(JoinCommandLine({"C:/game/music/dec1.exe", "--out", "./music"}),
            "C:/game/music/dec1.exe --out ./music");
  EXPECT_EQ(JoinCommandLine({"C:\\Program Files\\vx\\dec1.exe"}), "\"C:\\Program Files\\vx\\dec1.exe\"");
  const std::vector<std::vector<std::string>> cases = {
      {"C:\\My Games\\vx\\dataset\\music\\dec2.exe", "--in", "C:\\My Games\\track2.vxm"},
      {"a", "", "b"},                                        // an empty word stays a word
      {"say \"hi\"", "x\"y", "\""},                          // quotes inside words
      {"ends with\\", "C:\\folder\\", "\\\\server\\share"},  // backslashes before the closing quote
      {"back\\\"slash", "tab\there", "\\\\\""},
  };
  for (const std::vector<std::string>& words : cases)
    EXPECT_EQ(SplitAsTheProgramWould(JoinCommandLine(words)), words) << JoinCommandLine(words);
}

}  // namespace

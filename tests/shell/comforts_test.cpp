// The window procedure's comforts on the headless backend: Alt+Enter kept
// apart from the configured full-screen display, the focus-loss records,
// the screenshot keys, the settings records and gamepad keys.
#include "shell/comforts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "shell/window.h"
#include "support/engine_test.h"

namespace {

namespace fs = std::filesystem;
using platform::HeadlessBackend;

constexpr int32_t kRepeat = 1 << 30;  // lParam of an auto-repeated key-down

class ComfortsTest : public vxtest::EngineTest {
 protected:
  void Start(const std::string& ini) {
    vxtest::WriteFile("ini/main.ini", ini);
    ASSERT_EQ(StartUp(), 0);
  }
  static void Key(uint32_t message, uint32_t code, int32_t lParam = 0) { WindowProc(message, code, lParam); }
  static void Pad(uint32_t message, platform::PadButton b) { WindowProc(message, b, 0); }
  static void Tick() { WindowProc(wm::WM_TIMER, 0, 0); }
  size_t CountCalls(const std::string& prefix) const {
    size_t n = 0;
    for (const HeadlessBackend::Call& c : backend->Calls()) n += c.what.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }
  std::string LastCall(const std::string& prefix) const {
    std::string last;
    for (const HeadlessBackend::Call& c : backend->Calls())
      if (c.what.rfind(prefix, 0) == 0) last = c.what;
    return last;
  }
  static std::vector<std::string> Screenshots() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator("screenshots", ec))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(ComfortsTest, AltEnterTogglesDesktopFullScreenOfAWindowOnly) {
  Start("5,windowed,,1\n");
  Key(wm::WM_KEYDOWN, vk::VK_MENU);
  Key(wm::WM_KEYDOWN, vk::VK_RETURN);
  EXPECT_TRUE(backend->DesktopFullScreen());
  EXPECT_TRUE(backend->HasCall("window desktop fullscreen on"));
  // The Enter of the pair is not the game's.
  EXPECT_EQ(input.enter, 0);
  EXPECT_EQ(input.keyEvent, static_cast<int32_t>(vk::VK_MENU));
  // Held down, Enter repeats; that toggles nothing.
  Key(wm::WM_KEYDOWN, vk::VK_RETURN, kRepeat);
  EXPECT_TRUE(backend->DesktopFullScreen());
  Key(wm::WM_KEYUP, vk::VK_RETURN);
  Key(wm::WM_KEYDOWN, vk::VK_RETURN);
  EXPECT_FALSE(backend->DesktopFullScreen());
  EXPECT_EQ(CountCalls("window desktop fullscreen"), 2u);
  // Without Alt, Enter is Enter again.
  Key(wm::WM_KEYUP, vk::VK_RETURN);
  Key(wm::WM_KEYUP, vk::VK_MENU);
  Key(wm::WM_KEYDOWN, vk::VK_RETURN);
  EXPECT_EQ(input.enter, 1);
  EXPECT_EQ(CountCalls("window desktop fullscreen"), 2u);
  // The configured full-screen display was never asked for.
  EXPECT_EQ(CountCalls("display open"), 0u);
  EXPECT_EQ(engine.screen.display.windowed, -1);
}

TEST_F(ComfortsTest, AltEnterLeavesTheConfiguredFullScreenAlone) {
  Start("0,size,,800,600\n5,windowed,,0\n");
  ASSERT_TRUE(backend->DisplayOpen());
  Key(wm::WM_KEYDOWN, vk::VK_MENU);
  Key(wm::WM_KEYDOWN, vk::VK_RETURN);
  EXPECT_EQ(input.enter, 1);  // as the engine always had it
  EXPECT_FALSE(backend->DesktopFullScreen());
  EXPECT_EQ(CountCalls("window desktop fullscreen"), 0u);
  EXPECT_TRUE(backend->DisplayOpen());
  EXPECT_EQ(CountCalls("display open"), 1u);
}

TEST_F(ComfortsTest, FocusLossShrinksByDefaultAndTheWindowComesBackAtThePlayersSize) {
  Start("5,windowed,,1\n");
  Tick();
  // Untouched, the window comes back as the engine placed it.
  WindowProc(wm::WM_ACTIVATEAPP, 0, 0);
  EXPECT_EQ(LastCall("window place"), "window place bottom 0,0,50,50 noactivate");
  WindowProc(wm::WM_ACTIVATEAPP, 1, 0);
  EXPECT_EQ(LastCall("window place"), "window place top 240,212,804,621");
  // The player makes it 1000 x 750; after the shrink it has that size again.
  backend->PlaceWindow(platform::ZOrder::Top, 240, 212, 1004, 771, true);
  WindowProc(wm::WM_ACTIVATEAPP, 0, 0);
  EXPECT_EQ(LastCall("window place"), "window place bottom 0,0,50,50 noactivate");
  WindowProc(wm::WM_ACTIVATEAPP, 1, 0);
  EXPECT_EQ(LastCall("window place"), "window place top 140,137,1004,771");
  EXPECT_EQ(engine.windowOriginX, 144);
  EXPECT_EQ(engine.windowOriginY, 158);
}

TEST_F(ComfortsTest, KeepWindowRecordOnlyPauses) {
  Start("5,windowed,,1\n32,focus,,1\n");
  Tick();
  Tick();
  const int64_t frames = backend->FramesRun();
  ASSERT_GT(frames, 0);
  backend->PlaceWindow(platform::ZOrder::Top, 100, 50, 1004, 771, true);
  const size_t placed = CountCalls("window place");
  WindowProc(wm::WM_ACTIVATEAPP, 0, 0);
  EXPECT_EQ(CountCalls("window place"), placed);
  Tick();
  Tick();
  EXPECT_EQ(backend->FramesRun(), frames);  // paused
  WindowProc(wm::WM_ACTIVATEAPP, 1, 0);
  EXPECT_EQ(CountCalls("window place"), placed);  // where and as large as the player left it
  EXPECT_EQ(engine.windowOriginX, 104);
  Tick();
  Tick();
  EXPECT_GT(backend->FramesRun(), frames);
}

TEST_F(ComfortsTest, ScreenshotKeysWriteTimestampedPicturesAndSaySo) {
  Start("5,windowed,,1\n6,log,,1\n");
  Tick();
  engine.gfx.backBuffer[0] = 0x00ff0000;
  Key(wm::WM_KEYDOWN, vk::VK_F12);
  Key(wm::WM_KEYDOWN, vk::VK_F12, kRepeat);  // held: one picture
  Key(wm::WM_KEYUP, vk::VK_F12);
  Key(wm::WM_KEYDOWN, vk::VK_SNAPSHOT);
  Key(wm::WM_KEYUP, vk::VK_SNAPSHOT);
  const std::vector<std::string> shots = Screenshots();
  ASSERT_EQ(shots.size(), 2u);
  const std::regex name(R"(vxgame-\d{8}-\d{6}(-2)?\.png)");
  for (const std::string& s : shots) EXPECT_TRUE(std::regex_match(s, name)) << s;
  EXPECT_EQ(vxtest::ReadFile("screenshots/" + shots[0]).substr(1, 3), "PNG");
  // Each written picture is offered to the player (the page downloads it).
  for (const std::string& s : shots) EXPECT_TRUE(backend->HasCall("offer screenshots/" + s)) << s;
  // The keys are not the game's.
  EXPECT_EQ(input.lastKey, 0);
  EXPECT_EQ(input.keyEvent, 0);
  // A folder that cannot take it: said so in the log.
  fs::remove_all("screenshots");
  vxtest::WriteFile("screenshots", "a file in the way");
  EXPECT_FALSE(TakeScreenshot());
  int offers = 0;
  for (const auto& c : backend->Calls()) offers += c.what.rfind("offer ", 0) == 0;
  EXPECT_EQ(offers, 2) << "a picture that was not written is offered";
  engine.log.stream.flush();
  const std::string log = vxtest::ReadFile("en1_log.txt");
  EXPECT_NE(log.find("screenshot written: screenshots/" + shots[0] + "\n"), std::string::npos) << log;
  EXPECT_NE(log.find("screenshot written: screenshots/" + shots[1] + "\n"), std::string::npos);
  EXPECT_NE(log.find("screenshot failed: screenshots/vxgame-"), std::string::npos);
}

TEST_F(ComfortsTest, RecordsChooseScalingWindowSizeAndGamepads) {
  Start("5,windowed,,1\n30,scaling,,3\n31,window,,1000,750\n34,no pads,,1\n");
  EXPECT_TRUE(backend->HasCall("window create framed 140,137,1004,771 vx_engine 1.13m"));
  EXPECT_EQ(backend->Scaling(), platform::ScaleMode::Whole);
  EXPECT_FALSE(backend->GamepadsEnabled());
  EXPECT_FALSE(backend->DesktopFullScreen());
}

TEST_F(ComfortsTest, MissingOrBadRecordsKeepTheEngineBehaviour) {
  Start("5,windowed,,1\n6,log,,1\n30,scaling,,9\n31,window,,-5,3\n33,full,,1\n41,NOSUCH,SPACE,0\n42,J,,0\n");
  EXPECT_TRUE(backend->HasCall("window create framed 240,212,804,621 vx_engine 1.13m"));
  EXPECT_EQ(backend->Scaling(), platform::ScaleMode::Sharp);
  EXPECT_TRUE(backend->GamepadsEnabled());
  EXPECT_TRUE(backend->DesktopFullScreen());  // record 33
  engine.log.stream.flush();
  const std::string log = vxtest::ReadFile("en1_log.txt");
  EXPECT_NE(log.find("settings: record 30: scaling 9 is not 0 to 3"), std::string::npos) << log;
  EXPECT_NE(log.find("settings: record 31: window size -5 x 3 is not usable"), std::string::npos);
  EXPECT_NE(log.find("settings: record 41: cannot map key 'NOSUCH' to 'SPACE'"), std::string::npos);
  EXPECT_NE(log.find("settings: record 42: cannot map key 'J' to ''"), std::string::npos);
  // None of it reaches the keys.
  Key(wm::WM_KEYDOWN, 'J');
  EXPECT_EQ(input.lastKey, 'J');
}

TEST_F(ComfortsTest, PadKeysFollowTheModeAndTheControlScheme) {
  using namespace platform;
  EXPECT_EQ(PadKey(kPadA, kModeGame, 1), vk::VK_UP);
  EXPECT_EQ(PadKey(kPadA, kModeGame, 2), vk::VK_SPACE);
  EXPECT_EQ(PadKey(kPadX, kModeGame, 1), vk::VK_SPACE);
  EXPECT_EQ(PadKey(kPadRightTrigger, kModeGame, 2), vk::VK_CONTROL);
  EXPECT_EQ(PadKey(kPadY, kModeGame, 1), vk::VK_DOWN);
  EXPECT_EQ(PadKey(kPadStickLeft, kModeGame, 2), vk::VK_LEFT);
  EXPECT_EQ(PadKey(kPadStart, kModeGame, 1), vk::VK_ESCAPE);
  EXPECT_EQ(PadKey(kPadGuide, kModeGame, 1), 0u);
  // Menus: A goes on (Enter), X gives the other answer (Space); the attack
  // buttons answer nothing there.
  EXPECT_EQ(PadKey(kPadA, kModeMenu, 2), vk::VK_RETURN);
  EXPECT_EQ(PadKey(kPadStart, kModeMenu, 1), vk::VK_RETURN);
  EXPECT_EQ(PadKey(kPadX, kModeMenu, 1), vk::VK_SPACE);
  EXPECT_EQ(PadKey(kPadRightTrigger, kModeMenu, 1), 0u);
  EXPECT_EQ(PadKey(kPadDpadDown, kModeMenu, 1), vk::VK_DOWN);
}

// A remapped pad button presses the game key of its record in play, in
// place of its own; the pad's other buttons keep their layout, and the
// menus keep the pad's menu layout. A button records and logs nothing the
// record could not name.
TEST_F(ComfortsTest, ARemappedPadButtonPressesItsGameKeyInPlay) {
  Start("5,windowed,,1\n6,log,,1\n40,PAD_Y,RIGHT,0\n41,PAD_B,ctrl,0\n42,PAD_NOSUCH,LEFT,0\n");
  EXPECT_EQ(RemappedPadKey(comforts.settings, platform::kPadY, kModeGame, 1), vk::VK_RIGHT);
  EXPECT_EQ(RemappedPadKey(comforts.settings, platform::kPadY, kModeMenu, 1), kOptionsKey);
  EXPECT_EQ(RemappedPadKey(comforts.settings, platform::kPadB, kModeOptions, 2), vk::VK_ESCAPE);
  dispatcher.gameMode = kModeGame;
  game.settings.controlScheme = 1;
  Pad(wm::WM_PADBUTTONDOWN, platform::kPadY);
  EXPECT_EQ(input.right, 1);
  EXPECT_EQ(input.down, 0) << "Y no longer gives the next weapon";
  EXPECT_EQ(input.lastKey, static_cast<int32_t>(vk::VK_RIGHT));
  Pad(wm::WM_PADBUTTONDOWN, platform::kPadLeftShoulder);
  EXPECT_EQ(input.down, 1) << "the other buttons of the next weapon still give it";
  Pad(wm::WM_PADBUTTONUP, platform::kPadLeftShoulder);
  Pad(wm::WM_PADBUTTONDOWN, platform::kPadB);
  EXPECT_EQ(input.control, 1);
  EXPECT_EQ(input.space, 0) << "B no longer strikes in scheme 1";
  // Let go in a menu: the key it pressed goes up.
  dispatcher.gameMode = kModeMenu;
  Pad(wm::WM_PADBUTTONUP, platform::kPadY);
  Pad(wm::WM_PADBUTTONUP, platform::kPadB);
  EXPECT_EQ(input.right, 0);
  EXPECT_EQ(input.control, 0);
  // The menus: B answers as Enter, not as its remapping.
  Pad(wm::WM_PADBUTTONDOWN, platform::kPadB);
  EXPECT_EQ(input.enter, 1);
  EXPECT_EQ(input.control, 0);
  Pad(wm::WM_PADBUTTONUP, platform::kPadB);
  EXPECT_EQ(comforts.rawPadButton, static_cast<int32_t>(platform::kPadB)) << "the options screen reads it";
  engine.log.stream.flush();
  const std::string log = vxtest::ReadFile("en1_log.txt");
  EXPECT_NE(log.find("settings: record 42: cannot map pad button 'PAD_NOSUCH' to 'LEFT'"), std::string::npos)
      << log;
}

TEST_F(ComfortsTest, AKeyHeldByKeyboardAndPadIsUpOnlyWhenBothLetGo) {
  Start("5,windowed,,1\n");
  dispatcher.gameMode = kModeGame;
  game.settings.controlScheme = 1;
  Key(wm::WM_KEYDOWN, vk::VK_LEFT);
  Pad(wm::WM_PADBUTTONDOWN, platform::kPadDpadLeft);
  Key(wm::WM_KEYUP, vk::VK_LEFT);
  EXPECT_EQ(input.left, 1);
  Pad(wm::WM_PADBUTTONUP, platform::kPadDpadLeft);
  EXPECT_EQ(input.left, 0);
  Pad(wm::WM_PADBUTTONDOWN, platform::kPadStickRight);
  Key(wm::WM_KEYDOWN, vk::VK_RIGHT);
  Pad(wm::WM_PADBUTTONUP, platform::kPadStickRight);
  EXPECT_EQ(input.right, 1);
  Key(wm::WM_KEYUP, vk::VK_RIGHT);
  EXPECT_EQ(input.right, 0);
  // Two pads on one button: held until both let go.
  Pad(wm::WM_PADBUTTONDOWN, platform::kPadX);
  Pad(wm::WM_PADBUTTONDOWN, platform::kPadX);
  Pad(wm::WM_PADBUTTONUP, platform::kPadX);
  EXPECT_EQ(input.space, 1);
  Pad(wm::WM_PADBUTTONUP, platform::kPadX);
  EXPECT_EQ(input.space, 0);
  // A button lets go of the key it pressed, even when the menu opened
  // in between.
  Pad(wm::WM_PADBUTTONDOWN, platform::kPadA);
  EXPECT_EQ(input.up, 1);
  dispatcher.gameMode = kModeMenu;
  Pad(wm::WM_PADBUTTONUP, platform::kPadA);
  EXPECT_EQ(input.up, 0);
  EXPECT_EQ(input.enter, 0);
  // A button outside the table does nothing.
  WindowProc(wm::WM_PADBUTTONDOWN, 99, 0);
  EXPECT_EQ(input.lastKey, 0);
}

}  // namespace

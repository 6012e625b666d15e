// A gamepad through SDL's game controller API, driven by SDL's virtual
// joystick on the dummy video driver: its buttons and stick arrive as pad
// messages, and the window procedure turns them into the keys of the
// actions; unplugging it lets go of what it held.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/sdl/sdl_backend.h"
#include "shell/comforts.h"
#include "shell/window.h"
#include "support/engine_test.h"

namespace {

class SdlGamepad : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    setenv("SDL_VIDEODRIVER", "dummy", 1);
  }
  void TearDown() override {
    unsetenv("SDL_VIDEODRIVER");
    EngineTest::TearDown();
  }
  // The next pad message, each one also handed to the window procedure;
  // false when none came within a good many timer ticks.
  static bool NextPadMessage(platform::SdlBackend& sdl, platform::Message& out) {
    for (int ticks = 0; ticks < 200;) {
      if (!sdl.NextMessage(out)) return false;
      if (out.message == wm::WM_TIMER) {
        ++ticks;
        continue;
      }
      if (out.message == wm::WM_PADBUTTONDOWN || out.message == wm::WM_PADBUTTONUP) {
        WindowProc(out.message, out.wParam, out.lParam);
        return true;
      }
    }
    return false;
  }
  // Lets a few ticks pass so that SDL's events so far are taken.
  static void Settle(platform::SdlBackend& sdl) {
    platform::Message m;
    for (int ticks = 0; ticks < 5 && sdl.NextMessage(m);)
      if (m.message == wm::WM_TIMER) ++ticks;
  }
};

TEST_F(SdlGamepad, VirtualPadReachesTheActionsAndLetsGoWhenUnplugged) {
#if SDL_VERSION_ATLEAST(2, 24, 0)
  platform::SdlBackend sdl;
  std::string error;
  if (!sdl.Start(error)) GTEST_SKIP() << "no SDL video: " << error;
  sdl.EnableGamepads(true);
  if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0) GTEST_SKIP() << "no game controller support";
  sdl.StartTimer(0, 5);
  dispatcher.gameMode = kModeGame;
  game.settings.controlScheme = 1;

  SDL_VirtualJoystickDesc desc;
  SDL_zero(desc);
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = "test pad";
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  ASSERT_GE(index, 0) << SDL_GetError();
  SDL_Joystick* joy = SDL_JoystickOpen(index);
  ASSERT_NE(joy, nullptr) << SDL_GetError();
  Settle(sdl);  // the backend opens the pad as it is announced

  platform::Message m;
  // A: jump, which is Up in the first control scheme.
  SDL_JoystickSetVirtualButton(joy, SDL_CONTROLLER_BUTTON_A, 1);
  ASSERT_TRUE(NextPadMessage(sdl, m));
  EXPECT_EQ(m.message, wm::WM_PADBUTTONDOWN);
  EXPECT_EQ(m.wParam, platform::kPadA);
  EXPECT_EQ(input.up, 1);
  EXPECT_EQ(input.keyEvent, static_cast<int32_t>(vk::VK_UP));
  SDL_JoystickSetVirtualButton(joy, SDL_CONTROLLER_BUTTON_A, 0);
  ASSERT_TRUE(NextPadMessage(sdl, m));
  EXPECT_EQ(m.message, wm::WM_PADBUTTONUP);
  EXPECT_EQ(input.up, 0);

  // X attacks: Space.
  SDL_JoystickSetVirtualButton(joy, SDL_CONTROLLER_BUTTON_X, 1);
  ASSERT_TRUE(NextPadMessage(sdl, m));
  EXPECT_EQ(m.wParam, platform::kPadX);
  EXPECT_EQ(input.space, 1);
  SDL_JoystickSetVirtualButton(joy, SDL_CONTROLLER_BUTTON_X, 0);
  ASSERT_TRUE(NextPadMessage(sdl, m));
  EXPECT_EQ(input.space, 0);

  // The stick pushed right walks right, and stays held while pushed.
  SDL_JoystickSetVirtualAxis(joy, SDL_CONTROLLER_AXIS_LEFTX, 30000);
  ASSERT_TRUE(NextPadMessage(sdl, m));
  EXPECT_EQ(m.message, wm::WM_PADBUTTONDOWN);
  EXPECT_EQ(m.wParam, platform::kPadStickRight);
  EXPECT_EQ(input.right, 1);

  // Pulled out while pushed: it lets go.
  SDL_JoystickClose(joy);
  ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0) << SDL_GetError();
  ASSERT_TRUE(NextPadMessage(sdl, m));
  EXPECT_EQ(m.message, wm::WM_PADBUTTONUP);
  EXPECT_EQ(m.wParam, platform::kPadStickRight);
  EXPECT_EQ(input.right, 0);
#else
  GTEST_SKIP() << "this SDL has no virtual joystick";
#endif
}

}  // namespace

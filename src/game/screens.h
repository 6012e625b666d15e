#pragma once
// The menu and message screens (menus/menu.cpp) and the results that open
// them. Screen n shows message record 100 + n; a frame result or menu
// answer of 100 + n opens screen n, and GameState::resultSeen is indexed by
// that result. The numbers are those of the message file and the saved
// game, so they never change.
#include <cstdint>

enum MenuScreen : int32_t {
  kScreenHelp = 0,  // on the first start
  kScreenPause = 1,
  kScreenNewGame = 2,
  kScreenShootingWalkerSeen = 3,
  kScreenSpittingWalkerSeen = 4,
  kScreenDeath = 5,
  kScreenFightStarts = 6,
  kScreenFightWon = 7,  // 7, 8 and 9: one of three, drawn at random
  kScreenFightWonLast = 9,
  kScreenSwordTaken = 10,
  kScreenSecondSwordTaken = 11,
  kScreenUnused = 12,
  kScreenGunTaken = 13,
  kScreenSecondGunTaken = 14,
  kScreenSavedGame = 15,  // continue or start afresh
  kScreenTitle = 16,      // loading and title
  kScreenBigJumperSeen = 17,
  kScreenFirstRowWon = 18,
  kScreenFirstGateShut = 19,  // fell before the way was open
  kScreenSecondGateShut = 20,
  kScreenSecondRowWon = 21,
  kScreenSmallFlyerSeen = 22,
  kScreenLongBladeTaken = 23,
  kScreenArmourTaken = 24,
  kScreenDoubleShotTaken = 25,
  kScreenNewGameSecondScheme = 26,
  kScreenSavedGameSecondScheme = 27,
  kScreenHovererSeen = 28,
  kScreenRegenerationTaken = 29,
  kScreenGroundBoss = 30,
  kScreenGroundBossPage2 = 31,
  kScreenBroadBladeTaken = 32,
  kScreenSecondBigJumperSeen = 33,
  kScreenThirdGateShut = 34,
  kScreenEnding = 35,
  kScreenEndingPage2 = 36,
  kScreenEndingLastPage = 37,
  // Files that could not be written or read, told in the same boxes.
  kScreenSaveAndQuitFailed = 38,
  kScreenSaveFailed = 39,
  kScreenDamagedSave = 40,
  kScreenLevelFileFailed = 41,
  kScreenCount = 42,
};

// The result that opens screen n.
constexpr int32_t OpenScreen(int32_t screen) { return 100 + screen; }
// The screen a result of 100 + n opens.
constexpr int32_t ScreenOf(int32_t result) { return result - 100; }

// A menu frame's answer, when it opens no other screen.
inline constexpr int32_t kAnswerStay = 0;
inline constexpr int32_t kAnswerGame = 1;
inline constexpr int32_t kAnswerQuit = 2;
inline constexpr int32_t kAnswerCredits = 3;
inline constexpr int32_t kAnswerFadeToGame = 4;
inline constexpr int32_t kAnswerEditor = 5;

// The in-game frame's result while the game goes on.
inline constexpr int32_t kStayInGame = 0;

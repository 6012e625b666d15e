#pragma once
// Message and menu screens shown over the frozen game: a box with a face,
// a text of the message file and one or two answer buttons.
#include <cstdint>
#include <string>

struct GameState;

// The open screen: its text, box, face and buttons, the slide of the box
// and the held states of the two answer inputs. Only the menu frame uses
// it; the mode dispatcher keeps it.
struct MenuState {
  std::string text;
  int32_t screen = 0;
  int32_t prevSelect = 0, prevConfirm = 0;
  int32_t boxSlot = 0, faceSlot = 0, faceFrame = 0;
  int32_t faceStyle = 0;  // the highest face frame the screen picks
  int32_t faceHold = 0;   // frames the face keeps its frame
  std::string button1Text1, button1Text2;
  int32_t button1Slot = 0;
  std::string button2Text1, button2Text2;
  int32_t button2Slot = 0;                    // -1313 when the screen has one button
  int32_t slideOffset = 0, slideCount = 0;    // the box sliding in
  int32_t selectLatch = 0, confirmLatch = 0;  // -13 once seen released
};

// Prepares screen 0..41 (12 is unused; 38 to 41 tell of files that could
// not be written or read); a freezing screen takes the current
// picture as its background and slides in.
void MenuSetup(GameState& g, MenuState& m, int32_t screen);
// Fetches the open screen's texts again, from the message file now chosen
// (after a change of language); nothing else of the screen changes.
void MenuReloadTexts(const GameState& g, MenuState& m);
// One menu frame; answers are taken when Space (select) or Enter (confirm)
// is let go. The result steers the dispatcher (0 stay, 1 game, 2 quit,
// 3 credits, 4 fade to the game, 5 back to the level editor, 100 + n
// another screen).
int32_t MenuFrame(GameState& g, MenuState& m, int32_t select, int32_t confirm);

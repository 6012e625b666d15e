#include "shell/globals.h"

#include "game/new_game_start.h"

Engine engine;
GameState game;
InputState input;
FrameClock frameClock;
NewGameStart newGameStart;

void FinishBackgroundWork() {
  engine.picturePrefetch.Stop();
  engine.fileWrites.Finish();
}

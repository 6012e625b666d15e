#include "game/level_start.h"

#include <algorithm>

// Levels arrive with the game world.
void ResetGame(GameState&) {}
void StartLevel(GameState&, int32_t) {}
void CheckRoomExit(GameState&) {}

std::string ObjectFileName(int32_t n) {
  std::string name = "lvobj00.txt";
  name[5] = static_cast<char>('0' + std::clamp(n / 10, 0, 9));
  name[6] = static_cast<char>('0' + std::clamp(n % 10, 0, 9));
  return name;
}

#pragma once
// Screens composed from a game folder with the engine's own drawing and
// text code, at the places the menus and the loading screen use, so that
// the contact sheet shows how the pictures and texts fit together.
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

struct PreviewScreen {
  std::string title;
  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;
};

// Reads the folder's pictures and texts (from inside it); an 800 × 600
// screen per preview.
std::vector<PreviewScreen> ComposeScreens(const std::string& root);

}  // namespace datagen

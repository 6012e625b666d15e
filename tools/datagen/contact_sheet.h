#pragma once
// A contact sheet: every picture of a game folder with its file name, on
// one PNG, for reviewing the art at a glance.
#include <string>
#include <vector>

namespace datagen {

// Reads the named pictures (paths relative to `root`) the way the game
// reads them and draws them onto `pngFile`. False when the PNG cannot be
// written; pictures that cannot be read show as an empty, labelled cell.
// With `screensPrefix` set, each composed screen is also written alone, as
// PREFIX-N.png (N from 1).
bool WriteContactSheet(const std::string& root, const std::vector<std::string>& pictures,
                       const std::string& pngFile, const std::string& screensPrefix = "");

}  // namespace datagen

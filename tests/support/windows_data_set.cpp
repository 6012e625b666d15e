// The Windows test program reads the data set that scripts/build-win.sh
// writes beside the game (the build machine's generator makes it; its
// bytes are the same everywhere).
#include <gtest/gtest.h>

#include <filesystem>

#include "datagen/generated_data_set.h"

namespace vxtest {

const std::string& GeneratedDataSet() {
  static const std::string folder = std::string(VX_BINARY_DIR) + "/dataset";
  static const bool there = std::filesystem::exists(std::filesystem::path(folder) / "manifest.txt");
  if (!there) ADD_FAILURE() << "no data set at " << folder << " (scripts/build-win.sh writes it)";
  static const std::string none;
  return there ? folder : none;
}

}  // namespace vxtest

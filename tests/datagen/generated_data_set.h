#pragma once
// The default data set as `vxdata` writes it, generated once per build of
// the generator and shared by every test (and test process) that reads it.
#include <cstdint>
#include <string>
#include <vector>

namespace vxtest {

// A picture of the generated data set as the game reads it; no pixels when
// it cannot be read. Texture strips find their palette beside them.
struct DataPicture {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;
  bool ok() const { return !pixels.empty(); }
  uint32_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
DataPicture ReadDataPicture(const std::string& name);

// The folder holding the generated game data; empty (and a test failure
// recorded) when the generator could not be run.
const std::string& GeneratedDataSet();

// Runs the generator into `folder`; true on success.
bool RunGenerator(const std::string& folder);

}  // namespace vxtest

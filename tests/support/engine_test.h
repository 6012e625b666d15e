#pragma once
// The test fixture that starts every test from program-start state: all
// singletons reset, a fresh headless backend installed, and a scratch game
// folder as the working directory (removed afterwards).
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/headless/headless_backend.h"
#include "random/random_source.h"
#include "shell/globals.h"

namespace vxtest {

// Writes `text` to `path` (relative to the scratch folder), creating folders.
void WriteFile(const std::string& path, const std::string& text);
std::string ReadFile(const std::string& path);
// A new, empty folder under the system's temporary folder; empty on failure.
std::filesystem::path NewScratchFolder(const std::string& prefix);

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Replaces the backend (for other desktop sizes or failing devices).
  platform::HeadlessBackend& UseBackend(const platform::HeadlessBackend::Options& options);
  // Starts the engine windowed and runs the first timer tick (graphics
  // tables, back buffer, effects, random seed), as vxgame starts.
  void StartWindowed();
  // Links the generated data set's data folder into the scratch folder.
  void LinkGeneratedData();

  std::unique_ptr<platform::HeadlessBackend> backend;
  std::filesystem::path folder;

 private:
  std::filesystem::path previous_;
};

// The number of draws that lead the random source from `before` to `after`
// (the state moves the same way whatever the range), or -1.
int32_t DrawsBetween(RandomSource before, const RandomSource& after, int32_t limit = 200000);

// Thrown by the exit handler that EngineTest installs, so that a test can
// see the program end through ExitProgram.
struct ProgramExit {
  int32_t code;
};

}  // namespace vxtest

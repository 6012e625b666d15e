#include "support/engine_test.h"

#include <fstream>
#include <random>
#include <sstream>

#include "datagen/generated_data_set.h"
#include "shell/exit.h"
#include "shell/window.h"

namespace vxtest {

void WriteFile(const std::string& path, const std::string& text) {
  const std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << text;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::filesystem::path NewScratchFolder(const std::string& prefix) {
  // A name no other test process has: made afresh, never one that exists.
  static std::mt19937_64 names(std::random_device{}());
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path p = base / (prefix + "-" + std::to_string(names() % 1000000000000));
    std::error_code ec;
    if (std::filesystem::create_directory(p, ec)) return p;
  }
  return {};
}

void EngineTest::SetUp() {
  ResetAllState();
  backend = std::make_unique<platform::HeadlessBackend>();
  platform::Install(backend.get());
  SetExitHandler([](int32_t code) { throw ProgramExit{code}; });
  previous_ = std::filesystem::current_path();
  folder = NewScratchFolder("vxtest");
  ASSERT_FALSE(folder.empty());
  std::filesystem::current_path(folder);
}

void EngineTest::TearDown() {
  // Close the log and any record file before the folder goes.
  ResetAllState();
  SetExitHandler(nullptr);
  std::filesystem::current_path(previous_);
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  platform::Install(nullptr);
}

platform::HeadlessBackend& EngineTest::UseBackend(const platform::HeadlessBackend::Options& options) {
  backend = std::make_unique<platform::HeadlessBackend>(options);
  platform::Install(backend.get());
  return *backend;
}

void EngineTest::StartWindowed() {
  WriteFile("ini/main.ini", "5,,,1\n");
  ASSERT_EQ(StartUp(), 0);
  WindowProc(wm::WM_TIMER, 0, 0);
  ASSERT_NE(engine.gfx.backBuffer, nullptr);
}

void EngineTest::LinkGeneratedData() {
  const std::string& root = GeneratedDataSet();
  ASSERT_FALSE(root.empty());
  std::filesystem::create_symlink(std::filesystem::path(root) / "data", folder / "data");
}

int32_t DrawsBetween(RandomSource before, const RandomSource& after, int32_t limit) {
  for (int32_t n = 0; n <= limit; ++n) {
    if (before.s == after.s) return n;
    Random(before, 0, 1);
  }
  return -1;
}

}  // namespace vxtest

#include "datagen/generated_data_set.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "config/log.h"
#include "gfx/picture_file.h"
#include "support/programs.h"

namespace vxtest {

bool RunGenerator(const std::string& folder) {
  const std::string command = vxtest::ProgramCommand(VX_VXDATA_BINARY) + " '" + folder + "' >/dev/null";
  return std::system(command.c_str()) == 0;
}

const std::string& GeneratedDataSet() {
  static std::string folder;
  if (!folder.empty()) return folder;
  // Keyed by the generator's build, so each build generates once even
  // though the test runner starts one process per test.
  struct stat st {};
  if (stat(VX_VXDATA_BINARY, &st) != 0) {
    ADD_FAILURE() << "no generator at " << VX_VXDATA_BINARY;
    return folder;
  }
  const auto base = std::filesystem::temp_directory_path();
  const std::string key = std::to_string(static_cast<long long>(st.st_mtime)) + "-" +
                          std::to_string(static_cast<long long>(st.st_size)) + "-" +
                          std::to_string(static_cast<long long>(st.st_ino));
  const std::filesystem::path target = base / ("vxtest-dataset-" + key);
  if (!std::filesystem::exists(target / "done")) {
    // Folders of earlier builds of the generator are no longer needed (an
    // hour's grace for test runs of another build going on right now).
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(base, ec)) {
      const std::string name = e.path().filename().string();
      if (name.rfind("vxtest-dataset-", 0) != 0 || e.path() == target) continue;
      const auto age = std::filesystem::file_time_type::clock::now() - e.last_write_time(ec);
      if (!ec && age > std::chrono::hours(1)) std::filesystem::remove_all(e.path(), ec);
    }
    std::string pattern = (base / "vxtest-dataset-new-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      ADD_FAILURE() << "cannot make a folder in " << base;
      return folder;
    }
    if (!RunGenerator(pattern)) {
      ADD_FAILURE() << "the generator failed";
      std::filesystem::remove_all(pattern, ec);
      return folder;
    }
    std::FILE* done = std::fopen((std::filesystem::path(pattern) / "done").c_str(), "w");
    if (done != nullptr) std::fclose(done);
    // Another process may have won the race; its folder is as good.
    ec.clear();
    std::filesystem::rename(pattern, target, ec);
    if (ec) std::filesystem::remove_all(pattern, ec);
  }
  folder = target.string();
  return folder;
}

DataPicture ReadDataPicture(const std::string& name) {
  DataPicture p;
  const std::string& root = GeneratedDataSet();
  if (root.empty()) return p;
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(root);
  EngineLog quiet;
  uint32_t* pixels = nullptr;
  if (vxReadPic(quiet, name.c_str(), pixels, p.width, p.height) == kPictureRead && pixels != nullptr)
    p.pixels.assign(pixels, pixels + static_cast<size_t>(p.width) * p.height);
  std::free(pixels);
  std::filesystem::current_path(previous);
  return p;
}

}  // namespace vxtest

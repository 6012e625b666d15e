#include "datagen/data_set.h"

#include <filesystem>
#include <fstream>

#include "assets/data_set_check.h"
#include "gfx/picture_file.h"

namespace datagen {

std::string DataSetWriter::Path(const std::string& relative) {
  const std::filesystem::path p = std::filesystem::path(root_) / relative;
  files_.insert(std::filesystem::path(relative).lexically_normal().generic_string());
  std::error_code ec;
  std::filesystem::create_directories(p.parent_path(), ec);
  if (ec) Fail("cannot create folder " + p.parent_path().string() + ": " + ec.message());
  return p.string();
}

void DataSetWriter::WriteBytes(const std::string& relative, const std::string& bytes) {
  const std::string path = Path(relative);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) Fail("cannot write " + path);
}

void DataSetWriter::WritePicture(const std::string& relative, const Canvas& canvas, bool floor) {
  WritePicture(relative, canvas.width(), canvas.height(), canvas.ToPixels(floor));
}

void DataSetWriter::WritePicture(const std::string& relative, int32_t width, int32_t height,
                                 const std::vector<uint32_t>& pixels) {
  const std::string path = Path(relative);
  if (!WriteVx1(path.c_str(), width, height, pixels.data())) Fail("cannot write " + path);
  NotePicture(relative);
}

void DataSetWriter::Fail(const std::string& message) { errors_.push_back(message); }

bool WriteDataSet(DataSetWriter& out) {
  WriteConfigFile(out);
  WriteTexts(out);
  WriteFonts(out);
  WriteInterfaceArt(out);
  WriteFaces(out);
  WriteCreatures(out);
  WriteFog(out);
  WritePlayerArt(out);
  WriteWorld(out);
  WriteSounds(out);
  WriteMusic(out);
  WriteLevelObjects(out);
  const std::vector<std::string> files(out.files().begin(), out.files().end());
  if (!WriteManifest((std::filesystem::path(out.root()) / kManifestFile).string(),
                     DescribeFiles(out.root(), files)))
    out.Fail("cannot write the manifest");
  return out.errors().empty();
}

}  // namespace datagen

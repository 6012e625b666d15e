#pragma once
// Writing the default game folder: the writer that every part of the data
// set goes through, and the list of those parts.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "datagen/canvas.h"

namespace datagen {

class DataSetWriter {
 public:
  explicit DataSetWriter(std::string root) : root_(std::move(root)) {}

  // Full path of a file of the folder; creates the folders on the way and
  // notes the file for the manifest.
  std::string Path(const std::string& relative);
  void WriteBytes(const std::string& relative, const std::string& bytes);
  // A ".vx1" picture; `floor` keeps dark parts of black-keyed art visible.
  void WritePicture(const std::string& relative, const Canvas& canvas, bool floor = false);
  void WritePicture(const std::string& relative, int32_t width, int32_t height,
                    const std::vector<uint32_t>& pixels);
  // Files of every kind that the contact sheet can show, in writing order.
  void NotePicture(const std::string& relative) { pictures_.push_back(relative); }
  void Fail(const std::string& message);

  const std::string& root() const { return root_; }
  const std::vector<std::string>& pictures() const { return pictures_; }
  const std::vector<std::string>& errors() const { return errors_; }
  // Every file written, by its name in the folder.
  const std::set<std::string>& files() const { return files_; }

 private:
  std::set<std::string> files_;
  std::string root_;
  std::vector<std::string> pictures_;
  std::vector<std::string> errors_;
};

// The parts of the data set, one per group of files.
void WriteConfigFile(DataSetWriter& out);
void WriteTexts(DataSetWriter& out);
void WriteFonts(DataSetWriter& out);
void WriteInterfaceArt(DataSetWriter& out);
void WriteFaces(DataSetWriter& out);
void WriteCreatures(DataSetWriter& out);
void WriteFog(DataSetWriter& out);
// The sky behind row 0 and each level's foreground and mask.
void WriteWorld(DataSetWriter& out);
void WriteSounds(DataSetWriter& out);
void WriteMusic(DataSetWriter& out);
void WriteLevelObjects(DataSetWriter& out);
// The player's body, leg, weapons and item pickups.
void WritePlayerArt(DataSetWriter& out);

// Everything, in a fixed order, and last the manifest of every file written
// ("manifest.txt": size and checksum of each, for the game's start-up
// check). False when any file could not be written.
bool WriteDataSet(DataSetWriter& out);

}  // namespace datagen

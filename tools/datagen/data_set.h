#pragma once
// Writing the default game folder: the writer that every part of the data
// set goes through, and the list of those parts.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "datagen/canvas.h"

namespace datagen {

// Every file goes to a temporary file of its own beside its place, made
// exclusively; nothing in the folder changes until Finish, which puts the
// files in place only when every one was written, and the manifest last.
// A file there that is not what the previous manifest lists (the player's
// edit: a level file from the editor, remapped keys in ini/main.ini) is
// left alone, unless the writer forces: then it is moved into the backup
// folder first. A damaged file there (empty, or a picture or sample that
// does not load), or anything that is not a file, is no edit: it is moved
// into the backup folder and replaced.
class DataSetWriter {
 public:
  explicit DataSetWriter(std::string root, bool force = false);
  ~DataSetWriter();
  DataSetWriter(const DataSetWriter&) = delete;
  DataSetWriter& operator=(const DataSetWriter&) = delete;

  // Where to write a file of the folder: its temporary file (the same one
  // for the same name). Creates the folders on the way and notes the file
  // for the manifest.
  std::string Path(const std::string& relative);
  void WriteBytes(const std::string& relative, const std::string& bytes);
  // A ".vx1" picture; `floor` keeps dark parts of black-keyed art visible.
  void WritePicture(const std::string& relative, const Canvas& canvas, bool floor = false);
  void WritePicture(const std::string& relative, int32_t width, int32_t height,
                    const std::vector<uint32_t>& pixels);
  // Files of every kind that the contact sheet can show, in writing order.
  void NotePicture(const std::string& relative) { pictures_.push_back(relative); }
  void Fail(const std::string& message);

  // Puts the written files in place and the manifest (`manifestName` in
  // the folder) last; false, with the errors, when anything could not be
  // written or moved. When a file could not be written, nothing is moved.
  bool Finish(const std::string& manifestName);
  // Removes the temporary files not yet in place (also on destruction).
  void Abandon();

  const std::string& root() const { return root_; }
  const std::vector<std::string>& pictures() const { return pictures_; }
  const std::vector<std::string>& errors() const { return errors_; }
  // Every file written, by its name in the folder.
  const std::set<std::string>& files() const { return files_; }
  // The player's files left as they were, and the files moved into the
  // backup folder (names in the folder), after Finish.
  const std::vector<std::string>& kept() const { return kept_; }
  const std::vector<std::string>& backedUp() const { return backedUp_; }
  // The backup folder of this run, "vxdata-backup/YYYYMMDD-HHMMSS" in the
  // folder; empty until something is moved there.
  const std::string& backupFolder() const { return backupFolder_; }
  // Whether Finish changed anything in the folder.
  bool changedFolder() const { return changedFolder_; }

 private:
  bool MoveAside(const std::string& relative);

  bool force_;
  std::set<std::string> files_;
  std::map<std::string, std::string> temporary_;  // name in the folder -> its temporary file
  std::set<std::string> swept_;                   // folders cleared of an earlier run's leftovers
  std::string root_;
  std::vector<std::string> pictures_;
  std::vector<std::string> errors_;
  std::vector<std::string> kept_, backedUp_;
  std::string backupFolder_;
  bool changedFolder_ = false;
  unsigned fileMode_ = 0644;
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
// check), through Finish. False when any file could not be written or put
// in place.
bool WriteDataSet(DataSetWriter& out);

}  // namespace datagen

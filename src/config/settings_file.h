#pragma once
// Changing "ini/main.ini" from inside the game: records are edited in the
// file's own text, as the reader finds them, so that everything else a
// player wrote there (records the game does not know, notes, their order,
// the line ends) stays as it was; and the file is replaced whole, so a
// failed write leaves the old one.
#include <cstdint>
#include <string>
#include <vector>

// Sets the numbers of record `id`: the line the reader would find for it
// keeps its number, its texts and any fields after the numbers given; a
// record the reader would not find is added as "id,name,,numbers" where the
// reader's scan ends (before an end line, an overlong line or a last line
// without a line end), so that the reader finds it next time.
void SetRecordValues(std::string& file, int32_t id, const std::vector<int32_t>& values,
                     const std::string& name);
// The same with both texts set as well (commas and line breaks in them
// become spaces: a text cannot hold them).
void SetRecordTexts(std::string& file, int32_t id, const std::string& text1, const std::string& text2,
                    const std::vector<int32_t>& values);
// Removes every line the reader could take for record `id`, so that no
// later duplicate comes to light in its place.
void RemoveRecord(std::string& file, int32_t id);

// The configuration as the game reads it: the player's own file, else the
// generated set's; empty when there is none.
std::string ReadSettingsFile();
// Writes the configuration into the player's folder: a temporary file
// beside it, flushed to the disk and renamed over it. False when it could
// not be written; the old file is then untouched and `problem` says why.
bool WriteSettingsFile(const std::string& file, std::string* problem);

#pragma once
// The message texts of the game in English and Russian, the code page 866
// encoding of the Russian file, and what the bitmap fonts can draw.
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {

struct TextRecord {
  int32_t id;
  std::string text1;  // UTF-8 here; the file holds the font's bytes
  std::string text2;
};

// The records of "data/text1.txt" (English) and "data/text.txt" (Russian).
const std::vector<TextRecord>& EnglishTexts();
const std::vector<TextRecord>& RussianTexts();

// UTF-8 to code page 866 for ASCII and the Cyrillic alphabet; false (and
// the output so far) when a character has no place there.
bool ToCodePage866(const std::string& utf8, std::string& out);

// The glyph a byte shows in character set 0 to 4, as the bitmap text maps
// it (-1 for an unknown set).
int32_t GlyphOf(int32_t charSet, uint8_t c);
// The blank glyph of a set: where spaces and unknown bytes go.
int32_t BlankGlyph(int32_t charSet);
// A text byte is drawable when it is a space or maps to a glyph other than
// the set's blank.
bool Drawable(int32_t charSet, uint8_t c);

// The record file: one line per record, "id,text1,text2" with a line feed,
// and the end line.
std::string RecordFile(const std::vector<TextRecord>& records, bool russian, bool& ok);

}  // namespace datagen

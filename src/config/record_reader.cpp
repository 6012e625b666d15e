#include "config/record_reader.h"

#include <climits>
#include <string>

#include "platform/game_files.h"
#include "platform/regular_file.h"

namespace {

void ResetFields(RecordReader& r) {
  r.text1 = " ";
  r.text2 = " ";
  for (int32_t& v : r.values) v = 0;
}

// A field as a C string would see it: cut at its first NUL byte.
std::string CText(std::string field) {
  const size_t nul = field.find('\0');
  if (nul != std::string::npos) field.resize(nul);
  return field;
}

}  // namespace

int32_t ParseRecordNumber(const char* text) {
  const char* p = text;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > static_cast<int64_t>(INT32_MAX) + 1) value = static_cast<int64_t>(INT32_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

std::string NextField(RecordReader& r) {
  std::string field;
  while (r.parsePos <= r.length) {
    const char c = r.line[r.parsePos - 1];
    ++r.parsePos;
    if (c == ',') break;
    if (field.size() < 990) field.push_back(c);
  }
  return field;
}

void ReadLine(RecordReader& r) {
  ResetFields(r);
  r.recordId = kNoRecord;
  r.length = 0;
  // Straight from the stream's buffer: a character at a time through get()
  // costs a guard object per character. At the end of the file the stream
  // fails as get() would leave it, so later reads return at once.
  if (!r.stream) return;
  std::streambuf* in = r.stream.rdbuf();
  for (;;) {
    const int c = in->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      r.stream.setstate(std::ios::eofbit | std::ios::failbit);
      return;
    }
    r.line[r.length] = static_cast<char>(c);
    ++r.length;
    if (r.length > kMaxLineChars) return;
    if (c == '\n') break;
  }
  r.line[r.length] = '\0';
  r.parsePos = 1;
  // A NUL byte inside the line ends the text fields where C strings would;
  // the stored length still covers the whole line.
  r.recordId = ParseRecordNumber(NextField(r).c_str());
  r.text1 = CText(NextField(r));
  r.text2 = CText(NextField(r));
  for (int32_t& v : r.values) v = ParseRecordNumber(NextField(r).c_str());
}

void OpenRecords(RecordReader& r, const char* fileName) {
  if (r.stream.is_open()) r.stream.close();
  r.stream.clear();
  // Only a regular file is read: a named pipe in its place would block the
  // open, and it reads as a missing file instead.
  const std::string path = platform::GameFile(fileName);
  if (!platform::IsRegularFile(path.c_str())) return;
  r.stream.open(path, std::ios::in | std::ios::binary);
  if (r.stream.is_open()) {
    r.stream.clear();
    r.stream.seekg(0, std::ios::beg);
  }
}

void FindRecord(RecordReader& r, int32_t id) {
  do {
    ReadLine(r);
  } while (r.recordId != id && r.recordId != kNoRecord);
}

void CloseRecords(RecordReader& r) {
  if (r.stream.is_open()) r.stream.close();
  r.stream.clear();
}

void ReadRecord(RecordReader& r, int32_t id, const char* fileName) {
  ResetFields(r);
  OpenRecords(r, fileName);
  FindRecord(r, id);
  CloseRecords(r);
}

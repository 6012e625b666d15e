#pragma once
// The one reader of comma-separated record files (the configuration, the
// message texts, the level object files and the saved game): a record
// number, two texts and ten integers per line, looked up by record number.
#include <cstdint>
#include <fstream>
#include <string>

inline constexpr int32_t kNoRecord = 13131313;
inline constexpr int32_t kMaxLineChars = 489;

struct RecordReader {
  std::string text1 = " ";
  std::string text2 = " ";
  int32_t values[10] = {};
  std::ifstream stream;
  int32_t recordId = kNoRecord;
  int32_t parsePos = 1;
  int32_t length = 0;
  char line[490] = {};
};

// Reads one record from a file, opening and closing it.
void ReadRecord(RecordReader& r, int32_t id, const char* fileName);
// The sequential form: open once, find records in increasing file order.
void OpenRecords(RecordReader& r, const char* fileName);
void FindRecord(RecordReader& r, int32_t id);
void CloseRecords(RecordReader& r);
void ReadLine(RecordReader& r);
std::string NextField(RecordReader& r);
// `atoi` without its undefined cases: leading blanks, an optional sign,
// digits; values outside the 32-bit range saturate.
int32_t ParseRecordNumber(const char* text);

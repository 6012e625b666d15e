// Feeds arbitrary bytes to the record reader as a record file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "config/record_reader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = fuzz::InputPath("-records.txt");
  if (!fuzz::WriteInput(path.c_str(), data, size)) return 0;
  static RecordReader r;
  const int32_t first = size > 0 ? static_cast<int32_t>(data[0] % 32) : 0;
  ReadRecord(r, first, path.c_str());
  ReadRecord(r, 13131313, path.c_str());
  OpenRecords(r, path.c_str());
  for (int32_t id = 0; id < 40; id += 3) FindRecord(r, id);
  CloseRecords(r);
  return 0;
}

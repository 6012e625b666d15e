#include "config/record_reader.h"

#include <gtest/gtest.h>

#include <climits>

#include "config/configuration.h"
#include "support/engine_test.h"

namespace {

class RecordReaderTest : public vxtest::EngineTest {
 protected:
  RecordReader& r = engine.records;
  void Read(int32_t id, const std::string& content) {
    vxtest::WriteFile("rec.txt", content);
    ReadRecord(r, id, "rec.txt");
  }
};

TEST_F(RecordReaderTest, FieldsAndMissingFields) {
  Read(7, "7,first,second,1,2,3,4,5,6,7,8,9,10\n");
  EXPECT_EQ(r.recordId, 7);
  EXPECT_EQ(r.text1, "first");
  EXPECT_EQ(r.text2, "second");
  for (int i = 0; i < 10; ++i) EXPECT_EQ(r.values[i], i + 1);

  // Number, two empty texts and a number: the windowed flag record.
  Read(5, "5,,,1\n");
  EXPECT_EQ(r.values[0], 1);
  EXPECT_EQ(r.text1, "");
  Read(5, "5\n");
  EXPECT_EQ(r.values[0], 0);
  EXPECT_EQ(r.text1, "");

  // The last field keeps its line end; spaces are never trimmed.
  Read(3, "3, a ,b\n");
  EXPECT_EQ(r.text1, " a ");
  EXPECT_EQ(r.text2, "b\n");
  Read(3, "3,a,b\r\n");
  EXPECT_EQ(r.text2, "b\r\n");
}

TEST_F(RecordReaderTest, LookupByNumberFirstWins) {
  const std::string file = "9,nine,,9\n2,two,,2\n9,later,,99\n0,zero,,0\n";
  Read(2, file);
  EXPECT_EQ(r.text1, "two");
  Read(9, file);
  EXPECT_EQ(r.text1, "nine");
  EXPECT_EQ(r.values[0], 9);
  Read(4, file);
  EXPECT_EQ(r.recordId, kNoRecord);
  EXPECT_EQ(r.text1, " ");
  EXPECT_EQ(r.text2, " ");
  EXPECT_EQ(r.values[0], 0);
}

TEST_F(RecordReaderTest, ScanEnds) {
  // An end line stops the scan and its fields stay.
  Read(4, "1,a,,1\n13131313,end,x,5\n4,after,,4\n");
  EXPECT_EQ(r.recordId, kNoRecord);
  EXPECT_EQ(r.text1, "end");
  EXPECT_EQ(r.values[0], 5);
  // A last line without a line feed is never read.
  Read(4, "1,a,,1\n4,last,,4");
  EXPECT_EQ(r.text1, " ");
  // A line of 489 characters (line feed included) is read; 490 ends the scan.
  const std::string ok = "4," + std::string(486, 'x') + "\n";
  ASSERT_EQ(ok.size(), 489u);
  Read(4, ok);
  EXPECT_EQ(r.text1.size(), 487u);  // the last field keeps its line feed
  const std::string tooLong = "1," + std::string(487, 'y') + "\n4,found,,4\n";
  Read(4, tooLong);
  EXPECT_EQ(r.text1, " ");
  EXPECT_EQ(r.recordId, kNoRecord);
  // A heading line and an empty line read as record 0.
  Read(0, "display settings\n0,real,,640,480\n");
  EXPECT_EQ(r.text1, "");
  EXPECT_EQ(r.values[0], 0);
  Read(0, "\n0,real,,640,480\n");
  EXPECT_EQ(r.values[0], 0);
}

TEST_F(RecordReaderTest, HostileContent) {
  ReadRecord(r, 1, "no-such-file.txt");
  EXPECT_EQ(r.recordId, kNoRecord);
  EXPECT_EQ(r.text1, " ");
  Read(1, "");
  EXPECT_EQ(r.text1, " ");
  // NUL bytes end a text where a C string would.
  Read(1, std::string("1,ab\0cd,e\0f,7\n", 14));
  EXPECT_EQ(r.text1, "ab");
  EXPECT_EQ(r.values[0], 7);
  // Binary junk never breaks the reader or later reads.
  std::string junk;
  for (int i = 0; i < 3000; ++i) junk.push_back(static_cast<char>((i * 131 + 7) & 0xff));
  Read(1, junk);
  Read(2, "2,fine,,2\n");
  EXPECT_EQ(r.text1, "fine");
  // Numbers: garbage reads 0, overflow saturates.
  Read(1, "1,t,t,abc,99999999999,-99999999999,2147483647,-2147483648,+12,  -7x\n");
  EXPECT_EQ(r.values[0], 0);
  EXPECT_EQ(r.values[1], INT32_MAX);
  EXPECT_EQ(r.values[2], INT32_MIN);
  EXPECT_EQ(r.values[3], INT32_MAX);
  EXPECT_EQ(r.values[4], INT32_MIN);
  EXPECT_EQ(r.values[5], 12);
  EXPECT_EQ(r.values[6], -7);
}

TEST_F(RecordReaderTest, SequentialSearchMovesForwardOnly) {
  vxtest::WriteFile("seq.txt", "1,a,,1\n2,b,,2\n3,c,,3\n");
  OpenRecords(r, "seq.txt");
  FindRecord(r, 2);
  EXPECT_EQ(r.text1, "b");
  FindRecord(r, 1);  // already passed: the search runs to the end
  EXPECT_EQ(r.recordId, kNoRecord);
  FindRecord(r, 3);  // the end was reached: nothing more is found
  EXPECT_EQ(r.recordId, kNoRecord);
  CloseRecords(r);
  // A failed opening leaves the next one usable.
  OpenRecords(r, "missing.txt");
  FindRecord(r, 1);
  EXPECT_EQ(r.recordId, kNoRecord);
  CloseRecords(r);
  OpenRecords(r, "seq.txt");
  FindRecord(r, 3);
  EXPECT_EQ(r.text1, "c");
  CloseRecords(r);
}

TEST_F(RecordReaderTest, ConfigurationRecords) {
  vxtest::WriteFile("ini/main.ini", "20,texts,,1\n0,size,,1024,768\n5,,,1\n13,s,,3\n15,d,,0\n19,c,,1\n");
  vxGetRes(engine.screen.display, engine.records, engine.log);
  EXPECT_EQ(engine.screen.display.width, 1024);
  EXPECT_EQ(engine.screen.display.height, 768);
  EXPECT_EQ(engine.screen.display.windowed, -1);
  ReadGameSettings(game.settings, engine.records);
  EXPECT_EQ(game.settings.soundOn, -1);
  EXPECT_EQ(game.settings.lowDetail, 0);
  EXPECT_EQ(game.settings.controlScheme, 2);
  EXPECT_EQ(game.settings.altTextFile, -1);
  EXPECT_EQ(game.settings.textFileName, "data/text1.txt");
  EXPECT_EQ(game.settings.assetsLoaded, -1);

  // A display size below 1 on either axis takes the desktop size for both.
  vxtest::WriteFile("ini/main.ini", "0,size,,1024,0\n");
  vxGetRes(engine.screen.display, engine.records, engine.log);
  EXPECT_EQ(engine.screen.display.width, 1280);
  EXPECT_EQ(engine.screen.display.height, 1024);
  EXPECT_EQ(engine.screen.display.windowed, 0);

  // No configuration at all: full screen at the desktop size, Russian texts.
  std::filesystem::remove("ini/main.ini");
  ReadGameSettings(game.settings, engine.records);
  EXPECT_EQ(game.settings.soundOn, 0);
  EXPECT_EQ(game.settings.controlScheme, 1);
  EXPECT_EQ(game.settings.textFileName, "data/text.txt");
}

}  // namespace

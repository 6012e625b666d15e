#include "platform/riff_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "sound/wave_bytes.h"
#include "support/engine_test.h"

namespace {

using platform::FourCC;
using platform::RiffChunk;
using platform::RiffReader;
using vxtest::Chunk;
using vxtest::ChunkClaiming;
using vxtest::Le32;
using vxtest::Riff;

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

TEST(RiffReader, FindsTheFormAndSkipsOtherTopLevelChunks) {
  // An odd-sized chunk (with its pad byte) and a RIFF of another form come
  // before the wanted one.
  const std::string file = Chunk("junk", "abc") + Riff("AVI ", Chunk("x   ", "1234")) +
                           Riff("WAVE", Chunk("fmt ", "0123456789abcdef"));
  RiffReader r;
  r.OpenMemory(Bytes(file), file.size());
  RiffChunk riff;
  ASSERT_TRUE(r.DescendRiff(FourCC('W', 'A', 'V', 'E'), riff));
  EXPECT_EQ(riff.id, FourCC('R', 'I', 'F', 'F'));
  EXPECT_EQ(riff.dataOffset, 12u + 24u + 8u);
  EXPECT_EQ(r.Position(), riff.dataOffset + 4);  // after the form type
  RiffChunk fmt;
  ASSERT_TRUE(r.Descend(fmt));
  EXPECT_EQ(fmt.id, FourCC('f', 'm', 't', ' '));
  EXPECT_EQ(fmt.size, 16u);

  RiffReader none;
  none.OpenMemory(Bytes(file), file.size());
  EXPECT_FALSE(none.DescendRiff(FourCC('R', 'M', 'I', 'D'), riff));
}

TEST(RiffReader, PlainDescendTakesWhateverChunkComesNext) {
  const std::string file = Riff("WAVE", Chunk("LIST", "INFOICMT") + Chunk("JUNK", "zz"));
  RiffReader r;
  r.OpenMemory(Bytes(file), file.size());
  RiffChunk riff, first, second;
  ASSERT_TRUE(r.DescendRiff(FourCC('W', 'A', 'V', 'E'), riff));
  ASSERT_TRUE(r.Descend(first));
  EXPECT_EQ(first.id, FourCC('L', 'I', 'S', 'T'));
  EXPECT_EQ(first.formType, FourCC('I', 'N', 'F', 'O'));
  // A list is entered after its list type.
  char text[4];
  ASSERT_EQ(r.Read(text, 4), 4u);
  EXPECT_EQ(std::string(text, 4), "ICMT");
  r.Ascend(first);
  ASSERT_TRUE(r.Descend(second));
  EXPECT_EQ(second.id, FourCC('J', 'U', 'N', 'K'));
}

TEST(RiffReader, ReadsCrossChunkEndsAndStopAtTheFileEnd) {
  const std::string file = Riff("WAVE", Chunk("fmt ", "ab") + Chunk("data", "cd"));
  RiffReader r;
  r.OpenMemory(Bytes(file), file.size());
  RiffChunk riff, fmt;
  ASSERT_TRUE(r.DescendRiff(FourCC('W', 'A', 'V', 'E'), riff));
  ASSERT_TRUE(r.Descend(fmt));
  char buf[16] = {};
  // Not limited to the 2-byte chunk: the next header follows.
  ASSERT_EQ(r.Read(buf, 6), 6u);
  EXPECT_EQ(std::string(buf, 6), std::string("abdata"));
  EXPECT_EQ(r.Read(buf, sizeof buf), 6u);  // the rest of the file only
  EXPECT_EQ(r.Read(buf, sizeof buf), 0u);
}

TEST(RiffReader, AscendSkipsThePadByteOfOddChunks) {
  const std::string file = Riff("WAVE", Chunk("fmt ", "abc") + Chunk("odd ", "12345") + Chunk("data", "xy"));
  RiffReader r;
  r.OpenMemory(Bytes(file), file.size());
  RiffChunk riff, fmt, data;
  ASSERT_TRUE(r.DescendRiff(FourCC('W', 'A', 'V', 'E'), riff));
  ASSERT_TRUE(r.Descend(fmt));
  r.Ascend(fmt);
  EXPECT_EQ(r.Position(), fmt.dataOffset + 4);
  ASSERT_TRUE(r.DescendTo(FourCC('d', 'a', 't', 'a'), riff, data));
  EXPECT_EQ(data.size, 2u);
  char buf[2];
  ASSERT_EQ(r.Read(buf, 2), 2u);
  EXPECT_EQ(std::string(buf, 2), "xy");
}

TEST(RiffReader, SearchStopsAtTheParentEndAndAtBadSizes) {
  // The data chunk lies behind the end that the RIFF header declares.
  const std::string inner = "WAVE" + Chunk("fmt ", "abcd");
  const std::string file = "RIFF" + Le32(static_cast<uint32_t>(inner.size())) + inner + Chunk("data", "xy");
  RiffReader r;
  r.OpenMemory(Bytes(file), file.size());
  RiffChunk riff, fmt, data;
  ASSERT_TRUE(r.DescendRiff(FourCC('W', 'A', 'V', 'E'), riff));
  ASSERT_TRUE(r.Descend(fmt));
  r.Ascend(fmt);
  EXPECT_FALSE(r.DescendTo(FourCC('d', 'a', 't', 'a'), riff, data));

  // A chunk claiming 4 GiB is jumped over to beyond the file, not wrapped.
  const std::string huge = Riff("WAVE", ChunkClaiming("big ", 0xffffffffu, "") + Chunk("data", "xy"));
  RiffReader h;
  h.OpenMemory(Bytes(huge), huge.size());
  ASSERT_TRUE(h.DescendRiff(FourCC('W', 'A', 'V', 'E'), riff));
  EXPECT_FALSE(h.DescendTo(FourCC('d', 'a', 't', 'a'), riff, data));

  // Truncated headers.
  for (size_t cut = 0; cut < 12; ++cut) {
    RiffReader t;
    t.OpenMemory(Bytes(huge), cut);
    EXPECT_FALSE(t.DescendRiff(FourCC('W', 'A', 'V', 'E'), riff)) << cut;
  }
  RiffReader empty;
  empty.OpenMemory(nullptr, 0);
  EXPECT_FALSE(empty.Descend(fmt));
}

class RiffReaderFile : public vxtest::EngineTest {};

TEST_F(RiffReaderFile, FilesReadLikeMemory) {
  const std::string file = Riff("WAVE", Chunk("fmt ", "abc") + Chunk("data", "0123456789"));
  vxtest::WriteFile("x.wav", file);
  RiffReader r;
  ASSERT_TRUE(r.OpenFile("x.wav"));
  EXPECT_EQ(r.Size(), file.size());
  RiffChunk riff, fmt, data;
  ASSERT_TRUE(r.DescendRiff(FourCC('W', 'A', 'V', 'E'), riff));
  ASSERT_TRUE(r.Descend(fmt));
  r.Ascend(fmt);
  ASSERT_TRUE(r.DescendTo(FourCC('d', 'a', 't', 'a'), riff, data));
  char buf[32];
  ASSERT_EQ(r.Read(buf, sizeof buf), 10u);
  EXPECT_EQ(std::string(buf, 10), "0123456789");

  RiffReader missing;
  EXPECT_FALSE(missing.OpenFile("nothing.wav"));
  EXPECT_FALSE(missing.IsOpen());
  EXPECT_FALSE(missing.OpenFile(nullptr));
}

}  // namespace

// vxpic checks what it is given before it trusts it: only regular files are
// read (a folder, a named pipe or a device is refused at once with exit
// code 1), a PNG is known by its first eight bytes before anything else is
// read and is read as it decodes, files past the documented bounds are
// refused, and nothing escapes as an exception. The program runs as a child
// with a time limit, so that a regression fails instead of hanging.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/child_run.h"
#include "support/programs.h"
#include "support/sanitizers.h"
#include "vxpic/input_file.h"
#include "vxpic/png_file.h"
#include "vxpic_test_support.h"

namespace {

using namespace vxpic_test;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct Outcome {
  int code = -1;  // vxtest::kStoppedAtLimit: stopped after the time limit
  std::string err;
};

// The program on `args`, stopped after `seconds`; with `memoryMiB`, its
// address space is bounded so (reading a whole large file does not fit).
Outcome Vxpic(const std::vector<std::string>& args, int seconds = 30, rlim_t memoryMiB = 0) {
  // AddressSanitizer and an emulator reserve far more address space than
  // any bound, so there the refusal is checked without it.
  const bool bounded = memoryMiB != 0 && !vxtest::kUnderAddressSanitizer && vxtest::ProgramWrapper().empty();
  std::vector<std::string> argv{VX_VXPIC_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  Outcome r;
  r.code = vxtest::RunChild({argv,
                             {},
                             [bounded, memoryMiB] {
                               if (!bounded) return;
                               const rlimit limit{memoryMiB << 20, memoryMiB << 20};
                               setrlimit(RLIMIT_AS, &limit);
                             },
                             "/dev/null",
                             "err.txt",
                             seconds});
  r.err = Slurp("err.txt");
  return r;
}

class VxpicUntrusted : public VxpicTest {};

TEST_F(VxpicUntrusted, FoldersPipesAndDevicesAreRefusedAtOnce) {
  ASSERT_TRUE(WritePicturePng("in.png", Pattern(3, 2), false));
  ASSERT_TRUE(WriteVx1("p.vx1", 3, 2, Pattern(3, 2).pixels.data()));
  fs::create_directory("folder.png");
  fs::create_directory("folder.vx1");
  ASSERT_EQ(mkfifo("pipe.png", 0600), 0);
  ASSERT_EQ(mkfifo("pipe.vx1", 0600), 0);
  ASSERT_EQ(mkfifo("pal_c.000", 0600), 0);
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"from-png", "folder.png", "out.vx1"}, "folder.png: a folder, not a file"},
      {{"from-png", "pipe.png", "out.vx1"}, "pipe.png: a named pipe, not a file"},
      {{"from-png", "/dev/zero", "out.vx1"}, "/dev/zero: a device, not a file"},
      {{"info", "folder.png"}, "folder.png: a folder, not a file"},
      {{"info", "pipe.vx1"}, "pipe.vx1: a named pipe, not a file"},
      {{"info", "/dev/zero"}, "/dev/zero: a device, not a file"},
      {{"to-png", "folder.vx1", "out.png"}, "folder.vx1: a folder, not a file"},
      {{"to-png", "pipe.vx1", "out.png"}, "pipe.vx1: a named pipe, not a file"},
      {{"from-png", "in.png", "out.100", "--palette", "pal_c.000"}, "pal_c.000 (a named pipe, not a file)"},
      {{"palette", "out.png", "--palette", "/dev/zero"}, "/dev/zero (a device, not a file)"},
  };
  for (const auto& [args, message] : cases) {
    SCOPED_TRACE(message);
    const Outcome r = Vxpic(args);
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_TRUE(Has(r.err, message)) << r.err;
    EXPECT_FALSE(fs::exists("out.vx1") || fs::exists("out.png") || fs::exists("out.100"));
  }
  // The same in-process: an error, no exception.
  const RunResult folder = RunVxpic({"from-png", "folder.png", "out.vx1"});
  EXPECT_EQ(folder.code, 1);
  EXPECT_TRUE(Has(folder.err, "a folder, not a file")) << folder.err;
}

TEST_F(VxpicUntrusted, TheSignatureComesFirstAndTheBoundsHold) {
  // 300 MB that are not a PNG (a sparse file): refused after its first
  // bytes, within 128 MiB of address space that the whole file would not
  // fit into.
  { std::ofstream("big.png", std::ios::binary) << "not a PNG"; }
  fs::resize_file("big.png", 300'000'000);
  Outcome r = Vxpic({"from-png", "big.png", "out.vx1"}, 30, 128);
  EXPECT_EQ(r.code, 1) << r.err;
  EXPECT_TRUE(Has(r.err, "big.png: not a PNG file")) << r.err;
  r = Vxpic({"info", "big.png"}, 30, 128);
  EXPECT_EQ(r.code, 1) << r.err;

  // A PNG past the bound of what vxpic reads is refused before reading.
  const std::string signature("\x89PNG\r\n\x1a\n", 8);
  { std::ofstream("huge.png", std::ios::binary) << signature; }
  fs::resize_file("huge.png", vxpic::kPngMaxFileBytes + 1);
  r = Vxpic({"from-png", "huge.png", "out.vx1"}, 30, 128);
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "huge.png: " + std::to_string(vxpic::kPngMaxFileBytes + 1) +
                             " bytes, more than the " + std::to_string(vxpic::kPngMaxFileBytes) +
                             " bytes vxpic reads of such a file"))
      << r.err;

  // At the bound it is read (and found damaged: its chunks are zeros).
  fs::resize_file("huge.png", vxpic::kPngMaxFileBytes);
  vxpic::Picture p;
  vxpic::PngHeader header;
  std::string error;
  EXPECT_FALSE(vxpic::ReadPng("huge.png", p, header, error));
  EXPECT_TRUE(Has(error, "damaged PNG")) << error;

  // A good PNG still reads, and so does one cut inside its image: refused.
  ASSERT_TRUE(WritePicturePng("in.png", Pattern(40, 30), false));
  ASSERT_TRUE(vxpic::ReadPng("in.png", p, header, error)) << error;
  EXPECT_EQ(p.pixels, Pattern(40, 30).pixels);
  const std::string whole = Slurp("in.png");
  std::ofstream("cut.png", std::ios::binary) << whole.substr(0, whole.size() / 2);
  EXPECT_FALSE(vxpic::ReadPng("cut.png", p, header, error));
  EXPECT_TRUE(Has(error, "the file ends inside the image")) << error;
  std::ofstream("short.png", std::ios::binary) << signature.substr(0, 5);
  EXPECT_FALSE(vxpic::ReadPng("short.png", p, header, error));
  EXPECT_EQ(error, "not a PNG file");
}

TEST_F(VxpicUntrusted, StripsAndPalettesAreReadWithinTheirBounds) {
  std::ofstream("pal_c.000") << "1 2 3";
  fs::resize_file("pal_c.000", vxpic::kPaletteMaxFileBytes + 1);
  ASSERT_TRUE(WritePicturePng("in.png", Pattern(4, 4), false));
  RunResult r = RunVxpic({"from-png", "in.png", "out.100", "--nearest"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "cannot open the palette")) << r.err;
  EXPECT_TRUE(Has(r.err, "bytes vxpic reads of such a file")) << r.err;
  std::ofstream("s.100") << "300";
  fs::resize_file("s.100", vxpic::kStripMaxFileBytes + 1);
  r = RunVxpic({"info", "s.100"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "s.100: " + std::to_string(vxpic::kStripMaxFileBytes + 1) + " bytes, more than"))
      << r.err;
}

}  // namespace

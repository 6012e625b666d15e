// The demo file: what the writer writes the reader reads back whole, and a
// damaged demo (cut anywhere, numbers edited, names that would leave the
// folder) is an error that names its line, never a crash; the recorded
// configuration carries a full screen's desktop size.
#include "shell/demo_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/record_reader.h"
#include "platform/gamepad.h"
#include "shell/demo.h"
#include "support/engine_test.h"

namespace {

namespace fs = std::filesystem;

platform::ScriptEvent Ev(int64_t tick, uint32_t message, uint32_t wParam, int32_t lParam = 0) {
  platform::ScriptEvent e;
  e.tick = tick;
  e.message = platform::Message{message, wParam, lParam};
  return e;
}

// A demo with one of everything, as the writer writes it.
std::string Written(DemoFile& header) {
  const fs::path path = fs::temp_directory_path() / ("vxdemo-file-" + std::to_string(::getpid()) + ".dem");
  DemoWriter w;
  std::string error;
  EXPECT_TRUE(w.Open(path.string(), error)) << error;
  header.format = kDemoFormat;
  header.engine = "vx_engine 1.13m";
  header.data = "00ff00ff00ff00ff";
  header.settings = {{"windowed", "1"}, {"controls", "0"}};
  std::string binary;
  for (int i = 0; i < 256; ++i) binary += static_cast<char>(i);
  header.files = {{"ini/main.ini", "5,,,1\n"}, {"gamesave.sav", binary}, {"empty.txt", ""}};
  w.Header(header);
  w.Event(Ev(1, wm::WM_KEYDOWN, vk::VK_RETURN));
  w.Event(Ev(2, wm::WM_KEYDOWN, vk::VK_RIGHT, platform::kKeyRepeat));
  w.Event(Ev(2, wm::WM_MOUSEMOVE, 0, MakeMouseParam(65535, -3)));
  w.Event(Ev(3, wm::WM_ACTIVATEAPP, 0));
  w.Event(Ev(3, wm::WM_PADBUTTONDOWN, platform::kPadA));
  platform::ScriptEvent resize;
  resize.tick = 4;
  resize.resize = true;
  resize.width = 1000;
  resize.height = 750;
  w.Event(resize);
  w.ClockReadings(1, {1000, 1000, 1029});
  w.ClockReadings(2, {});                          // a tick that read nothing leaves no line
  w.ClockReadings(3, {INT32_MAX, INT32_MIN + 5});  // the 32-bit clock wraps
  w.Check(35, 0x0123456789abcdefULL);
  platform::ScriptEvent close;
  close.tick = 5;
  close.close = true;
  w.Event(close);
  EXPECT_TRUE(w.End(4, 8, 0xfedcba9876543210ULL));
  const std::string text = vxtest::ReadFile(path.string());
  fs::remove(path);
  return text;
}

TEST(DemoFile, WhatIsWrittenReadsBackWhole) {
  DemoFile header;
  const std::string text = Written(header);
  DemoFile d;
  std::string error;
  ASSERT_TRUE(ParseDemo(text, d, error)) << error;
  EXPECT_EQ(d.format, kDemoFormat);
  EXPECT_EQ(d.engine, "vx_engine 1.13m");
  EXPECT_EQ(d.data, "00ff00ff00ff00ff");
  EXPECT_EQ(d.settings, header.settings);
  ASSERT_EQ(d.files.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(d.files[i].name, header.files[i].name);
    EXPECT_EQ(d.files[i].bytes, header.files[i].bytes) << d.files[i].name;
  }
  ASSERT_EQ(d.input.events.size(), 7u);
  EXPECT_EQ(d.input.events[1].message.lParam, platform::kKeyRepeat);
  EXPECT_EQ(d.input.events[2].message.lParam, MakeMouseParam(65535, -3));
  EXPECT_EQ(d.input.events[3].message.message, wm::WM_ACTIVATEAPP);
  EXPECT_EQ(d.input.events[4].message.wParam, static_cast<uint32_t>(platform::kPadA));
  EXPECT_TRUE(d.input.events[5].resize);
  EXPECT_EQ(d.input.events[5].width, 1000);
  EXPECT_TRUE(d.input.events[6].close);
  EXPECT_EQ(d.input.readings.at(1), (std::vector<int32_t>{1000, 1000, 1029}));
  EXPECT_EQ(d.input.readings.count(2), 0u);
  EXPECT_EQ(d.input.readings.at(3), (std::vector<int32_t>{INT32_MAX, INT32_MIN + 5}));
  EXPECT_EQ(d.checks.at(35), 0x0123456789abcdefULL);
  EXPECT_TRUE(d.ended);
  EXPECT_EQ(d.endTicks, 4);
  EXPECT_EQ(d.endFrames, 8);
  EXPECT_EQ(d.endChecksum, 0xfedcba9876543210ULL);
  EXPECT_EQ(d.input.lastTick, 5);
}

// Every cut of the file, at every byte: parsed or refused, and a cut that
// parses has lost its end (or only blank space after it).
TEST(DemoFile, ACutAnywhereIsReadOrRefusedNeverMisread) {
  DemoFile header;
  const std::string text = Written(header);
  for (size_t n = 0; n < text.size(); ++n) {
    DemoFile d;
    std::string error;
    if (ParseDemo(text.substr(0, n), d, error)) {
      EXPECT_TRUE(!d.ended || text.find_first_not_of("\n", n) == std::string::npos) << "cut at " << n;
    } else {
      EXPECT_FALSE(error.empty());
    }
  }
}

TEST(DemoFile, DamageIsNamedWithItsLine) {
  const std::string head = "#vxdemo 1\n#engine e\n#data none\n";
  const struct {
    std::string body;
    std::string message;
  } cases[] = {
      {"3 clock 21 x\n", "line 4: a clock reading must be a whole number, not 'x'"},
      {"3 clock 21\n2 clock 5\n", "line 5: the clock's ticks do not increase"},
      {"3 keydown NOPE\n", "line 4: unknown key 'NOPE'"},
      {"3 keyup A\n2 keyup A\n", "line 5: the events' ticks go back"},
      {"#check 35 123\n", "line 4: a check line takes a frame and a checksum"},
      {"#check 70 0000000000000000\n#check 35 0000000000000000\n",
       "line 5: the checks' frames do not increase"},
      {"#end 1 2 0000000000000000\n3 keyup A\n", "line 5: a line after the end"},
      {"#file ../../etc/passwd 3\n", "line 4: a file line takes a plain relative name and a size"},
      {"#file /etc/passwd 3\n", "line 4: a file line takes a plain relative name and a size"},
      {"#file a//b 3\n", "line 4: a file line takes a plain relative name and a size"},
      {"#file a 3\n#b64 QUJD\n#file a 3\n", "line 6: the file 'a' is embedded twice"},
      {"#file a 99999999999\n", "line 4: a file line takes a plain relative name and a size"},
      {"#file a 4\n#b64 QUJD\n", "the embedded file 'a' is cut short or damaged (3 bytes, not 4)"},
      {"#file a 3\n#b64 QU*D\n", "line 5: damaged file data"},
      {"#b64 QUJD\n", "line 4: file data outside a file"},
      {std::string("3 keyup A\0B\n", 12), "line 4: holds a NUL byte"},
  };
  for (const auto& c : cases) {
    DemoFile d;
    std::string error;
    EXPECT_FALSE(ParseDemo(head + c.body, d, error)) << c.body;
    EXPECT_EQ(error, c.message) << c.body;
  }
  DemoFile d;
  std::string error;
  EXPECT_FALSE(ParseDemo("1 keydown RETURN\n", d, error));
  EXPECT_EQ(error, "not a demo (its first line is not '#vxdemo')");
  EXPECT_FALSE(ParseDemo(head + std::string(kMaxDemoLineChars + 1, '#') + "\n", d, error));
  EXPECT_EQ(error, "line 4: longer than 4096 characters");
}

TEST(DemoFile, TooManyReadingsInATickAreRefused) {
  std::string line = "3 clock";
  for (size_t i = 0; i <= kMaxReadingsPerTick; ++i) line += " 1";
  DemoFile d;
  std::string error;
  EXPECT_FALSE(ParseDemo("#vxdemo 1\n" + line + "\n", d, error));
  EXPECT_EQ(error, "line 2: more than 64 clock readings in one tick");
}

TEST(DemoFile, EmbeddedNamesStayInsideTheFolder) {
  for (const char* ok : {"gamesave.sav", "ini/main.ini", "data/lvobj07.txt", "a-b_c.d"})
    EXPECT_TRUE(SafeEmbeddedName(ok)) << ok;
  for (const char* bad : {"", "/abs", "..", "a/../b", "./a", "a/", "a b", "a\\b", "c:x", "a/./b"})
    EXPECT_FALSE(SafeEmbeddedName(bad)) << bad;
}

}  // namespace

namespace {

// Full screen at the desktop's size: the demo carries the recording
// desktop's size, which the reader takes before any other record 0.
TEST(DemoFile, TheDisplaySizeGoesAheadOfTheConfigurationsOwn) {
  const std::string ini = "0,,,0,0\n5,,,0\n13131313,,,\n";
  const fs::path path = fs::temp_directory_path() / ("vxdemo-ini-" + std::to_string(::getpid()) + ".ini");
  { std::ofstream(path) << WithDisplaySize(ini, 1920, 1080); }
  RecordReader r;
  ReadRecord(r, 0, path.string().c_str());
  EXPECT_EQ(r.values[0], 1920);
  EXPECT_EQ(r.values[1], 1080);
  ReadRecord(r, 5, path.string().c_str());
  EXPECT_EQ(r.recordId, 5);
  fs::remove(path);
}

// A full-screen game without any settings file ran on the defaults; its
// demo still carries the desktop's size, or a playback on another desktop
// would scale the mouse differently and go out of step.
TEST(DemoFile, AFullScreenGameWithoutSettingsCarriesTheDesktopSize) {
  const fs::path here = fs::current_path();
  const fs::path empty = fs::temp_directory_path() / ("vxdemo-empty-" + std::to_string(::getpid()));
  fs::create_directories(empty);
  fs::current_path(empty);
  std::vector<std::string> warnings;
  const DemoFile h = DemoHeaderHere("none", {}, 1024, 768, warnings);
  fs::current_path(here);
  fs::remove_all(empty);
  ASSERT_FALSE(h.files.empty());
  EXPECT_EQ(h.files[0].name, "ini/main.ini");
  EXPECT_EQ(h.files[0].bytes, "0,,,1024,768\n");
  EXPECT_NE(std::find(h.settings.begin(), h.settings.end(), std::make_pair(std::string("display"), std::string("1024x768"))),
            h.settings.end());
}

// The data set a demo names is the game's data: the music decoder
// programs are built for each system (Windows' set has its own, the page's
// none), so a demo recorded on Linux plays over either set. Any other line
// still tells the sets apart, and a demo naming the whole manifest file, as
// the first demos did, is still played.
TEST(DemoFile, TheDataSetChecksumLeavesOutTheDecoderProgramsOnly) {
  const fs::path dir = fs::temp_directory_path() / ("vxdemo-manifest-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const auto write = [&](const std::string& name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
    return (dir / name).string();
  };
  const std::string head = "# The files of this game folder as they were written: size, checksum, name.\n";
  const std::string picture = "6922 cd7e8fe1c16567b3 data/arr_d.vx1\n";
  const std::string native = write("native.txt", head + picture + "91032 0123456789abcdef music/dec1.exe\n" +
                                                   "5 1111111111111111 music/track1.vxm\n");
  const std::string windows = write("windows.txt", head + picture + "402113 fedcba9876543210 music/dec1.exe\n" +
                                                       "5 1111111111111111 music/track1.vxm\n");
  const std::string page = write("page.txt", head + picture + "5 1111111111111111 music/track1.vxm\n");
  const std::string crlf = write("crlf.txt", "# The files of this game folder as they were written: size, checksum, "
                                             "name.\r\n6922 cd7e8fe1c16567b3 data/arr_d.vx1\r\n"
                                             "5 1111111111111111 music/track1.vxm");
  const std::string otherPicture = write("other.txt", head + "6922 cd7e8fe1c16567b4 data/arr_d.vx1\n" +
                                                          "5 1111111111111111 music/track1.vxm\n");
  const std::string notADecoder = write("dec.txt", head + picture + "91032 0123456789abcdef music/decx.exe\n" +
                                                       "5 1111111111111111 music/track1.vxm\n");
  const std::string sum = DataSetChecksum(native);
  EXPECT_EQ(sum.size(), 16u);
  EXPECT_EQ(DataSetChecksum(windows), sum);
  EXPECT_EQ(DataSetChecksum(page), sum);
  EXPECT_EQ(DataSetChecksum(crlf), sum);
  EXPECT_NE(DataSetChecksum(otherPicture), sum);
  EXPECT_NE(DataSetChecksum(notADecoder), sum);
  EXPECT_EQ(DataSetChecksum((dir / "missing.txt").string()), "none");
  EXPECT_EQ(DataSetChecksum(""), "none");

  DemoFile demo;
  demo.format = kDemoFormat;
  demo.engine = VX_VERSION_TEXT;
  demo.ended = true;
  demo.data = sum;
  EXPECT_EQ(DemoMismatch(demo, DataSetChecksum(page), ManifestFileChecksum(page)), "");
  demo.data = ManifestFileChecksum(native);
  EXPECT_NE(demo.data, sum);
  EXPECT_EQ(DemoMismatch(demo, DataSetChecksum(native), ManifestFileChecksum(native)), "");
  EXPECT_NE(DemoMismatch(demo, DataSetChecksum(windows), ManifestFileChecksum(windows)).find("data set"),
            std::string::npos);
  fs::remove_all(dir);
}

}  // namespace

#include "shell/command_line.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/headless/input_script.h"

namespace {

using namespace std::string_literals;

bool Parse(std::vector<const char*> args, CommandLine& cl, std::string& error) {
  args.insert(args.begin(), "vxgame");
  return ParseCommandLine(static_cast<int>(args.size()), args.data(), cl, error);
}

TEST(CommandLine, AcceptsEveryOption) {
  CommandLine cl;
  std::string error;
  ASSERT_TRUE(Parse({"--root", "g", "--headless", "--frames", "100", "--input", "in.txt", "--screenshot",
                     "6:a.png", "--screenshot", "9:dir/b:c.png", "--trace", "t.txt"},
                    cl, error))
      << error;
  EXPECT_EQ(cl.root, "g");
  EXPECT_TRUE(cl.headless);
  EXPECT_EQ(cl.frames, 100);
  EXPECT_EQ(cl.inputFile, "in.txt");
  ASSERT_EQ(cl.screenshots.size(), 2u);
  EXPECT_EQ(cl.screenshots[1].frame, 9);
  EXPECT_EQ(cl.screenshots[1].file, "dir/b:c.png");
  EXPECT_EQ(cl.traceFile, "t.txt");
  EXPECT_FALSE(cl.listOverrides);
  ASSERT_TRUE(Parse({"--list-overrides"}, cl, error)) << error;
  EXPECT_TRUE(cl.listOverrides);
}

TEST(CommandLine, LevelTakesAGameLevelNumber) {
  CommandLine cl;
  std::string error;
  ASSERT_TRUE(Parse({"--headless"}, cl, error));
  EXPECT_EQ(cl.level, -1);
  for (const char* good : {"0", "24", "100"}) {
    ASSERT_TRUE(Parse({"--level", good}, cl, error)) << error;
    EXPECT_EQ(cl.level, std::atoi(good));
  }
  for (const char* bad : {"101", "-1", "2x", ""}) {
    EXPECT_FALSE(Parse({"--level", bad}, cl, error)) << bad;
    EXPECT_NE(error.find("--level"), std::string::npos);
  }
}

TEST(CommandLine, RejectsBadOptionsWithAMessage) {
  const std::vector<std::vector<const char*>> bad = {{"--frames"},
                                                     {"--frames", "-1"},
                                                     {"--frames", "12x"},
                                                     {"--frames", "99999999999999999999"},
                                                     {"--screenshot", "6"},
                                                     {"--screenshot", "x:a.png"},
                                                     {"--screenshot", "6:"},
                                                     {"--root", ""},
                                                     {"--bogus"},
                                                     {"extra"}};
  for (const auto& args : bad) {
    CommandLine cl;
    std::string error;
    EXPECT_FALSE(Parse(args, cl, error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
}

TEST(InputScript, ParsesEventsInTickOrder) {
  std::vector<platform::ScriptEvent> ev;
  std::string error;
  ASSERT_TRUE(
      platform::ParseInputScript("# comment\n\n12 keyup space\r\n3 keydown RIGHT\n"
                                 "5 mousemove 400 300\n7 lbuttondown\n7 rbuttonup\n"
                                 "9 activate 0\n40 close\n3 keydown a\n",
                                 ev, error))
      << error;
  ASSERT_EQ(ev.size(), 8u);
  EXPECT_EQ(ev[0].tick, 3);
  EXPECT_EQ(ev[0].message.message, wm::WM_KEYDOWN);
  EXPECT_EQ(ev[0].message.wParam, vk::VK_RIGHT);
  EXPECT_EQ(ev[1].message.wParam, static_cast<uint32_t>('A'));  // same tick keeps file order
  EXPECT_EQ(ev[2].message.lParam, MakeMouseParam(400, 300));
  EXPECT_EQ(ev[3].message.message, wm::WM_LBUTTONDOWN);
  EXPECT_EQ(ev[4].message.message, wm::WM_RBUTTONUP);
  EXPECT_EQ(ev[5].message.message, wm::WM_ACTIVATEAPP);
  EXPECT_EQ(ev[5].message.wParam, 0u);
  EXPECT_EQ(ev[6].message.wParam, vk::VK_SPACE);
  EXPECT_TRUE(ev[7].close);
}

TEST(InputScript, BadLinesNameTheLine) {
  const char* bad[] = {"0 keydown A\n",          "x keydown A\n",         "3\n",
                       "3 keydown NOPE\n",       "3 keydown\n",           "3 mousemove 1\n",
                       "3 mousemove -1 5\n",     "3 mousemove 65536 5\n", "3 mousemove 5 32768\n",
                       "3 mousemove 5 -32769\n", "3 keyup A repeat\n",    "3 keydown A again\n",
                       "3 activate 2\n",         "3 close now\n",         "3 jump\n",
                       "3 lbuttondown 4\n"};
  for (const char* text : bad) {
    std::vector<platform::ScriptEvent> ev;
    std::string error;
    EXPECT_FALSE(platform::ParseInputScript(std::string("1 keydown A\n") + text, ev, error)) << text;
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
  }
  std::vector<platform::ScriptEvent> ev;
  std::string error;
  EXPECT_TRUE(platform::ParseInputScript("1 mousemove 32767 32767\n1 mousemove 0 0\n", ev, error)) << error;
  // The whole range of the message, as a recording writes it, and a
  // key-down of the key's auto-repeat.
  ASSERT_TRUE(platform::ParseInputScript("1 mousemove 65535 -32768\n2 keydown LEFT repeat\n", ev, error))
      << error;
  EXPECT_EQ(ev[0].message.lParam, MakeMouseParam(65535, -32768));
  EXPECT_EQ(ev[1].message.lParam, platform::kKeyRepeat);
}

TEST(InputScript, BadTokensAreQuotedShortAndNulBytesEndNothing) {
  std::vector<platform::ScriptEvent> ev;
  std::string error;
  // A long key name: the message quotes its first 40 characters. A name of
  // 1 MB makes a line past the limit, which is not quoted at all.
  EXPECT_FALSE(platform::ParseInputScript("1 keydown " + std::string(4000, 'X') + "\n", ev, error));
  EXPECT_NE(error.find("'" + std::string(40, 'X') + "...'"), std::string::npos) << error.substr(0, 200);
  EXPECT_EQ(error.find(std::string(41, 'X')), std::string::npos);
  EXPECT_LT(error.size(), 120u);
  EXPECT_FALSE(platform::ParseInputScript("1 keydown " + std::string(1 << 20, 'X') + "\n", ev, error));
  EXPECT_LT(error.size(), 120u);
  EXPECT_FALSE(platform::ParseInputScript(std::string(50, '7') + " keydown A\n", ev, error));
  EXPECT_NE(error.find("'" + std::string(40, '7') + "...'"), std::string::npos) << error;
  // Unprintable bytes are shown as escapes, never sent to the terminal.
  EXPECT_FALSE(platform::ParseInputScript("1 \x1b[2Jkeydown A\n", ev, error));
  EXPECT_NE(error.find("\\x1b[2Jkeydown"), std::string::npos) << error;
  EXPECT_EQ(error.find('\x1b'), std::string::npos);

  // A NUL byte inside a line is refused, wherever it stands, in comments too.
  for (const std::string& text :
       {"1 keydown ENTER\0junk\n"s, "1 keydown ENTER\0\n"s, "# note\0\n"s, "1 close\n2 keydown A \0\n"s}) {
    EXPECT_FALSE(platform::ParseInputScript(text, ev, error)) << text;
    EXPECT_NE(error.find("NUL"), std::string::npos) << error;
  }
  EXPECT_NE(error.find("line 2"), std::string::npos) << error;

  // Lines and scripts have a size limit; up to it they read as before.
  const std::string atLimit = "1 keydown A" + std::string(platform::kMaxScriptLineChars - 11, ' ');
  EXPECT_TRUE(platform::ParseInputScript(atLimit + "\r\n", ev, error)) << error;
  EXPECT_FALSE(platform::ParseInputScript(atLimit + " \n", ev, error));
  EXPECT_NE(error.find("line 1"), std::string::npos) << error;
  EXPECT_FALSE(platform::ParseInputScript("#" + std::string(platform::kMaxScriptLineChars, '#'), ev, error));
  std::string big;
  while (big.size() <= platform::kMaxScriptBytes) big += "1 keydown A\n";
  EXPECT_FALSE(platform::ParseInputScript(big, ev, error));
  EXPECT_NE(error.find("larger than"), std::string::npos) << error;
}

TEST(InputScript, AFileIsReadUpToItsSizeLimit) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("vxtest-script-" + std::to_string(::getpid()))).string();
  std::string text;
  while (text.size() < platform::kMaxScriptBytes) text += std::string(4095, '#') + "\n";
  ASSERT_EQ(text.size(), platform::kMaxScriptBytes);
  std::vector<platform::ScriptEvent> ev;
  std::string error;
  for (const bool over : {false, true}) {
    {
      std::ofstream out(path, std::ios::binary);
      out << text << (over ? "#" : "");
    }
    EXPECT_EQ(platform::ReadInputScript(path.c_str(), ev, error), !over) << error;
  }
  EXPECT_NE(error.find("larger than"), std::string::npos) << error;
  std::filesystem::remove(path);
}

TEST(KeyNames, RoundTrip) {
  for (uint32_t code : {13u, 27u, 32u, 37u, 38u, 39u, 40u, 46u, 65u, 90u, 48u, 112u, 123u, 96u})
    EXPECT_EQ(KeyCodeFromName(KeyNameFromCode(code)), code) << code;
  EXPECT_EQ(KeyCodeFromName("f13"), 0u);
  EXPECT_EQ(KeyCodeFromName(""), 0u);
  EXPECT_EQ(KeyCodeFromName("escape"), vk::VK_ESCAPE);
}

}  // namespace

TEST(CommandLine, DemoOptionsAndTheirConflicts) {
  CommandLine cl;
  std::string error;
  const char* play[] = {"vxgame", "--headless", "--play", "a.dem", "--force"};
  ASSERT_TRUE(ParseCommandLine(5, play, cl, error)) << error;
  EXPECT_EQ(cl.playFile, "a.dem");
  EXPECT_TRUE(cl.force);
  const char* both[] = {"vxgame", "--record", "b.dem", "--play", "a.dem"};
  EXPECT_FALSE(ParseCommandLine(5, both, cl, error));
  EXPECT_EQ(error, "--record and --play cannot be used together");
  const char* input[] = {"vxgame", "--play", "a.dem", "--input", "s.txt"};
  EXPECT_FALSE(ParseCommandLine(5, input, cl, error));
  EXPECT_EQ(error, "--play takes its input from the demo, not from --input");
  const char* bare[] = {"vxgame", "--record"};
  EXPECT_FALSE(ParseCommandLine(2, bare, cl, error));
  EXPECT_EQ(error, "option --record needs a value");
}

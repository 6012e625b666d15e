#include "game/saved_game.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "game/saved_game_support.h"
#include "platform/file_replace.h"

namespace {

namespace fs = std::filesystem;
using vxtest::ReadFile;
using vxtest::WriteFile;

constexpr const char* kZeros = ",0,0,0,0,0,0,0,0,0,0";
constexpr const char* kEndLine = "13131313,not found,not found,0,0,0,0,0,0,0,0,0,0\n";

class SavedGameTest : public vxtest::StartedEngineTest {
 protected:
  void TearDown() override {
    platform::SetReplaceFault(nullptr);
    StartedEngineTest::TearDown();
  }
  // A save, waited for: these tests look at the files it leaves.
  static void Save(GameState& g) {
    SaveGame(g);
    FinishSaving();
  }
  // The text a save of `g` is made of.
  std::string SaveOf(int32_t seed) {
    auto g = std::make_unique<GameState>();
    vxtest::MakeGameInProgress(*g, seed);
    vxtest::ClearSavedWords(game);
    Save(*g);
    const std::string text = ReadFile(kSaveFile);
    fs::remove(kSaveFile);
    fs::remove(kSaveBackupFile);
    return text;
  }
  std::vector<int32_t> Load() {
    vxtest::ClearSavedWords(game);
    game.levelState.hintTimer = 0;
    LoadGame(game);
    EXPECT_EQ(game.levelState.hintTimer, 150);
    return vxtest::SavedWords(game);
  }
};

TEST_F(SavedGameTest, WritesEveryLineOfTheTableByteForByte) {
  vxtest::MakeGameInProgress(game, 0);
  game.player.x = -1313 * 65536;  // off-screen: a minus sign
  game.progress.owned[100] = game.progress.levelCleared[100] = game.progress.resultSeen[1000] =
      77;  // not saved
  Save(game);
  const std::string text = ReadFile(kSaveFile);

  std::vector<std::string> lines;
  size_t p = 0;
  while (p < text.size()) {
    const size_t nl = text.find('\n', p);
    ASSERT_NE(nl, std::string::npos) << "every line ends in a line feed";
    lines.push_back(text.substr(p, nl + 1 - p));
    p = nl + 1;
  }
  ASSERT_EQ(lines.size(), 125u);  // 124 numbered lines and the empty one
  EXPECT_EQ(lines[0], std::string("0,game tz40 save file, ") + kZeros + "\n");
  // owned 0..9: entries divisible by 3 are set.
  EXPECT_EQ(lines[1], "1,weapons h, ,1,0,0,1,0,0,1,0,0,1\n");
  EXPECT_EQ(lines[10], "10,weapons h, ,1,0,0,1,0,0,1,0,0,1\n");
  // resultSeen 0..9: i * 7 % 5 == 0 for i = 0 and 5.
  EXPECT_EQ(lines[11], "11,messages h, ,1,0,0,0,0,1,0,0,0,0\n");
  EXPECT_EQ(lines[110], "110,messages h, ,1,0,0,0,0,1,0,0,0,0\n");
  EXPECT_EQ(lines[111], "111,screen stats h, ,-1,0,0,0,-1,0,0,0,-1,0\n");
  EXPECT_EQ(lines[120], "120,screen stats h, ,0,0,-1,0,0,0,-1,0,0,0\n");
  EXPECT_EQ(lines[121], "121,main vars 1, ,5,-86048768,29889076,42,-3,35,-1,0,-1,-1\n");
  EXPECT_EQ(lines[122], std::string("122,main vars 2, ,-1,0,0,0,0,0,0,0,0,0\n"));
  EXPECT_EQ(lines[123], kEndLine);
  EXPECT_EQ(lines[124], "\n");
  for (int32_t n = 1; n <= 120; ++n) {
    const std::string head = std::to_string(n) + (n <= 10    ? ",weapons h, ,"
                                                  : n <= 110 ? ",messages h, ,"
                                                             : ",screen stats h, ,");
    EXPECT_EQ(lines[n].rfind(head, 0), 0u) << lines[n];
  }
  // The values of the middle lines are the table rows in order.
  std::vector<int32_t> values;
  for (int32_t n = 1; n <= 120; ++n) {
    std::string rest = lines[n].substr(lines[n].find(", ,") + 3);
    for (size_t q = 0; q < rest.size();) {
      const size_t comma = rest.find_first_of(",\n", q);
      values.push_back(std::stoi(rest.substr(q, comma - q)));
      q = comma + 1;
    }
  }
  const std::vector<int32_t> words = vxtest::SavedWords(game);
  EXPECT_EQ(values, std::vector<int32_t>(words.begin(), words.begin() + 1200));
}

TEST_F(SavedGameTest, LoadingGivesBackEveryWordWithThePlayer17PixelsHigher) {
  vxtest::MakeGameInProgress(game, 3);
  game.player.x = -1313 * 65536;
  game.player.y = ToFixed(300) + 5;
  const std::vector<int32_t> expected = vxtest::LoadedWords(game);
  Save(game);
  const std::vector<int32_t> loaded = Load();
  EXPECT_EQ(loaded, expected);
  EXPECT_EQ(game.player.y, ToFixed(283) + 5);
  EXPECT_EQ(game.player.x, -1313 * 65536);
  EXPECT_EQ(game.level, 8);
}

TEST_F(SavedGameTest, AFileOfTheHeaderAndTheEndLineLoadsZerosAtLevelZero) {
  WriteFile(kSaveFile, std::string("0,game tz40 save file, ") + kZeros + "\n" + kEndLine + "\n");
  vxtest::MakeGameInProgress(game, 1);
  game.music.currentTrack = 51;
  game.music.trackCountdown = 30;
  const std::vector<int32_t> loaded = Load();
  std::vector<int32_t> zeros(loaded.size(), 0);
  zeros[1202] = -17 * 65536;  // the lift applies to the zero that was read
  EXPECT_EQ(loaded, zeros);
  EXPECT_EQ(game.music.currentTrack, 0);
  EXPECT_EQ(game.music.trackCountdown, 0);
}

TEST_F(SavedGameTest, ADeadPlayerSavesNothing) {
  vxtest::MakeGameInProgress(game, 2);
  game.player.alive = 0;
  Save(game);
  EXPECT_FALSE(fs::exists(kSaveFile));
  WriteFile(kSaveFile, "earlier");
  Save(game);
  EXPECT_EQ(ReadFile(kSaveFile), "earlier");
  EXPECT_FALSE(fs::exists(kSaveBackupFile));
}

TEST_F(SavedGameTest, SavingKeepsThePreviousWholeSaveAsTheBackup) {
  vxtest::MakeGameInProgress(game, 1);
  Save(game);
  const std::string first = ReadFile(kSaveFile);
  EXPECT_FALSE(fs::exists(kSaveBackupFile));
  vxtest::MakeGameInProgress(game, 2);
  Save(game);
  EXPECT_EQ(ReadFile(kSaveBackupFile), first);
  // A damaged save is not kept: the backup stays the last whole one.
  WriteFile(kSaveFile, first.substr(0, 1000));
  vxtest::MakeGameInProgress(game, 3);
  const std::vector<int32_t> third = vxtest::LoadedWords(game);
  Save(game);
  EXPECT_EQ(ReadFile(kSaveBackupFile), first);
  EXPECT_EQ(Load(), third);
}

// A save cut short is refused, and the backup is loaded; only a file that
// reached its end line is taken, and then whole.
TEST_F(SavedGameTest, ASaveCutShortIsRefusedAndOnlyAWholeOneLoads) {
  auto a = std::make_unique<GameState>(), b = std::make_unique<GameState>();
  vxtest::MakeGameInProgress(*a, 1);
  vxtest::MakeGameInProgress(*b, 2);
  const std::string backup = SaveOf(1);
  const std::string save = SaveOf(2);
  const std::vector<int32_t> fromBackup = vxtest::LoadedWords(*a), fromSave = vxtest::LoadedWords(*b);
  const std::vector<int32_t> fresh = vxtest::NewGameWords();
  const size_t endLine = save.find("13131313");
  int32_t whole = 0;
  // Files are written anew rather than truncated: a truncated file is
  // flushed to the disk on closing, which would make this test slow.
  WriteFile(kSaveBackupFile, backup);
  for (size_t n = 0; n <= save.size(); ++n) {
    // Cuts next to a line break, where a reader could mistake a short file
    // for a whole one, and every thirteenth cut in between.
    const bool nearBreak = save.find('\n', n == 0 ? 0 : n - 1) <= n + 1;
    if (!nearBreak && n % 13 != 0 && n + 40 < endLine) continue;
    SCOPED_TRACE(n);
    fs::remove(kSaveFile);
    fs::remove(kDamagedSaveFile);  // each cut is kept aside anew
    WriteFile(kSaveFile, save.substr(0, n));
    const bool complete = n >= endLine + std::string(kEndLine).size();
    ASSERT_EQ(Load(), complete ? fromSave : fromBackup);
    whole += complete ? 1 : 0;
    // Without a backup a refused save starts a new game.
    if (n % 91 == 0 || complete) {
      fs::rename(kSaveBackupFile, "aside");
      ASSERT_EQ(Load(), complete ? fromSave : fresh);
      fs::rename("aside", kSaveBackupFile);
    }
  }
  EXPECT_EQ(whole, 2);  // with and without the last empty line
}

// The file writer fails at each of its steps in turn; every time, the
// earlier save still loads (or, once the new one is renamed in, that one).
TEST_F(SavedGameTest, AFailedSaveAtAnyStepLosesNothing) {
  vxtest::MakeGameInProgress(game, 1);
  Save(game);
  const std::vector<int32_t> earlier = vxtest::LoadedWords(game);
  int32_t steps = 0;
  platform::SetReplaceFault([&](platform::ReplaceStep) {
    ++steps;
    return false;
  });
  vxtest::MakeGameInProgress(game, 2);
  Save(game);
  ASSERT_GT(steps, 8);
  for (int32_t failing = 0; failing < steps; ++failing) {
    SCOPED_TRACE(failing);
    fs::remove(kSaveFile);
    fs::remove(kSaveBackupFile);
    vxtest::MakeGameInProgress(game, 1);
    platform::SetReplaceFault(nullptr);
    Save(game);
    Save(game);  // now with a whole save to keep as the backup
    vxtest::MakeGameInProgress(game, 2);
    const std::vector<int32_t> later = vxtest::LoadedWords(game);
    int32_t call = 0;
    platform::ReplaceStep failed{};
    platform::SetReplaceFault([&](platform::ReplaceStep s) {
      if (call++ != failing) return false;
      failed = s;
      return true;
    });
    Save(game);
    platform::SetReplaceFault(nullptr);
    EXPECT_EQ(Load(), failed == platform::ReplaceStep::kSyncFolder ? later : earlier);
    // Even with the save itself gone, the backup is the earlier save or
    // nothing at all; never a damaged file.
    fs::remove(kSaveFile);
    if (fs::exists(kSaveBackupFile)) {
      fs::copy_file(kSaveBackupFile, kSaveFile);
      EXPECT_EQ(Load(), earlier);
    }
  }
}

struct BadFile {
  const char* name;
  std::string bytes;
};

// Files a save can never be: each starts a new game, as a missing file does.
TEST_F(SavedGameTest, DamagedFilesStartANewGame) {
  const std::string save = SaveOf(4);
  std::string binary(5000, '\0');
  uint32_t x = 12345;
  for (char& c : binary) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 24);
  }
  std::string levelTooHigh = save, levelNegative = save, levelHuge = save;
  const size_t at = save.find("121,main vars 1, ,") + 18;
  const size_t digits = save.find(',', at) - at;
  levelTooHigh.replace(at, digits, "101");
  levelNegative.replace(at, digits, "-1");
  levelHuge.replace(at, digits, "99999999999999999999");
  const std::vector<BadFile> files = {
      {"empty", ""},
      {"only the header", std::string("0,game tz40 save file, ") + kZeros + "\n"},
      {"binary", binary},
      {"no line feed after the end line", save.substr(0, save.size() - 2)},
      {"level above 100", levelTooHigh},
      {"negative level", levelNegative},
      {"overflowing level", levelHuge},
  };
  const std::vector<int32_t> fresh = vxtest::NewGameWords();
  for (const BadFile& f : files) {
    SCOPED_TRACE(f.name);
    WriteFile(kSaveFile, f.bytes);
    EXPECT_FALSE(SavedGameAvailable());
    EXPECT_EQ(Load(), fresh);
  }
  // A missing file starts a new game even when a backup is there.
  fs::remove(kSaveFile);
  WriteFile(kSaveBackupFile, save);
  EXPECT_FALSE(SavedGameAvailable());
  EXPECT_EQ(Load(), fresh);
}

// Files with their end line keep the reader's rules: whatever is found is
// loaded, a missing line reads as the end line's zeros.
TEST_F(SavedGameTest, FilesWithTheirEndLineLoadAsTheReaderFindsThem) {
  auto g = std::make_unique<GameState>();
  vxtest::MakeGameInProgress(*g, 5);
  const std::string save = SaveOf(5);
  std::vector<int32_t> expected = vxtest::LoadedWords(*g);

  // Only the end line: zeros at level 0.
  WriteFile(kSaveFile, kEndLine);
  std::vector<int32_t> zeros(expected.size(), 0);
  zeros[1202] = -17 * 65536;
  EXPECT_TRUE(SavedGameAvailable());
  EXPECT_EQ(Load(), zeros);

  // Line feeds after carriage returns.
  std::string crlf;
  for (char c : save) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  WriteFile(kSaveFile, crlf);
  EXPECT_EQ(Load(), expected);

  // Numbers beyond 32 bits saturate; a height that far off the screen
  // (the lift wraps it to the bottom end) starts at the new game's height.
  std::string big = save;
  const size_t at = big.find("121,main vars 1, ,") + 18;
  const size_t end = big.find('\n', at);
  big.replace(at, end - at, "7,99999999999,-99999999999,42,-3,35,-1,0,-1,-1");
  WriteFile(kSaveFile, big);
  const std::vector<int32_t> loaded = Load();
  EXPECT_EQ(loaded[1200], 7);
  EXPECT_EQ(loaded[1201], INT32_MAX);
  EXPECT_EQ(loaded[1202], vxtest::NewGameWords()[1202]);

  // The last level of the world is a level like any other.
  std::string last = save;
  const size_t level = last.find("121,main vars 1, ,") + 18;
  last.replace(level, last.find(',', level) - level, "100");
  WriteFile(kSaveFile, last);
  EXPECT_EQ(Load()[1200], 100);

  // A missing line stops the search at the end line; the lines asked for
  // after it find nothing more.
  std::string gap = save;
  const size_t line60 = gap.find("\n60,") + 1;
  gap.erase(line60, gap.find('\n', line60) + 1 - line60);
  WriteFile(kSaveFile, gap);
  const std::vector<int32_t> partial = Load();
  std::vector<int32_t> expectedGap(expected.size(), 0);
  std::copy(expected.begin(), expected.begin() + 590, expectedGap.begin());
  expectedGap[1202] = -17 * 65536;
  EXPECT_EQ(partial, expectedGap);

  // An end line as long as the reader takes whole (line feed included)
  // still ends the file; one character longer, it is an overlong line.
  for (const int32_t length : {kMaxLineChars, kMaxLineChars + 1}) {
    std::string padded = save;
    const size_t endAt = padded.find("13131313");
    const size_t feed = padded.find('\n', endAt);
    padded.insert(feed, static_cast<size_t>(length) - (feed + 1 - endAt), ' ');
    WriteFile(kSaveFile, padded);
    EXPECT_EQ(Load() == expected, length == kMaxLineChars) << length;
  }
}

// The frame that saves does not wait for the disk: the words are taken at
// once and written behind it, saves in the order asked for, and a load
// waits for them.
TEST_F(SavedGameTest, SavesAreWrittenBehindTheFramesInTheOrderAsked) {
  std::atomic<bool> held{true};
  std::atomic<int32_t> steps{0};
  platform::SetReplaceFault([&](platform::ReplaceStep) {
    ++steps;
    while (held) std::this_thread::yield();
    return false;
  });
  vxtest::MakeGameInProgress(game, 1);
  const std::vector<int32_t> first = vxtest::LoadedWords(game);
  SaveGame(game);                       // returns although the writer is held at its first step
  vxtest::MakeGameInProgress(game, 2);  // changed after the save: not what it wrote
  vxtest::MakeGameInProgress(game, 3);
  const std::vector<int32_t> third = vxtest::LoadedWords(game);
  SaveGame(game);
  EXPECT_FALSE(fs::exists(kSaveFile));
  EXPECT_LE(steps.load(), 1);
  held = false;
  EXPECT_EQ(Load(), third);  // the load waited for both
  platform::SetReplaceFault(nullptr);
  // The first save was whole on the disk before the second began: the
  // backup holds it.
  fs::rename(kSaveBackupFile, kSaveFile);
  EXPECT_EQ(Load(), first);
}

TEST_F(SavedGameTest, SixteenMegabytesOfTextWithoutTheEndLineAreRefused) {
  const std::string backup = SaveOf(6);
  std::string chunk;
  for (int i = 0; i < 1000; ++i) chunk += "121,main vars 1, ,3,4,5,6,7,8,9,10,11,12 and some words\n";
  {
    std::ofstream out(kSaveFile, std::ios::binary);
    for (size_t written = 0; written < 16u * 1024 * 1024; written += chunk.size()) out << chunk;
  }
  WriteFile(kSaveBackupFile, backup);
  auto g = std::make_unique<GameState>();
  vxtest::MakeGameInProgress(*g, 6);
  EXPECT_EQ(Load(), vxtest::LoadedWords(*g));  // no end line: the backup
}

}  // namespace

// One picture budget for the whole process, measured: a game folder whose
// every picture declares a large size (a few header bytes each, the rest
// filled in by the reader) is loaded as the game loads it, the read-ahead
// worker making its groups and levels between the frames. The resident
// memory the loading adds stays within the budget plus a stated margin,
// where a budget per context let the worker hold a second budget's worth.
// The run happens in a child process with a small budget, so that its peak
// is its own and the test stays light.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "assets/picture_prefetch.h"
#include "config/log.h"
#include "engine/engine.h"
#include "game/singletons.h"
#include "gfx/gfx_context.h"
#include "gfx/picture_memory.h"
#include "platform/memory_policy.h"
#include "shell/mode_dispatcher.h"
#include "shell/window.h"
#include "support/engine_test.h"
#include "support/sanitizers.h"

namespace {

constexpr int64_t kMiB = int64_t{1} << 20;
// The budget of the run, and what besides the pictures may grow: the
// worker's scratch (its back buffer and the transformed blit's work area,
// 32 MiB), the readers' row buffers and what the allocator keeps of small
// blocks.
constexpr int64_t kBudget = 128 * kMiB;
constexpr int64_t kMargin = 48 * kMiB;
constexpr int32_t kDeclaredSide = 1024;  // 4 MiB of pixels a picture

// A line of /proc/self/status in bytes ("VmRSS", "VmHWM"), or -1.
int64_t StatusBytes(const std::string& field) {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(field + ":", 0) != 0) continue;
    std::istringstream words(line.substr(field.size() + 1));
    int64_t kib = -1;
    words >> kib;
    return kib * 1024;
  }
  return -1;
}

// AddressSanitizer keeps freed blocks in quarantine, resident, so the
// resident size says nothing of the budget there.
constexpr bool kResidentSizeMeaningful = !vxtest::kUnderAddressSanitizer;

class PictureMemoryPeak : public vxtest::EngineTest {
 protected:
  // The pictures the loading reads, by a run with the log on over an
  // empty folder: every ".vx1" name in its "trying read" lines.
  std::set<std::string> NamesTheLoadingReads() {
    vxtest::WriteFile("ini/main.ini", "5,,,1\n6,,,1\n");
    StartUp();
    for (int32_t tick = 0; tick < 20; ++tick) WindowProc(wm::WM_TIMER, 0, 0);
    ResetAllState();
    std::set<std::string> names;
    std::istringstream log(vxtest::ReadFile(kLogFileName));
    const std::string marker = "trying read: ";
    for (std::string line; std::getline(log, line);) {
      const size_t at = line.find(marker);
      if (at != std::string::npos && line.size() > 4 && line.compare(line.size() - 4, 4, ".vx1") == 0)
        names.insert(line.substr(at + marker.size()));
    }
    std::filesystem::remove(kLogFileName);
    return names;
  }
};

TEST_F(PictureMemoryPeak, AFolderOfHugePicturesStaysWithinOneBudget) {
  if (!kResidentSizeMeaningful) GTEST_SKIP() << "resident size under AddressSanitizer";
  const std::set<std::string> names = NamesTheLoadingReads();
  ASSERT_GT(names.size(), 100u) << "the menu, fog, creature and level pictures";
  const std::string header{static_cast<char>(kDeclaredSide & 0xff), static_cast<char>(kDeclaredSide >> 8),
                           static_cast<char>(kDeclaredSide & 0xff), static_cast<char>(kDeclaredSide >> 8)};
  for (const std::string& name : names) vxtest::WriteFile(name, header + std::string(6, '\0'));

  int result[2];
  ASSERT_EQ(pipe(result), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(result[0]);
    platform::GiveLargeBlocksBack();  // as the game does first
    ProcessPictureMemory().SetLimit(kBudget);
    engine.gfx.pictureBudget = kBudget;
    StartWindowed();
    // From here on, what the loading adds.
    if (std::FILE* clear = std::fopen("/proc/self/clear_refs", "w")) {
      std::fputs("5", clear);  // the peak starts again from now
      std::fclose(clear);
    }
    const int64_t before = StatusBytes("VmRSS");
    // Between the frames the worker has time to make all it was asked.
    for (int32_t tick = 0; tick < 20; ++tick) {
      WindowProc(wm::WM_TIMER, 0, 0);
      engine.picturePrefetch.WaitIdle();
    }
    const int64_t peak = StatusBytes("VmHWM");
    FinishBackgroundWork();
    const std::string line = std::to_string(peak - before) + " " + std::to_string(engine.gfx.pictureBytes) +
                             " " + std::to_string(ProcessPictureMemory().Taken()) + " " +
                             std::to_string(dispatcher.gameMode) + "\n";
    (void)!write(result[1], line.data(), line.size());
    _exit(0);
  }
  close(result[1]);
  std::string text;
  char buffer[256];
  for (ssize_t n; (n = read(result[0], buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<size_t>(n));
  close(result[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  std::istringstream words(text);
  int64_t growth = -1, held = -1, taken = -1, mode = -1;
  ASSERT_TRUE(words >> growth >> held >> taken >> mode) << text;
  RecordProperty("peak_growth_mib", std::to_string(growth / kMiB));
  std::printf(
      "loading a folder of %zu pictures of %d x %d: resident memory grew by %lld MiB (budget %lld MiB)\n",
      names.size(), kDeclaredSide, kDeclaredSide, static_cast<long long>(growth / kMiB),
      static_cast<long long>(kBudget / kMiB));
  EXPECT_NE(mode, static_cast<int64_t>(kModeLoading)) << "the loading came to its end";
  EXPECT_GT(held, kBudget * 3 / 4) << "the pictures filled the budget";
  EXPECT_EQ(taken, held) << "all that is held, the frame's";
  EXPECT_LE(growth, kBudget + kMargin);
}

}  // namespace

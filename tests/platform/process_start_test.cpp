// Starting a program, directly and through a wrapper (an emulator, in a
// build for another processor): what the started program gets, and that a
// program that cannot run is refused either way.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "support/engine_test.h"

namespace {

namespace fs = std::filesystem;
using vxtest::ReadFile;
using vxtest::WriteFile;

// Keeps an environment variable as it was around a test.
class SavedVariable {
 public:
  explicit SavedVariable(const char* name) : name_(name) {
    if (const char* v = std::getenv(name)) value_ = v;
  }
  ~SavedVariable() {
    if (value_) {
      setenv(name_, value_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> value_;
};

class ProcessStart : public vxtest::EngineTest {
 protected:
  // A shell script that writes the arguments it got, one a line, into
  // `log` (whole, by a rename, so a reader never sees half of it).
  static void WriteRecorder(const std::string& path, const std::string& log) {
    WriteFile(path,
              "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + log + ".tmp'\nmv '" + log + ".tmp' '" + log + "'\n");
    chmod(path.c_str(), 0755);
  }
  // What the started program wrote, once it has (empty after 20 s).
  static std::string Await(const std::string& log) {
    for (int i = 0; i < 2000 && !fs::exists(log); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return fs::exists(log) ? ReadFile(log) : "";
  }
  static std::string Here() { return fs::current_path().string(); }

  SavedVariable wrapper_{"VX_EXEC_WRAPPER"};
  SavedVariable path_{"PATH"};
};

TEST_F(ProcessStart, TheWrapperIsTheVariablesWordsSplitAtBlanks) {
  unsetenv("VX_EXEC_WRAPPER");
  EXPECT_TRUE(platform::ExecWrapper().empty());
  setenv("VX_EXEC_WRAPPER", "", 1);
  EXPECT_TRUE(platform::ExecWrapper().empty());
  setenv("VX_EXEC_WRAPPER", " \t ", 1);
  EXPECT_TRUE(platform::ExecWrapper().empty());
  setenv("VX_EXEC_WRAPPER", "qemu-aarch64-static -L  /usr/aarch64-linux-gnu\t", 1);
  EXPECT_EQ(platform::ExecWrapper(),
            (std::vector<std::string>{"qemu-aarch64-static", "-L", "/usr/aarch64-linux-gnu"}));
  setenv("VX_EXEC_WRAPPER", "wrap", 1);
  EXPECT_EQ(platform::ExecWrapper(), std::vector<std::string>{"wrap"});
}

TEST_F(ProcessStart, WithoutAWrapperTheProgramGetsItsOwnPathAndTheArguments) {
  unsetenv("VX_EXEC_WRAPPER");
  WriteRecorder("music/dec1.exe", Here() + "/got");
  ASSERT_TRUE(platform::Current().StartProcess("./music/dec1.exe", {"--in", "a b", "--out", "./music"}));
  EXPECT_EQ(Await(Here() + "/got"), "--in\na b\n--out\n./music\n");
}

TEST_F(ProcessStart, AWrapperGetsItsOwnWordsThenTheProgramAndItsArguments) {
  WriteRecorder("wrap.sh", Here() + "/got");
  WriteFile("music/dec2.exe", "not run by the recorder\n");
  chmod("music/dec2.exe", 0755);
  setenv("VX_EXEC_WRAPPER", (Here() + "/wrap.sh -L /usr/target").c_str(), 1);
  ASSERT_TRUE(platform::Current().StartProcess("./music/dec2.exe", {"--in", "x y"}));
  EXPECT_EQ(Await(Here() + "/got"), "-L\n/usr/target\n./music/dec2.exe\n--in\nx y\n");
}

TEST_F(ProcessStart, AWrapperNamedWithoutAFolderIsLookedUpInPath) {
  fs::create_directories("bin");
  WriteRecorder("bin/vx-test-wrap", Here() + "/got");
  WriteFile("prog", "");
  chmod("prog", 0755);
  const char* path = std::getenv("PATH");
  setenv("PATH", (Here() + "/bin:" + (path != nullptr ? path : "/usr/bin:/bin")).c_str(), 1);
  setenv("VX_EXEC_WRAPPER", "vx-test-wrap", 1);
  ASSERT_TRUE(platform::Current().StartProcess("./prog", {}));
  EXPECT_EQ(Await(Here() + "/got"), "./prog\n");
}

TEST_F(ProcessStart, AProgramThatCannotRunIsRefusedWithOrWithoutAWrapper) {
  WriteRecorder("wrap.sh", Here() + "/got");
  WriteFile("plain.txt", "not a program\n");
  chmod("plain.txt", 0644);
  fs::create_directories("folder");
  chmod("folder", 0755);
  for (const bool wrapped : {false, true}) {
    SCOPED_TRACE(wrapped ? "through the wrapper" : "directly");
    if (wrapped) {
      setenv("VX_EXEC_WRAPPER", (Here() + "/wrap.sh").c_str(), 1);
    } else {
      unsetenv("VX_EXEC_WRAPPER");
    }
    EXPECT_FALSE(platform::Current().StartProcess("./missing.exe", {}));
    EXPECT_FALSE(platform::Current().StartProcess("./plain.txt", {}));
    EXPECT_FALSE(platform::Current().StartProcess("./folder", {}));
  }
  EXPECT_FALSE(fs::exists("got")) << "the wrapper ran for a program that cannot run";
}

TEST_F(ProcessStart, AMissingWrapperFailsTheStart) {
  WriteFile("prog", "");
  chmod("prog", 0755);
  setenv("VX_EXEC_WRAPPER", (Here() + "/no-such-wrapper -x").c_str(), 1);
  EXPECT_FALSE(platform::Current().StartProcess("./prog", {}));
}

}  // namespace

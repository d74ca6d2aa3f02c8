// Runs the real executable, copied into a scratch directory that becomes its
// program directory.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string output;  // standard output and standard error together
};

class Executable : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = fs::temp_directory_path().string() + "/tessellon-app-XXXXXX";
    dir_ = mkdtemp(pattern.data());
    fs::copy_file(fs::path(TESSELLON_BINARY_DIR) / "tessellon", dir_ / "tessellon");
  }
  void TearDown() override { fs::remove_all(dir_); }

  Outcome Start(const std::string& args) {
    std::string command = "cd '" + dir_.string() + "' && ./tessellon " + args + " 2>&1";
    Outcome run{-1, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 512> buffer;
    while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) run.output.append(buffer.data(), n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }

  fs::path dir_;
};

TEST_F(Executable, StartsAndEndsCleanlyWithoutWindows) {
  Outcome run = Start("--platform offscreen");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output, "");
  // Nothing is written before a drop.
  EXPECT_FALSE(fs::exists(dir_ / "emp.jpg"));
  EXPECT_FALSE(fs::exists(dir_ / "细节.jpg"));
}

TEST_F(Executable, HelpPrintsTheUsage) {
  Outcome run = Start("--help");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.output.find("usage: tessellon"), std::string::npos);
}

TEST_F(Executable, ACommandLineItCannotRunExitsTwoWithAReason) {
  for (const char* args : {"--bogus", "--drop 1x2 a.jpg", "--drop 1,2", "--platform nowhere", "stray"}) {
    Outcome run = Start(args);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_NE(run.output.find("tessellon: "), std::string::npos) << args;
  }
  Outcome run = Start("");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(system(("cd '" + dir_.string() + "' && TESSELLON_PLATFORM=wayland ./tessellon 2>/dev/null").c_str()) >> 8, 2);
}

}  // namespace

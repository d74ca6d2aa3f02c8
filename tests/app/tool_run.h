// Runs the real executable, copied into a scratch directory that becomes its
// program directory.
#pragma once

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

namespace tool_test {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string output;  // standard output and standard error together
};

class ToolRun : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = fs::temp_directory_path().string() + "/tessellon-app-XXXXXX";
    dir_ = mkdtemp(pattern.data());
    fs::copy_file(fs::path(TESSELLON_BINARY_DIR) / "tessellon", dir_ / "tessellon");
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }

  // `prefix` goes before the command (environment, a user switch).
  Outcome Start(const std::string& args, const fs::path& where = {}, const std::string& prefix = {}) {
    std::string command =
        "cd '" + (where.empty() ? dir_ : where).string() + "' && " + prefix + " ./tessellon " + args + " 2>&1";
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

}  // namespace tool_test

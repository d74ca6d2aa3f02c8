// The display goes away under the running tool (a logout, a dropped remote
// session): the tool says so on standard error and ends with its own status
// for it, not a signal, without touching the dead connection again.
// gtest before Xlib: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>

#include "find_window.h"
#include "xvfb_server.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(LostDisplay, EndsWithItsOwnStatusAndAWord) {
  SKIP_WITHOUT_XVFB();
  // A server of its own, to take away while the tool runs on it.
  auto server = std::make_unique<x11_test::XvfbServer>();
  ASSERT_TRUE(server->Running());
  std::string pattern = fs::temp_directory_path().string() + "/tessellon-lost-XXXXXX";
  const fs::path dir = mkdtemp(pattern.data());
  fs::copy_file(fs::path(TESSELLON_BINARY_DIR) / "tessellon", dir / "tessellon");
  const fs::path errors = dir / "stderr.txt";

  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(126);
    setenv("DISPLAY", server->Display().c_str(), 1);
    const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err >= 0) dup2(err, STDERR_FILENO);
    execl("./tessellon", "tessellon", "--platform", "x11", static_cast<char*>(nullptr));
    _exit(127);
  }
  {
    Display* probe = XOpenDisplay(server->Display().c_str());
    ASSERT_NE(probe, nullptr);
    Window window = 0;
    for (auto until = std::chrono::steady_clock::now() + 10s; !window && std::chrono::steady_clock::now() < until;) {
      std::this_thread::sleep_for(50ms);
      window = x11_test::FindWindowByTitle(probe, "Tessellon");
    }
    XCloseDisplay(probe);
    ASSERT_NE(window, 0u) << "the tool's window never showed";
  }
  server.reset();  // the display goes away

  int status = -1;
  bool ended = false;
  for (auto until = std::chrono::steady_clock::now() + 10s; !ended && std::chrono::steady_clock::now() < until;) {
    ended = waitpid(pid, &status, WNOHANG) == pid;
    if (!ended) std::this_thread::sleep_for(20ms);
  }
  if (!ended) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  ASSERT_TRUE(ended) << "the tool went on without its display";
  EXPECT_FALSE(WIFSIGNALED(status)) << "signal " << WTERMSIG(status);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);
  std::ifstream in(errors);
  const std::string said((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(said.find("lost the connection to the X display"), std::string::npos) << said;
  fs::remove_all(dir);
}

}  // namespace

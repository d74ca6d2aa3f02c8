// The tool itself on the X server: its real window shows what the offscreen
// rendering shows, sits idle without using the processor, and ends through
// its close box.
// gtest before Xlib: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <png.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "x11_probe.h"
#include "xvfb_server.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct Rgb {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB
};

Rgb ReadPng(const fs::path& path) {
  Rgb out;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return out;
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return out;
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  for (size_t i = 0; i + 2 < rgb.size(); i += 3)
    out.pixels.push_back((uint32_t{rgb[i]} << 16) | (uint32_t{rgb[i + 1]} << 8) | rgb[i + 2]);
  return out;
}

// User and system time of a process, in clock ticks.
long CpuTicks(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  // Fields after the command's closing parenthesis: state is field 3, utime 14, stime 15.
  std::istringstream rest(line.substr(line.rfind(')') + 2));
  std::string field;
  long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && rest >> field; ++i) {
    if (i == 14) utime = std::stol(field);
    if (i == 15) stime = std::stol(field);
  }
  return utime + stime;
}

class RealWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_XVFB();
    std::string pattern = fs::temp_directory_path().string() + "/tessellon-x11-XXXXXX";
    dir_ = mkdtemp(pattern.data());
    fs::copy_file(fs::path(TESSELLON_BINARY_DIR) / "tessellon", dir_ / "tessellon");
  }
  void TearDown() override {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  fs::path dir_;
  pid_t pid_ = -1;
};

TEST_F(RealWindow, ShowsTheOffscreenRenderingIdlesAndEndsByItsCloseBox) {
  const std::string offscreen = "cd '" + dir_.string() + "' && ./tessellon --platform offscreen --screenshot shot.png";
  ASSERT_EQ(std::system(offscreen.c_str()), 0);
  const Rgb expected = ReadPng(dir_ / "shot.png");
  ASSERT_EQ(expected.width, 495);

  pid_ = fork();
  if (pid_ == 0) {
    if (chdir(dir_.c_str()) != 0) _exit(126);
    execl("./tessellon", "tessellon", "--platform", "x11", static_cast<char*>(nullptr));
    _exit(127);
  }
  auto probe = x11_test::OpenProbe();
  ASSERT_TRUE(probe);
  Window window = 0;
  std::vector<uint32_t> shown;
  for (auto until = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < until;) {
    std::this_thread::sleep_for(50ms);
    if (!window) window = x11_test::FindWindowByTitle(probe.get(), "Tessellon");
    if (window) shown = x11_test::ReadWindowPixels(probe.get(), window, expected.width, expected.height);
    if (shown == expected.pixels) break;
  }
  ASSERT_NE(window, 0u);
  EXPECT_TRUE(shown == expected.pixels) << "the server's pixels differ from the offscreen screenshot";
  // Centred on the screen, as the program placed it.
  XWindowAttributes a{};
  XGetWindowAttributes(probe.get(), window, &a);
  EXPECT_NEAR(a.x + a.width / 2, x11_test::XvfbServer::kWidth / 2, 4);

  // Idle, it sleeps on the connection: a busy loop would take ~200 ticks.
  const long before = CpuTicks(pid_);
  std::this_thread::sleep_for(2s);
  EXPECT_LE(CpuTicks(pid_) - before, 5);

  XEvent close{};
  close.xclient.type = ClientMessage;
  close.xclient.window = window;
  close.xclient.message_type = XInternAtom(probe.get(), "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = static_cast<long>(XInternAtom(probe.get(), "WM_DELETE_WINDOW", False));
  XSendEvent(probe.get(), window, False, NoEventMask, &close);
  XFlush(probe.get());
  int status = -1;
  for (auto until = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < until;) {
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      break;
    }
    std::this_thread::sleep_for(20ms);
  }
  ASSERT_EQ(pid_, -1) << "the close box did not end the program";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace

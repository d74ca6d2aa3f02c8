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
#include "xdnd_drag_source.h"
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

  // Starts the tool on the test server and finds its window.
  void Launch() {
    pid_ = fork();
    if (pid_ == 0) {
      if (chdir(dir_.c_str()) != 0) _exit(126);
      execl("./tessellon", "tessellon", "--platform", "x11", static_cast<char*>(nullptr));
      _exit(127);
    }
    probe_ = x11_test::OpenProbe();
    ASSERT_TRUE(probe_);
    for (auto until = std::chrono::steady_clock::now() + 10s; !window_ && std::chrono::steady_clock::now() < until;) {
      std::this_thread::sleep_for(50ms);
      window_ = x11_test::FindWindowByTitle(probe_.get(), "Tessellon");
    }
    ASSERT_NE(window_, 0u);
  }

  // Clicks the close box; true when the program then ended with status 0.
  bool CloseAndWait() {
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window_;
    close.xclient.message_type = XInternAtom(probe_.get(), "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(probe_.get(), "WM_DELETE_WINDOW", False));
    XSendEvent(probe_.get(), window_, False, NoEventMask, &close);
    XFlush(probe_.get());
    int status = -1;
    for (auto until = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < until;) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
      }
      std::this_thread::sleep_for(20ms);
    }
    return false;
  }

  // Root coordinates of a client point of the tool's window.
  std::pair<int, int> OnScreen(int x, int y) {
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(probe_.get(), window_, DefaultRootWindow(probe_.get()), x, y, &rootX, &rootY, &child);
    return {rootX, rootY};
  }

  fs::path dir_;
  pid_t pid_ = -1;
  x11_test::DisplayPtr probe_;
  Window window_ = 0;
};

TEST_F(RealWindow, ShowsTheOffscreenRenderingIdlesAndEndsByItsCloseBox) {
  const std::string offscreen = "cd '" + dir_.string() + "' && ./tessellon --platform offscreen --screenshot shot.png";
  ASSERT_EQ(std::system(offscreen.c_str()), 0);
  const Rgb expected = ReadPng(dir_ / "shot.png");
  ASSERT_EQ(expected.width, 495);

  ASSERT_NO_FATAL_FAILURE(Launch());
  std::vector<uint32_t> shown;
  for (auto until = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < until;) {
    shown = x11_test::ReadWindowPixels(probe_.get(), window_, expected.width, expected.height);
    if (shown == expected.pixels) break;
    std::this_thread::sleep_for(50ms);
  }
  EXPECT_TRUE(shown == expected.pixels) << "the server's pixels differ from the offscreen screenshot";
  // Centred on the screen, as the program placed it.
  XWindowAttributes a{};
  XGetWindowAttributes(probe_.get(), window_, &a);
  EXPECT_NEAR(a.x + a.width / 2, x11_test::XvfbServer::kWidth / 2, 4);

  // Idle, it sleeps on the connection: a busy loop would take ~200 ticks.
  const long before = CpuTicks(pid_);
  std::this_thread::sleep_for(2s);
  EXPECT_LE(CpuTicks(pid_) - before, 5);
  EXPECT_TRUE(CloseAndWait()) << "the close box did not end the program";
}

// A file manager's drags onto the boxes of the running tool.
TEST_F(RealWindow, DropsFromAFileManagerReachTheBoxesOnly) {
  ASSERT_NO_FATAL_FAILURE(Launch());
  const fs::path samples = fs::path(TESSELLON_SOURCE_DIR) / "assets" / "samples";
  auto uri = [&](const char* name) { return "file://" + (samples / name).string() + "\r\n"; };
  const fs::path detail = dir_ / "\xE7\xBB\x86\xE8\x8A\x82.jpg";  // 细节.jpg
  auto drag = [&](int x, int y, const std::string& data) {
    const auto [rootX, rootY] = OnScreen(x, y);
    x11_test::Drag d{
        {"text/uri-list", "UTF8_STRING", "text/plain", "x-special/gnome-copied-files"}, data, rootX, rootY};
    return x11_test::RunDrag(x11_test::Server()->Display(), window_, d, [&] { return fs::exists(detail); });
  };
  // The JPEG is written before XdndFinished goes back: the file manager
  // waits for the whole drop, as the tool's handler runs inside it.
  const auto one = drag(115, 163, uri("sample1.jpg"));
  EXPECT_TRUE(one.accepted);
  EXPECT_TRUE(one.finishedAccepted);
  EXPECT_TRUE(one.handledBeforeFinished) << "XdndFinished came before the detail picture was written";
  const auto two = drag(363, 163, uri("sample2.jpg") + uri("sample3.jpg"));
  EXPECT_TRUE(two.finishedAccepted);
  const auto outside = drag(250, 20, uri("sample1.jpg"));
  EXPECT_TRUE(outside.statusSeen);
  EXPECT_FALSE(outside.accepted);
  EXPECT_TRUE(outside.finished && !outside.finishedAccepted);
  EXPECT_TRUE(CloseAndWait());
}

}  // namespace

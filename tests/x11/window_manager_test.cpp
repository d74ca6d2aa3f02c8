// The tool under a real reparenting window manager on a server of its own:
// where its frame lands, what the manager is told about the window, and an
// animated GIF playing at its own pace. Skipped without Xvfb or openbox.
// gtest before Xlib: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/backends/x11/x11_message_box.h"
#include "platform/backends/x11/x11_window_hints.h"
#include "platform/windows/window.h"
#include "tests/support/cycling_gif.h"
#include "x11_probe.h"
#include "xdnd_drag_source.h"
#include "xvfb_server.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::x11::MotifHints;

// The frame a window of each style asks the manager for.
TEST(WindowManagerHints, MotifHintsFollowTheFrameAndItsBoxes) {
  using namespace platform;
  using namespace platform::x11;
  constexpr long kBoth = kMotifFunctions | kMotifDecorations;
  struct Case {
    const char* what;
    DWORD style, exStyle;
    long functions, decorations;
  };
  const Case cases[] = {
      {"fixed frame, control box only (the tool's window)", WS_CAPTION | WS_SYSMENU, 0,
       kMotifFuncMove | kMotifFuncClose, kMotifDecorBorder | kMotifDecorTitle | kMotifDecorMenu},
      {"sizeable with both boxes", WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0,
       kMotifFuncMove | kMotifFuncClose | kMotifFuncResize | kMotifFuncMinimize | kMotifFuncMaximize,
       kMotifDecorBorder | kMotifDecorTitle | kMotifDecorMenu | kMotifDecorResizeHandle | kMotifDecorMinimize |
           kMotifDecorMaximize},
      {"caption without control box: boxes asked for are not shown", WS_CAPTION | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0,
       kMotifFuncMove, kMotifDecorBorder | kMotifDecorTitle},
      {"no border at all", WS_POPUP, 0, kMotifFuncMove, 0},
      {"a thin border, no caption", WS_POPUP | WS_BORDER, 0, kMotifFuncMove, kMotifDecorBorder},
      {"a sizeable frame without caption", WS_POPUP | WS_THICKFRAME, 0, kMotifFuncMove | kMotifFuncResize,
       kMotifDecorBorder | kMotifDecorResizeHandle},
      {"a dialog frame by extended style", WS_POPUP, WS_EX_DLGMODALFRAME, kMotifFuncMove, kMotifDecorBorder},
  };
  for (const Case& c : cases) {
    const MotifHints hints = MotifHintsFor(c.style, c.exStyle);
    EXPECT_EQ(hints[0], kBoth) << c.what;
    EXPECT_EQ(hints[1], c.functions) << c.what;
    EXPECT_EQ(hints[2], c.decorations) << c.what;
  }
}

// The 32-bit items of a property; empty when absent.
std::vector<long> Longs(Display* display, Window window, const char* name, Atom type) {
  Atom actual;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::vector<long> out;
  if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1 << 20, False, type, &actual, &format,
                         &count, &after, &data) == Success &&
      data && format == 32) {
    const auto* items = reinterpret_cast<const long*>(data);
    out.assign(items, items + count);
  }
  if (data) XFree(data);
  return out;
}

// The child of the root that holds `window`: the manager's frame.
Window FrameOf(Display* display, Window window) {
  for (;;) {
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
    if (children) XFree(children);
    if (parent == root) return window;
    window = parent;
  }
}

bool HaveOpenbox() { return std::system("command -v openbox >/dev/null 2>&1") == 0; }

class UnderWindowManager : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!HaveOpenbox()) return;
    server_ = new x11_test::XvfbServer();
    if (!server_->Running()) return;
    manager_ = fork();
    if (manager_ == 0) {
      const int quiet = open("/dev/null", O_WRONLY);
      if (quiet >= 0) dup2(quiet, STDERR_FILENO), dup2(quiet, STDOUT_FILENO);
      setenv("DISPLAY", server_->Display().c_str(), 1);
      execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
      _exit(127);
    }
    // Ready once it has announced itself on the root window.
    Display* probe = XOpenDisplay(server_->Display().c_str());
    for (auto until = std::chrono::steady_clock::now() + 10s; probe && std::chrono::steady_clock::now() < until;) {
      if (!Longs(probe, DefaultRootWindow(probe), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).empty()) {
        ready_ = true;
        break;
      }
      std::this_thread::sleep_for(20ms);
    }
    if (probe) XCloseDisplay(probe);
  }
  static void TearDownTestSuite() {
    if (manager_ > 0) {
      kill(manager_, SIGTERM);
      waitpid(manager_, nullptr, 0);
    }
    delete server_;
    server_ = nullptr;
  }

  void SetUp() override {
    SKIP_WITHOUT_XVFB();
    if (!HaveOpenbox()) GTEST_SKIP() << "openbox is not installed";
    if (!ready_) GTEST_SKIP() << "openbox did not start";
    std::string pattern = fs::temp_directory_path().string() + "/tessellon-wm-XXXXXX";
    dir_ = mkdtemp(pattern.data());
    fs::copy_file(fs::path(TESSELLON_BINARY_DIR) / "tessellon", dir_ / "tessellon");
    probe_.reset(XOpenDisplay(server_->Display().c_str()));
    ASSERT_TRUE(probe_);
  }
  void TearDown() override {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    probe_.reset();
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  // Starts the tool and waits until the manager has framed and mapped it.
  void Launch() {
    const auto started = std::chrono::steady_clock::now();
    pid_ = fork();
    if (pid_ == 0) {
      if (chdir(dir_.c_str()) != 0) _exit(126);
      setenv("DISPLAY", server_->Display().c_str(), 1);
      execl("./tessellon", "tessellon", "--platform", "x11", static_cast<char*>(nullptr));
      _exit(127);
    }
    for (auto until = started + 10s; std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(20ms)) {
      window_ = x11_test::FindWindowByTitle(probe_.get(), "Tessellon");
      if (!window_) continue;
      XWindowAttributes a{};
      if (XGetWindowAttributes(probe_.get(), window_, &a) && a.map_state == IsViewable &&
          FrameOf(probe_.get(), window_) != window_)
        break;
    }
    ASSERT_NE(window_, 0u);
    // The first paint: the background photograph, not black.
    for (auto until = started + 10s; std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(5ms))
      if (Pixel(250, 20) != 0) break;
    firstPaint_ = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
  }

  // One pixel of the client area as the server shows it, 0x00RRGGBB.
  uint32_t Pixel(int x, int y) {
    XImage* image = XGetImage(probe_.get(), window_, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return 0;
    const auto pixel = static_cast<uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFFu;
    XDestroyImage(image);
    return pixel;
  }

  // The frame's rectangle on the root, once it has stopped moving.
  platform::RECT SettledFrame() {
    platform::RECT last{};
    for (int still = 0, round = 0; still < 5 && round < 200; ++round) {
      std::this_thread::sleep_for(20ms);
      const Window frame = FrameOf(probe_.get(), window_);
      XWindowAttributes a{};
      XGetWindowAttributes(probe_.get(), frame, &a);
      const platform::RECT now{a.x, a.y, a.x + a.width + 2 * a.border_width, a.y + a.height + 2 * a.border_width};
      still = now == last ? still + 1 : 0;
      last = now;
    }
    return last;
  }

  static inline x11_test::XvfbServer* server_ = nullptr;
  static inline pid_t manager_ = -1;
  static inline bool ready_ = false;
  fs::path dir_;
  pid_t pid_ = -1;
  x11_test::DisplayPtr probe_;
  Window window_ = 0;
  std::chrono::milliseconds firstPaint_{0};
};

TEST_F(UnderWindowManager, TheFrameIsCentredAndTheManagerKnowsTheWindow) {
  ASSERT_NO_FATAL_FAILURE(Launch());
  Display* d = probe_.get();
  std::cout << "[ measure  ] first paint " << firstPaint_.count() << " ms after start\n";
  ASSERT_EQ(Longs(d, window_, "_NET_FRAME_EXTENTS", XA_CARDINAL).size(), 4u) << "the manager framed no window";
  const platform::RECT frame = SettledFrame();
  EXPECT_NEAR((frame.left + frame.right) / 2.0, x11_test::XvfbServer::kWidth / 2.0, 2.0);
  EXPECT_NEAR((frame.top + frame.bottom) / 2.0, x11_test::XvfbServer::kHeight / 2.0, 2.0);

  EXPECT_EQ(Longs(d, window_, "_NET_WM_PID", XA_CARDINAL), std::vector<long>{pid_});
  XTextProperty machine{};
  ASSERT_TRUE(XGetWMClientMachine(d, window_, &machine));
  char host[HOST_NAME_MAX + 1] = {};
  gethostname(host, sizeof host - 1);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(machine.value), machine.nitems), host);
  XFree(machine.value);
  XWMHints* wm = XGetWMHints(d, window_);
  ASSERT_NE(wm, nullptr) << "no WM_HINTS: a strict manager gives the window no keyboard";
  EXPECT_TRUE((wm->flags & InputHint) && wm->input);
  XFree(wm);

  // A fixed frame with a caption and a close box; no sizing, no minimise or maximise box.
  using namespace platform::x11;
  const Atom motif = XInternAtom(d, "_MOTIF_WM_HINTS", False);
  const std::vector<long> hints = Longs(d, window_, "_MOTIF_WM_HINTS", motif);
  ASSERT_EQ(hints.size(), 5u);
  EXPECT_EQ(hints[1], kMotifFuncMove | kMotifFuncClose);
  EXPECT_EQ(hints[2], kMotifDecorBorder | kMotifDecorTitle | kMotifDecorMenu);
  const std::vector<long> actions = Longs(d, window_, "_NET_WM_ALLOWED_ACTIONS", XA_ATOM);
  for (const char* refused : {"_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_RESIZE"})
    EXPECT_EQ(std::count(actions.begin(), actions.end(), static_cast<long>(XInternAtom(d, refused, False))), 0)
        << refused;

  // The program's icon: images of width x height ARGB pixels, one after another.
  const std::vector<long> icon = Longs(d, window_, "_NET_WM_ICON", XA_CARDINAL);
  size_t images = 0, at = 0;
  while (at + 2 <= icon.size() && icon[at] > 0 && icon[at + 1] > 0) {
    at += 2 + static_cast<size_t>(icon[at] * icon[at + 1]);
    ++images;
  }
  EXPECT_GE(images, 1u);
  EXPECT_EQ(at, icon.size()) << "the icon's images do not fill the property exactly";
}

// An error's box under the manager: framed, and the frame centred on the
// owner's client area rather than left where the manager puts new windows.
TEST_F(UnderWindowManager, TheMessageBoxFrameIsCentredOnItsOwner) {
  Display* d = probe_.get();
  const Window owner = XCreateSimpleWindow(d, DefaultRootWindow(d), 300, 200, 600, 400, 0, 0, 0xFFFFFF);
  XMapWindow(d, owner);
  XSync(d, False);
  platform::RECT ownerArea{};
  for (auto until = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < until;) {
    std::this_thread::sleep_for(20ms);
    XWindowAttributes a{};
    int x = 0, y = 0;
    Window child;
    XGetWindowAttributes(d, owner, &a);
    XTranslateCoordinates(d, owner, DefaultRootWindow(d), 0, 0, &x, &y, &child);
    const platform::RECT now{x, y, x + a.width, y + a.height};
    if (a.map_state == IsViewable && now == ownerArea) break;
    ownerArea = now;
  }
  std::thread box([&] { platform::x11::RunModalMessageBox(server_->Display().c_str(), "stop", "text", owner, true); });
  for (auto until = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < until;) {
    std::this_thread::sleep_for(20ms);
    window_ = x11_test::FindWindowByTitle(d, "stop");
    if (window_ && FrameOf(d, window_) != window_) break;
  }
  ASSERT_NE(window_, 0u);
  const platform::RECT frame = SettledFrame();
  EXPECT_NEAR((frame.left + frame.right) / 2.0, (ownerArea.left + ownerArea.right) / 2.0, 2.0);
  EXPECT_NEAR((frame.top + frame.bottom) / 2.0, (ownerArea.top + ownerArea.bottom) / 2.0, 2.0);
  // Closed as the close box closes it.
  XEvent close{};
  close.xclient.type = ClientMessage;
  close.xclient.window = window_;
  close.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  XSendEvent(d, window_, False, NoEventMask, &close);
  XFlush(d);
  box.join();
  XDestroyWindow(d, owner);
  XSync(d, False);
}

// A GIF with 100 ms frames dropped on box 1: the window shows about ten
// frames a second, not one whenever something else wakes the program.
TEST_F(UnderWindowManager, AnAnimatedGifPlaysAtItsOwnDelay) {
  const uint32_t colours[4] = {0xC01020, 0x20C010, 0x1020C0, 0xC0C010};
  std::ofstream(dir_ / "cycle.gif", std::ios::binary) << test_support::CyclingGif(8, 8, colours, 10);
  ASSERT_NO_FATAL_FAILURE(Launch());
  SettledFrame();
  int rootX = 0, rootY = 0;
  Window child;
  XTranslateCoordinates(probe_.get(), window_, DefaultRootWindow(probe_.get()), 115, 163, &rootX, &rootY, &child);
  const x11_test::Drag drag{{"text/uri-list"}, "file://" + (dir_ / "cycle.gif").string() + "\r\n", rootX, rootY};
  const auto dropped = x11_test::RunDrag(server_->Display(), window_, drag, [] { return true; });
  ASSERT_TRUE(dropped.finishedAccepted);

  auto isFrame = [&](uint32_t p) { return std::find(std::begin(colours), std::end(colours), p) != std::end(colours); };
  const auto droppedAt = std::chrono::steady_clock::now();
  uint32_t shown = Pixel(115, 163);
  while (!isFrame(shown) && std::chrono::steady_clock::now() < droppedAt + 3s) shown = Pixel(115, 163);
  ASSERT_TRUE(isFrame(shown)) << "no frame of the GIF reached the screen";
  std::cout
      << "[ measure  ] first frame on screen "
      << std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - droppedAt).count()
      << " ms after the drop\n";
  int changes = 0;
  for (auto until = std::chrono::steady_clock::now() + 1s; std::chrono::steady_clock::now() < until;) {
    const uint32_t now = Pixel(115, 163);
    if (now != shown && isFrame(now)) ++changes;
    if (isFrame(now)) shown = now;
    std::this_thread::sleep_for(2ms);
  }
  std::cout << "[ measure  ] " << changes << " frame changes in 1 s\n";
  EXPECT_GE(changes, 8);
}

}  // namespace

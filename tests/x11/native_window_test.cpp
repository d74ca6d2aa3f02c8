// Real X windows for top-level windows: what the server shows, and what the
// user does coming back in.
// gtest before Xlib: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/backends/x11/x11_backend.h"
#include "platform/base/system.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/icons/icon.h"
#include "platform/gdi/objects.h"
#include "platform/windows/native_events.h"
#include "platform/windows/window.h"
#include "platform/windows/window_dc.h"
#include "x11_probe.h"
#include "xvfb_server.h"

namespace {

using namespace platform;
using x11_test::PumpUntil;

struct Logged {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Logged> logged;

void Fill(HDC dc, RECT r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

// Four quadrants and a one-pixel line: enough to catch swapped channels,
// rows or an offset.
LRESULT PaintingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT && message != WM_SETCURSOR) logged.push_back({hwnd, message, wParam, lParam});
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    RECT client;
    GetClientRect(hwnd, &client);
    const LONG cx = client.right / 2, cy = client.bottom / 2;
    Fill(dc, RECT{0, 0, cx, cy}, 0x0000FF);
    Fill(dc, RECT{cx, 0, client.right, cy}, 0x00FF00);
    Fill(dc, RECT{0, cy, cx, client.bottom}, 0xFF0000);
    Fill(dc, RECT{cx, cy, client.right, client.bottom}, 0x336699);
    Fill(dc, RECT{0, 7, client.right, 8}, 0xFFFFFF);
    EndPaint(hwnd, &paint);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

class NativeWindows : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA wc;
    wc.lpfnWndProc = PaintingProc;
    wc.lpszClassName = "X11Painted";
    RegisterClassA(&wc);
  }
  void SetUp() override {
    SKIP_WITHOUT_XVFB();
    probe_ = x11_test::OpenProbe();
    ASSERT_TRUE(probe_);
    logged.clear();
    hwnd_ = CreateWindowExA(0, "X11Painted", "probe", WS_CAPTION | WS_SYSMENU, 100, 80, 306, 229, 0, 0, nullptr);
    ASSERT_TRUE(hwnd_);
    ShowWindow(hwnd_, SW_SHOW);
    native_ = dynamic_cast<x11::X11Backend&>(System::Get().GetBackend()).NativeId(hwnd_);
    ASSERT_NE(native_, 0u);
    // Until the backend flushes, the server has no such window.
    ASSERT_TRUE(PumpUntil([&] { return ScreenMatchesSurface(); }));
  }
  void TearDown() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }

  // True once the server shows exactly the window's surface.
  bool ScreenMatchesSurface() {
    auto surface = TopLevelSurface(hwnd_);
    if (!surface) return false;
    const auto shown = x11_test::ReadWindowPixels(probe_.get(), native_, surface->Width(), surface->Height());
    if (shown.empty()) return false;
    std::lock_guard lock(surface->Mutex());
    for (int y = 0; y < surface->Height(); ++y)
      for (int x = 0; x < surface->Width(); ++x)
        if (shown[static_cast<size_t>(y * surface->Width() + x)] != (surface->PixelAt(x, y) & 0xFFFFFFu)) return false;
    return true;
  }

  RECT NativeGeometry() {
    Window child;
    int x = 0, y = 0;
    XTranslateCoordinates(probe_.get(), native_, DefaultRootWindow(probe_.get()), 0, 0, &x, &y, &child);
    XWindowAttributes a{};
    XGetWindowAttributes(probe_.get(), native_, &a);
    return RECT{x, y, x + a.width, y + a.height};
  }

  void SendToNative(const XEvent& event, long mask) { x11_test::SendToWindow(probe_.get(), native_, event, mask); }

  x11_test::DisplayPtr probe_;
  HWND hwnd_ = 0;
  Window native_ = 0;
};

TEST_F(NativeWindows, ServerShowsTheSurfaceAndDrawingFromAnotherThread) {
  // The client area sits where the window's client rectangle says, 300 x 200.
  RECT client;
  GetClientRect(hwnd_, &client);
  POINT origin{0, 0};
  ClientToScreen(hwnd_, &origin);
  const RECT shown = NativeGeometry();
  EXPECT_EQ(shown.left, origin.x);
  EXPECT_EQ(shown.top, origin.y);
  EXPECT_EQ(shown.Width(), client.right);
  EXPECT_EQ(shown.Height(), client.bottom);

  // As a picture box's animation thread draws: the damage wakes the GUI
  // thread, which shows it without any message being posted.
  std::thread([&] {
    HDC dc = GetDC(hwnd_);
    Fill(dc, RECT{10, 20, 50, 60}, 0x00FFFF);
    ReleaseDC(hwnd_, dc);
  }).join();
  ASSERT_TRUE(PumpUntil([&] { return ScreenMatchesSurface(); }));
  EXPECT_EQ(x11_test::ReadWindowPixels(probe_.get(), native_, 300, 200)[25 * 300 + 15], 0xFFFF00u);
}

// An animation thread invalidates a box while the GUI thread sleeps on the
// connection in GetMessage: the paint must come at once, not when the
// sleep runs out.
TEST_F(NativeWindows, InvalidationFromAnotherThreadWakesTheSleepingLoop) {
  using Clock = std::chrono::steady_clock;
  for (int round = 0; round < 3; ++round) {
    PumpUntil([] { return false; }, std::chrono::milliseconds(50));  // nothing left to do
    std::atomic<Clock::rep> invalidated{0};
    std::thread animation([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      invalidated = Clock::now().time_since_epoch().count();
      InvalidateRect(hwnd_, nullptr, FALSE);
    });
    MSG msg;
    while (GetMessageA(&msg, 0, 0, 0)) {
      DispatchMessageA(&msg);
      if (msg.message == WM_PAINT && msg.hwnd == hwnd_) break;
    }
    const auto late = Clock::now() - Clock::time_point(Clock::duration(invalidated.load()));
    animation.join();
    EXPECT_LT(late, std::chrono::milliseconds(100)) << "round " << round;
  }
}

TEST_F(NativeWindows, CloseBoxArrivesAsScCloseAndEndsTheWindow) {
  XEvent close{};
  close.xclient.type = ClientMessage;
  close.xclient.message_type = XInternAtom(probe_.get(), "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = static_cast<long>(XInternAtom(probe_.get(), "WM_DELETE_WINDOW", False));
  SendToNative(close, NoEventMask);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(hwnd_); }));
  std::vector<std::pair<UINT, WPARAM>> seen;
  for (const Logged& l : logged)
    if (l.message == WM_SYSCOMMAND || l.message == WM_CLOSE || l.message == WM_DESTROY)
      seen.push_back({l.message, l.wParam});
  EXPECT_EQ(seen, (std::vector<std::pair<UINT, WPARAM>>{{WM_SYSCOMMAND, SC_CLOSE}, {WM_CLOSE, 0}, {WM_DESTROY, 0}}));
  // The X window went with it: the server takes the destroy request from the
  // tool's connection in its own time, so the probe looks until it is gone.
  EXPECT_TRUE(PumpUntil([&] {
    XWindowAttributes attributes;
    XSync(probe_.get(), False);
    return !XGetWindowAttributes(probe_.get(), native_, &attributes);
  }));
}

TEST_F(NativeWindows, MovesBothWaysWithoutEcho) {
  // The window manager (here the probe) moves and resizes the client area.
  XMoveResizeWindow(probe_.get(), native_, 400, 300, 320, 240);
  XFlush(probe_.get());
  RECT client{};
  ASSERT_TRUE(PumpUntil([&] {
    POINT origin{0, 0};
    ClientToScreen(hwnd_, &origin);
    GetClientRect(hwnd_, &client);
    return origin.x == 400 && origin.y == 300 && client.right == 320 && client.bottom == 240;
  }));
  bool sized = false;
  for (const Logged& l : logged) sized |= l.message == WM_SIZE && l.lParam == ((240 << 16) | 320);
  EXPECT_TRUE(sized);
  // The program's own move reaches the server; the new surface is shown whole.
  SetWindowPos(hwnd_, 0, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  POINT origin{0, 0};
  ClientToScreen(hwnd_, &origin);
  ASSERT_TRUE(PumpUntil([&] {
    const RECT shown = NativeGeometry();
    return shown.left == origin.x && shown.top == origin.y && shown.Width() == 320 && ScreenMatchesSurface();
  }));
  // Nothing moved it back: the server's position stays the program's.
  PumpUntil([] { return false; }, std::chrono::milliseconds(200));
  EXPECT_EQ(NativeGeometry().left, origin.x);
}

// The window's own icon reaches the window manager as ARGB rows, its AND
// mask as transparency; without one the program's icon stands in.
TEST_F(NativeWindows, TheWindowsIconReachesTheManagerWithItsMask) {
  auto netWmIcon = [&] {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::vector<unsigned long> items;
    XSync(probe_.get(), False);
    if (XGetWindowProperty(probe_.get(), native_, XInternAtom(probe_.get(), "_NET_WM_ICON", False), 0, 1 << 16, False,
                           XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
        data && format == 32) {
      // 32-bit items come as longs, sign-extended.
      const auto* longs = reinterpret_cast<const unsigned long*>(data);
      for (unsigned long i = 0; i < count; ++i) items.push_back(longs[i] & 0xFFFFFFFFul);
    }
    if (data) XFree(data);
    return items;
  };
  const std::vector<unsigned long> programs = netWmIcon();
  ASSERT_GE(programs.size(), 2 + 16u * 16u);
  EXPECT_EQ(programs[0], 16u);

  // A 2 x 2 icon image: header, 32-bit colour rows bottom-up (blue, green,
  // red, unused), then the AND mask rows, each padded to 4 bytes.
  std::vector<uint8_t> image = {40, 0, 0, 0, 2, 0, 0, 0, 4, 0, 0, 0, 1, 0, 32, 0};  // size, width, twice the height
  image.resize(40, 0);
  for (uint32_t pixel : {0x778899u, 0xAABBCCu, 0x112233u, 0x445566u})
    image.insert(image.end(), {uint8_t(pixel), uint8_t(pixel >> 8), uint8_t(pixel >> 16), 0});
  image.insert(image.end(), {0x40, 0, 0, 0, 0x00, 0, 0, 0});  // bottom row: its right pixel shows what lies beneath
  const HICON icon = CreateIconFromResource(image.data(), static_cast<uint32_t>(image.size()), TRUE, 0x00030000);
  ASSERT_TRUE(icon);
  SendMessageA(hwnd_, WM_SETICON, ICON_BIG, static_cast<LPARAM>(icon));
  EXPECT_TRUE(PumpUntil([&] { return netWmIcon().size() == 6; }));
  EXPECT_EQ(netWmIcon(), (std::vector<unsigned long>{2, 2, 0xFF112233, 0xFF445566, 0xFF778899, 0}));
  SendMessageA(hwnd_, WM_SETICON, ICON_BIG, 0);
  EXPECT_TRUE(PumpUntil([&] { return netWmIcon() == programs; }));
  DestroyIcon(icon);
}

TEST_F(NativeWindows, TitleReachesTheServerAsUtf8) {
  SetWindowTextA(hwnd_, "\xCF\xB8\xBD\xDA.jpg");  // GBK
  EXPECT_TRUE(
      PumpUntil([&] { return x11_test::FindWindowByTitle(probe_.get(), "\xE7\xBB\x86\xE8\x8A\x82.jpg") == native_; }));
}

TEST_F(NativeWindows, ClicksGoToTheWindowUnderThePointerUnlessDisabled) {
  HWND child = CreateWindowExA(0, "X11Painted", "", WS_CHILD | WS_VISIBLE, 20, 20, 60, 60, hwnd_, 0, nullptr);
  ASSERT_TRUE(child);
  ASSERT_TRUE(PumpUntil([&] { return ScreenMatchesSurface(); }));
  auto click = [&] {
    logged.clear();
    XEvent press{};
    press.xbutton.type = ButtonPress;
    press.xbutton.button = Button1;
    press.xbutton.x = 30;
    press.xbutton.y = 35;
    press.xbutton.state = ShiftMask;
    SendToNative(press, ButtonPressMask);
    PumpUntil([] { return false; }, std::chrono::milliseconds(200));
    for (const Logged& l : logged)
      if (l.message == WM_LBUTTONDOWN) return l;
    return Logged{0, 0, 0, 0};
  };
  const Logged down = click();
  EXPECT_EQ(down.hwnd, child);
  EXPECT_EQ(down.lParam, (15 << 16) | 10);          // in the child's client coordinates
  EXPECT_EQ(down.wParam, WPARAM{0x0001 | 0x0004});  // left button and Shift
  EnableWindow(hwnd_, FALSE);
  EXPECT_EQ(click().hwnd, 0u);
}

}  // namespace

// Keys from the X server as the platform's key messages, and the X cursor a
// window shows: the cursor font's shapes and cursors drawn from a file's pixels.
// gtest before Xlib: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/backends/x11/x11_backend.h"
#include "platform/backends/x11/x11_cursor.h"
#include "platform/base/system.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icons/cursor.h"
#include "platform/windows/keyboard.h"
#include "platform/windows/pointer.h"
#include "platform/windows/window.h"
#include "x11_probe.h"
#include "xvfb_server.h"

namespace {

using namespace platform;
using x11_test::PumpUntil;

std::string keys;    // "message wParam lParam;" per key message, hexadecimal
HCURSOR chosen = 0;  // what the window answers WM_SETCURSOR with

LRESULT KeyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR) {
    char line[48];
    std::snprintf(line, sizeof line, "%X %X %llX;", message, static_cast<unsigned>(wParam),
                  static_cast<unsigned long long>(lParam));
    keys += line;
  }
  if (message == WM_SETCURSOR && chosen) {
    SetCursor(chosen);
    return TRUE;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

x11::X11Backend& Backend() { return dynamic_cast<x11::X11Backend&>(System::Get().GetBackend()); }

class KeysAndPointers : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_XVFB();
    probe_ = x11_test::OpenProbe();
    ASSERT_TRUE(probe_);
    WNDCLASSA wc;
    wc.lpfnWndProc = KeyProc;
    wc.lpszClassName = "X11Keys";
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, "X11Keys", "keys", WS_CAPTION, 100, 80, 306, 229, 0, 0, nullptr);
    ShowWindow(hwnd_, SW_SHOW);
    native_ = Backend().NativeId(hwnd_);
    ASSERT_NE(native_, 0u);
    // Events sent before the server has the window would go nowhere.
    ASSERT_TRUE(PumpUntil([&] {
      XWindowAttributes attributes{};
      XSync(probe_.get(), False);
      return XGetWindowAttributes(probe_.get(), native_, &attributes) && attributes.map_state == IsViewable;
    }));
    keys.clear();
    chosen = 0;
  }
  void TearDown() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  void Send(const XEvent& event, long mask) { x11_test::SendToWindow(probe_.get(), native_, event, mask); }

  x11_test::DisplayPtr probe_;
  HWND hwnd_ = 0;
  Window native_ = 0;
};

TEST_F(KeysAndPointers, KeysArriveAsVirtualKeysAndCharacters) {
  struct Case {
    KeySym sym;
    unsigned state;
    const char* expected;  // down, the characters typed, up
  };
  const Case cases[] = {
      {XK_Escape, 0, "100 1B 1;102 1B 1;101 1B C0000001;"},
      {XK_Return, 0, "100 D 1;102 D 1;101 D C0000001;"},
      {XK_Tab, 0, "100 9 1;102 9 1;101 9 C0000001;"},
      {XK_F1, 0, "100 70 1;101 70 C0000001;"},
      {XK_Left, 0, "100 25 1;101 25 C0000001;"},
      {XK_a, 0, "100 41 1;102 61 1;101 41 C0000001;"},
      {XK_a, ShiftMask, "100 41 1;102 41 1;101 41 C0000001;"},
      {XK_a, ControlMask, "100 41 1;102 1 1;101 41 C0000001;"},
      {XK_7, 0, "100 37 1;102 37 1;101 37 C0000001;"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    keys.clear();
    for (int type : {KeyPress, KeyRelease}) {
      XEvent event{};
      event.xkey.type = type;
      event.xkey.root = DefaultRootWindow(probe_.get());
      event.xkey.keycode = XKeysymToKeycode(probe_.get(), c.sym);
      event.xkey.state = c.state;
      event.xkey.same_screen = True;
      Send(event, type == KeyPress ? KeyPressMask : KeyReleaseMask);
    }
    ASSERT_TRUE(PumpUntil([] { return keys.find("101 ") != std::string::npos; }));
    EXPECT_EQ(keys, c.expected);
  }
}

TEST_F(KeysAndPointers, TheWindowShowsTheCursorItChooses) {
  // A cursor file of one 2 x 2 image, 32 bits with alpha.
  std::vector<uint8_t> file;
  auto put16 = [&file](uint32_t v) {
    file.insert(file.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
  };
  auto put32 = [&](uint32_t v) { put16(v), put16(v >> 16); };
  put16(0), put16(2), put16(1);           // reserved, cursor, one image
  file.insert(file.end(), {2, 2, 0, 0});  // width, height, colours, reserved
  put16(1), put16(1);                     // hot spot
  put32(40 + 16 + 8), put32(22);          // image bytes, offset
  put32(40), put32(2), put32(4);          // header size, width, height (image and mask)
  put16(1), put16(32);                    // planes, bits
  for (uint32_t v : {0u, 0u, 0u, 0u, 0u, 0u, 0xFF000000u, 0x00FFFFFFu, 0xFFFFFFFFu, 0xFF000000u, 0u, 0u}) put32(v);
  const HCURSOR fromFile = CreateCursorFromFileData(file.data(), file.size());
  ASSERT_NE(fromFile, 0u);

  const std::pair<HCURSOR, unsigned> cases[] = {{LoadCursorA(0, IDC_CROSS), XC_crosshair},
                                                {fromFile, x11::CursorCache::kDrawn}};
  int x = 10;
  for (auto [cursor, shape] : cases) {
    chosen = cursor;
    XEvent motion{};
    motion.xmotion.type = MotionNotify;
    motion.xmotion.x = x += 5;
    motion.xmotion.y = 20;
    motion.xmotion.same_screen = True;
    Send(motion, PointerMotionMask);
    ASSERT_TRUE(PumpUntil([&] { return Backend().ShownCursor(hwnd_) == cursor; })) << shape;
    EXPECT_EQ(Backend().Cursors().ShapeOf(cursor), shape);
  }
  // Chosen while the pointer rests (a unit's pointer set under it): shown all the same.
  SetCursor(LoadCursorA(0, IDC_WAIT));
  ASSERT_TRUE(PumpUntil([&] { return Backend().ShownCursor(hwnd_) == LoadCursorA(0, IDC_WAIT); }));
  EXPECT_EQ(Backend().Cursors().ShapeOf(LoadCursorA(0, IDC_WAIT)), XC_watch);
  DestroyCursor(fromFile);
}

TEST(TwoColourCursors, PixelsBecomeSourceAndMaskBits) {
  struct Case {
    bool alpha;
    uint32_t colour;
    uint8_t andMask;
    int bits;  // 0 hidden, 1 white, 3 black
  };
  const Case cases[] = {
      {true, 0xFF000000, 0, 3}, {true, 0xFFC0C0C0, 0, 1}, {true, 0xFF000080, 0, 3},
      {true, 0x7F000000, 0, 0}, {false, 0xFFFFFF, 0, 1},  {false, 0x000000, 1, 0},  // drawn white; left alone
      {false, 0xFFFFFF, 1, 3},                                                      // inverts the screen: shown black
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.colour);
    // 9 pixels wide, so a row takes two bytes; the case's pixel at (8, 1), the rest left alone.
    gdi::IconObject image;
    image.width = 9;
    image.height = 2;
    image.hasAlpha = c.alpha;
    image.colour.assign(18, 0);
    image.mask.assign(18, c.alpha ? 0 : 1);
    image.colour[17] = c.colour;
    image.mask[17] = c.andMask;
    const auto bits = x11::TwoColourCursor(image);
    ASSERT_TRUE(bits);
    EXPECT_EQ(bits->mask, (std::vector<uint8_t>{0, 0, 0, static_cast<uint8_t>(c.bits & 1)}));
    EXPECT_EQ(bits->source, (std::vector<uint8_t>{0, 0, 0, static_cast<uint8_t>(c.bits >> 1)}));
  }
  EXPECT_FALSE(x11::TwoColourCursor(gdi::IconObject{}));
}

}  // namespace

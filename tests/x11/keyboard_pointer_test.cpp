// Keys from the X server as the platform's key messages, and the X cursor a
// window shows: the cursor font's shapes and cursors drawn from a file's pixels.
// gtest before Xlib: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

#include <string>
#include <vector>

#include "platform/backends/x11/x11_backend.h"
#include "platform/backends/x11/x11_cursor.h"
#include "platform/backends/x11/x11_keyboard.h"
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

struct KeyMessage {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<KeyMessage> keys;
HCURSOR chosen = 0;  // what the window answers WM_SETCURSOR with

LRESULT KeyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR)
    keys.push_back(KeyMessage{hwnd, message, wParam, lParam});
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
  void Send(XEvent event, long mask) {
    event.xany.window = native_;
    XSendEvent(probe_.get(), native_, False, mask, &event);
    XFlush(probe_.get());
  }
  void Key(int type, KeySym sym, unsigned state) {
    XEvent event{};
    event.xkey.type = type;
    event.xkey.root = DefaultRootWindow(probe_.get());
    event.xkey.keycode = XKeysymToKeycode(probe_.get(), sym);
    event.xkey.state = state;
    event.xkey.same_screen = True;
    Send(event, type == KeyPress ? KeyPressMask : KeyReleaseMask);
  }
  void Motion(int x, int y) {
    XEvent event{};
    event.xmotion.type = MotionNotify;
    event.xmotion.x = x;
    event.xmotion.y = y;
    event.xmotion.same_screen = True;
    Send(event, PointerMotionMask);
  }

  x11_test::DisplayPtr probe_;
  HWND hwnd_ = 0;
  Window native_ = 0;
};

TEST_F(KeysAndPointers, KeysArriveAsVirtualKeysAndCharacters) {
  struct Case {
    KeySym sym;
    unsigned state;
    UINT virtualKey;
    std::string typed;
  };
  const Case cases[] = {
      {XK_Escape, 0, VK_ESCAPE, "\x1B"},
      {XK_Return, 0, VK_RETURN, "\r"},
      {XK_Tab, 0, VK_TAB, "\t"},
      {XK_F1, 0, VK_F1, ""},
      {XK_Left, 0, VK_LEFT, ""},
      {XK_Down, 0, VK_DOWN, ""},
      {XK_a, 0, 'A', "a"},
      {XK_a, ShiftMask, 'A', "A"},
      {XK_7, 0, '7', "7"},
      {XK_a, ControlMask, 'A', "\x01"},
      {XK_space, 0, VK_SPACE, " "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(XKeysymToString(c.sym) + std::string(c.state ? " with a modifier" : ""));
    keys.clear();
    Key(KeyPress, c.sym, c.state);
    Key(KeyRelease, c.sym, c.state);
    ASSERT_TRUE(PumpUntil([] { return !keys.empty() && keys.back().message == WM_KEYUP; }));
    std::vector<KeyMessage> expected{{hwnd_, WM_KEYDOWN, c.virtualKey, 1}};
    for (char byte : c.typed) expected.push_back({hwnd_, WM_CHAR, static_cast<unsigned char>(byte), 1});
    expected.push_back({hwnd_, WM_KEYUP, c.virtualKey, 1 | 1 << 30 | static_cast<LPARAM>(1u << 31)});
    ASSERT_EQ(keys.size(), expected.size());
    for (size_t i = 0; i < keys.size(); ++i) {
      EXPECT_EQ(keys[i].hwnd, expected[i].hwnd) << i;
      EXPECT_EQ(keys[i].message, expected[i].message) << i;
      EXPECT_EQ(keys[i].wParam, expected[i].wParam) << i;
      EXPECT_EQ(keys[i].lParam, expected[i].lParam) << i;
    }
  }
}

// A cursor file of one 2 x 2 image, 32 bits with alpha.
std::vector<uint8_t> CursorFile() {
  std::vector<uint8_t> b;
  auto put16 = [&b](uint32_t v) { b.insert(b.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}); };
  auto put32 = [&](uint32_t v) { put16(v), put16(v >> 16); };
  put16(0), put16(2), put16(1);     // reserved, cursor, one image
  b.insert(b.end(), {2, 2, 0, 0});  // width, height, colours, reserved
  put16(1), put16(1);               // hot spot
  put32(40 + 16 + 8), put32(22);    // image bytes, offset
  put32(40), put32(2), put32(4);    // header size, width, height (image and mask)
  put16(1), put16(32);              // planes, bits
  for (int i = 0; i < 6; ++i) put32(0);
  for (uint32_t p : {0xFF000000u, 0x00FFFFFFu, 0xFFFFFFFFu, 0xFF000000u}) put32(p);
  put32(0), put32(0);  // AND mask
  return b;
}

TEST_F(KeysAndPointers, TheWindowShowsTheCursorItChooses) {
  const std::vector<uint8_t> file = CursorFile();
  const HCURSOR fromFile = CreateCursorFromFileData(file.data(), file.size());
  ASSERT_NE(fromFile, 0u);
  struct Case {
    HCURSOR cursor;
    unsigned shape;
  };
  const Case cases[] = {
      {LoadCursorA(0, IDC_CROSS), XC_crosshair},
      {fromFile, x11::CursorCache::kDrawn},
      {LoadCursorA(0, IDC_HAND), XC_hand2},
  };
  int x = 10;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shape);
    chosen = c.cursor;
    Motion(x += 5, 20);
    ASSERT_TRUE(PumpUntil([&] { return Backend().ShownCursor(hwnd_) == c.cursor; }));
    EXPECT_EQ(Backend().Cursors().ShapeOf(c.cursor), c.shape);
  }
  // Chosen while the pointer rests (a unit's pointer set under it): shown all the same.
  SetCursor(LoadCursorA(0, IDC_WAIT));
  ASSERT_TRUE(PumpUntil([&] { return Backend().ShownCursor(hwnd_) == LoadCursorA(0, IDC_WAIT); }));
  EXPECT_EQ(Backend().Cursors().ShapeOf(LoadCursorA(0, IDC_WAIT)), XC_watch);
  DestroyCursor(fromFile);
}

TEST(TwoColourCursors, PixelsBecomeSourceAndMaskBits) {
  struct Case {
    const char* name;
    bool alpha;
    uint32_t colour;
    uint8_t andMask;
    bool shows, black;
  };
  const Case cases[] = {
      {"opaque black", true, 0xFF000000, 0, true, true},
      {"opaque white", true, 0xFFFFFFFF, 0, true, false},
      {"light grey", true, 0xFFC0C0C0, 0, true, false},
      {"dark blue", true, 0xFF000080, 0, true, true},
      {"half transparent", true, 0x7F000000, 0, false, false},
      {"no alpha: drawn white", false, 0x00FFFFFF, 0, true, false},
      {"no alpha: left alone", false, 0x00000000, 1, false, false},
      {"no alpha: inverts", false, 0x00FFFFFF, 1, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // 9 pixels wide, so a row takes two bytes; the case's pixel at (8, 1), the rest left alone.
    gdi::IconObject image;
    image.width = 9;
    image.height = 2;
    image.hasAlpha = c.alpha;
    image.hotspot = POINT{4, 1};
    image.colour.assign(18, 0);
    image.mask.assign(18, c.alpha ? 0 : 1);
    image.colour[17] = c.colour;
    image.mask[17] = c.andMask;
    const auto bits = x11::TwoColourCursor(image);
    ASSERT_TRUE(bits);
    EXPECT_EQ(bits->hotspot.x, 4);
    ASSERT_EQ(bits->mask.size(), 4u);
    const std::vector<uint8_t> none{0, 0, 0, 0};
    std::vector<uint8_t> mask = none, source = none;
    if (c.shows) mask[3] = 1;  // row 1, second byte, lowest bit
    if (c.black) source[3] = 1;
    EXPECT_EQ(bits->mask, mask);
    EXPECT_EQ(bits->source, source);
  }
  gdi::IconObject empty;
  EXPECT_FALSE(x11::TwoColourCursor(empty));
}

TEST(VirtualKeys, KeysymsMapToTheirKeys) {
  const std::pair<KeySym, unsigned> cases[] = {
      {XK_z, 'Z'},
      {XK_Q, 'Q'},
      {XK_0, '0'},
      {XK_KP_3, VK_NUMPAD0 + 3},
      {XK_F12, VK_F1 + 11},
      {XK_Shift_R, VK_SHIFT},
      {XK_ISO_Left_Tab, VK_TAB},
      {XK_KP_Enter, VK_RETURN},
      {XK_Up, VK_UP},
      {XK_Right, VK_RIGHT},
      {XK_Delete, VK_DELETE},
      {XK_Prior, VK_PRIOR},
      {XK_Multi_key, 0},
  };
  for (auto [sym, key] : cases) EXPECT_EQ(x11::VirtualKeyOf(sym), key) << XKeysymToString(sym);
}

}  // namespace

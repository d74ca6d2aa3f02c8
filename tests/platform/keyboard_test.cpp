// Keys coming in from a display: which window a key's messages go to and what
// they carry; and the mouse capture, which takes the mouse anywhere.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/windows/keyboard.h"
#include "platform/windows/native_events.h"
#include "platform/windows/pointer.h"
#include "platform/windows/window.h"

namespace {

using namespace platform;

class Keyboard : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "KeyWindow";
    RegisterClassA(&wc);
    top_ = CreateWindowExA(0, "KeyWindow", "", WS_CAPTION, 10, 10, 300, 200, 0, 0, nullptr);
    child_ = CreateWindowExA(0, "KeyWindow", "", WS_CHILD | WS_VISIBLE, 20, 20, 50, 40, top_, 0, nullptr);
    other_ = CreateWindowExA(0, "KeyWindow", "", WS_CAPTION, 400, 10, 100, 100, 0, 0, nullptr);
    ShowWindow(top_, SW_SHOW);
    Drain();
  }
  void TearDown() override {
    DestroyWindow(top_);
    DestroyWindow(other_);
    Drain();
  }
  // What was posted, one "window message wParam lParam" per message (t: the
  // top-level window, c: its child, hexadecimal numbers).
  std::string Drain() {
    std::string taken;
    MSG msg;
    while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_PAINT) {
        DispatchMessageA(&msg);
        continue;
      }
      char line[64];
      std::snprintf(line, sizeof line, "%c %X %X %llX;",
                    msg.hwnd == top_     ? 't'
                    : msg.hwnd == child_ ? 'c'
                                         : '?',
                    msg.message, static_cast<unsigned>(msg.wParam), static_cast<unsigned long long>(msg.lParam));
      taken += line;
    }
    return taken;
  }

  HWND top_ = 0, child_ = 0, other_ = 0;
};

TEST_F(Keyboard, KeysGoToTheFocusInTheirWindowAndCarryTheirState) {
  enum Focus { kChild, kOther, kNone };
  struct Case {
    const char* name;
    Focus focus;
    bool disabled, alt;
    UINT key;
    bool pressed;
    const char* typed;
    const char* expected;
  };
  const Case cases[] = {
      {"to the focus", kChild, false, false, VK_ESCAPE, true, "\x1B", "c 100 1B 1;c 102 1B 1;"},
      {"released", kChild, false, false, VK_F1, false, "", "c 101 70 C0000001;"},
      // A focus in another window: the key is the window's own.
      {"focus elsewhere", kOther, false, false, 'Q', true, "q", "t 100 51 1;t 102 71 1;"},
      {"no focus", kNone, false, false, VK_LEFT, true, "", "t 100 25 1;"},
      // Beyond ASCII, one message per byte of the ANSI code page (GB18030 "中" is D6 D0).
      {"two-byte character", kChild, false, false, 'Z', true, "\xD6\xD0", "c 100 5A 1;c 102 D6 1;c 102 D0 1;"},
      {"with Alt", kChild, false, true, 'F', true, "f", "c 104 46 20000001;c 106 66 20000001;"},
      {"disabled window", kChild, true, false, VK_RETURN, true, "\r", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetFocus(c.focus == kChild ? child_ : c.focus == kOther ? other_ : 0);
    EnableWindow(top_, !c.disabled);
    if (c.alt) NativeKey(top_, VK_MENU, true);
    Drain();
    NativeKey(top_, c.key, c.pressed, c.typed);
    EXPECT_EQ(Drain(), c.expected);
    // The held state follows the messages taken, or the key itself where none went.
    EXPECT_EQ(GetKeyState(static_cast<int>(c.key)) < 0, c.pressed);
    NativeKey(top_, c.key, false);
    if (c.alt) NativeKey(top_, VK_MENU, false);
    EnableWindow(top_, TRUE);
    Drain();
  }
  // Pressed again while held, a key says it was down.
  SetFocus(child_);
  NativeKey(top_, 'K', true);
  NativeKey(top_, 'K', true);
  EXPECT_EQ(Drain(), "c 100 4B 1;c 100 4B 40000001;");
  NativeKey(top_, 'K', false);
}

TEST_F(Keyboard, TheCaptureTakesTheMouseAnywhereInItsWindow) {
  SetCapture(child_);
  NativeMouse(top_, WM_MOUSEMOVE, POINT{200, 150}, 0);  // far from the child: in its coordinates
  EXPECT_EQ(Drain(), "c 200 0 8200B4;");                // (180, 130)
  ReleaseCapture();
  NativeMouse(top_, WM_MOUSEMOVE, POINT{200, 150}, 0);
  EXPECT_EQ(Drain().substr(0, 6), "t 200 ");
  // A capture whose window has gone is none.
  SetCapture(child_);
  DestroyWindow(child_);
  EXPECT_EQ(GetCapture(), 0u);
}

}  // namespace

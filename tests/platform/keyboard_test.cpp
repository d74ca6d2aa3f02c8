// Keys and the mouse coming in from a display: which window a key's messages
// go to and what they carry, the cursor a window's parent chooses, and the
// mouse capture.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/icons/cursor.h"
#include "platform/windows/keyboard.h"
#include "platform/windows/native_events.h"
#include "platform/windows/pointer.h"
#include "platform/windows/window.h"

namespace {

using namespace platform;

HCURSOR parentAnswers = 0;  // what the parent procedure sets for its children; 0: it does not answer

LRESULT ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETCURSOR && parentAnswers && static_cast<HWND>(wParam) != hwnd) {
    SetCursor(parentAnswers);
    return TRUE;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

class Keyboard : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA wc;
    wc.lpfnWndProc = ParentProc;
    wc.lpszClassName = "KeyParent";
    RegisterClassA(&wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.hCursor = LoadCursorA(0, IDC_IBEAM);
    wc.lpszClassName = "KeyChild";
    RegisterClassA(&wc);
  }
  void SetUp() override {
    top_ = CreateWindowExA(0, "KeyParent", "", WS_CAPTION, 10, 10, 300, 200, 0, 0, nullptr);
    child_ = CreateWindowExA(0, "KeyChild", "", WS_CHILD | WS_VISIBLE, 20, 20, 50, 40, top_, 0, nullptr);
    other_ = CreateWindowExA(0, "KeyParent", "", WS_CAPTION, 400, 10, 100, 100, 0, 0, nullptr);
    ShowWindow(top_, SW_SHOW);
    Drain();
  }
  void TearDown() override {
    DestroyWindow(top_);
    DestroyWindow(other_);
    parentAnswers = 0;
    Drain();
  }
  static std::vector<MSG> Drain() {
    std::vector<MSG> taken;
    MSG msg;
    while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE))
      if (msg.message != WM_PAINT)
        taken.push_back(msg);
      else
        DispatchMessageA(&msg);
    return taken;
  }

 public:  // the cases name them as members
  HWND top_ = 0, child_ = 0, other_ = 0;
};

TEST_F(Keyboard, KeysGoToTheFocusInTheirWindow) {
  struct Expected {
    char target;  // 't' top, 'c' child
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  struct Case {
    const char* name;
    HWND Keyboard::*focus;  // null: none
    bool disabled;
    bool alt;
    UINT key;
    bool pressed;
    const char* typed;
    std::vector<Expected> expected;
  };
  const Case cases[] = {
      {"to the focus",
       &Keyboard::child_,
       false,
       false,
       VK_ESCAPE,
       true,
       "\x1B",
       {{'c', WM_KEYDOWN, VK_ESCAPE, 1}, {'c', WM_CHAR, 0x1B, 1}}},
      {"released",
       &Keyboard::child_,
       false,
       false,
       VK_F1,
       false,
       "",
       {{'c', WM_KEYUP, VK_F1, 1 | 1 << 30 | static_cast<LPARAM>(1u << 31)}}},
      // A focus in another window: the key is the window's own.
      {"focus elsewhere",
       &Keyboard::other_,
       false,
       false,
       'Q',
       true,
       "q",
       {{'t', WM_KEYDOWN, 'Q', 1}, {'t', WM_CHAR, 'q', 1}}},
      {"no focus", nullptr, false, false, VK_LEFT, true, "", {{'t', WM_KEYDOWN, VK_LEFT, 1}}},
      // A character beyond ASCII: one message per byte of the ANSI code page (GB18030 "中" is D6 D0).
      {"two-byte character",
       &Keyboard::child_,
       false,
       false,
       'Z',
       true,
       "\xD6\xD0",
       {{'c', WM_KEYDOWN, 'Z', 1}, {'c', WM_CHAR, 0xD6, 1}, {'c', WM_CHAR, 0xD0, 1}}},
      {"with Alt",
       &Keyboard::child_,
       false,
       true,
       'F',
       true,
       "f",
       {{'c', WM_SYSKEYDOWN, 'F', 1 | 1 << 29}, {'c', WM_SYSCHAR, 'f', 1 | 1 << 29}}},
      {"disabled window", &Keyboard::child_, true, false, VK_RETURN, true, "\r", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.focus)
      SetFocus(this->*c.focus);
    else
      SetFocus(0);
    if (c.disabled) EnableWindow(top_, FALSE);
    Drain();
    if (c.alt) NativeKey(top_, VK_MENU, true);
    Drain();
    NativeKey(top_, c.key, c.pressed, c.typed);
    const std::vector<MSG> taken = Drain();
    ASSERT_EQ(taken.size(), c.expected.size());
    for (size_t i = 0; i < taken.size(); ++i) {
      const Expected& e = c.expected[i];
      EXPECT_EQ(taken[i].hwnd, e.target == 't' ? top_ : child_) << i;
      EXPECT_EQ(taken[i].message, e.message) << i;
      EXPECT_EQ(taken[i].wParam, e.wParam) << i;
      EXPECT_EQ(taken[i].lParam, e.lParam) << i;
    }
    // The held state follows the key even where no message went.
    EXPECT_EQ(GetKeyState(static_cast<int>(c.key)) < 0, c.pressed);
    NativeKey(top_, c.key, false);
    if (c.alt) NativeKey(top_, VK_MENU, false);
    EnableWindow(top_, TRUE);
    Drain();
  }
  // A key pressed again while held says so.
  SetFocus(child_);
  NativeKey(top_, 'K', true);
  NativeKey(top_, 'K', true);
  const std::vector<MSG> repeated = Drain();
  ASSERT_EQ(repeated.size(), 2u);
  EXPECT_EQ(repeated[0].lParam, 1);
  EXPECT_EQ(repeated[1].lParam, 1 | 1 << 30);
  NativeKey(top_, 'K', false);
}

TEST_F(Keyboard, TheParentChoosesTheCursorThenTheClass) {
  const POINT overChild{30, 30};
  EXPECT_EQ(NativeMouse(top_, WM_MOUSEMOVE, overChild, 0), LoadCursorA(0, IDC_IBEAM));
  parentAnswers = LoadCursorA(0, IDC_CROSS);
  EXPECT_EQ(NativeMouse(top_, WM_MOUSEMOVE, overChild, 0), LoadCursorA(0, IDC_CROSS));
  // The parent answers only for its children; its own area shows its class cursor (none: the arrow).
  EXPECT_EQ(NativeMouse(top_, WM_MOUSEMOVE, POINT{200, 150}, 0), LoadCursorA(0, IDC_ARROW));
}

TEST_F(Keyboard, TheCaptureTakesTheMouseAnywhereInItsWindow) {
  Drain();
  EXPECT_EQ(SetCapture(child_), 0u);
  NativeMouse(top_, WM_MOUSEMOVE, POINT{200, 150}, 0);  // far from the child
  std::vector<MSG> taken = Drain();
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_EQ(taken[0].hwnd, child_);
  EXPECT_EQ(PointFromLParam(taken[0].lParam).x, 200 - 20);
  EXPECT_EQ(PointFromLParam(taken[0].lParam).y, 150 - 20);
  EXPECT_TRUE(ReleaseCapture());
  EXPECT_EQ(GetCapture(), 0u);
  NativeMouse(top_, WM_MOUSEMOVE, POINT{200, 150}, 0);
  taken = Drain();
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_EQ(taken[0].hwnd, top_);
  // A capture whose window has gone is none.
  SetCapture(child_);
  DestroyWindow(child_);
  EXPECT_EQ(GetCapture(), 0u);
}

}  // namespace

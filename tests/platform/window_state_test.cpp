// Activation, show states, the topmost band, parents and owners, frame
// changes and the default window procedure.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "platform/base/backend.h"
#include "platform/windows/messages.h"
#include "platform/windows/system_metrics.h"
#include "platform/windows/window.h"
#include "platform/windows/window_surface.h"

namespace {

using namespace platform;

struct Seen {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Seen&) const = default;
};
std::vector<Seen> seen;

// The messages these tests follow; the rest go by unrecorded.
bool Followed(UINT m) {
  return m == WM_ACTIVATE || m == WM_SETFOCUS || m == WM_KILLFOCUS || m == WM_SHOWWINDOW || m == WM_SIZE ||
         m == WM_CLOSE || m == WM_DESTROY;
}

LRESULT RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (Followed(message)) seen.push_back({hwnd, message, wParam, lParam});
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

LPARAM Size(int w, int h) { return static_cast<LPARAM>(h << 16 | w); }

class WindowState : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA wc;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "StateWindow";
    RegisterClassA(&wc);
  }
  void SetUp() override { seen.clear(); }
  void TearDown() override {
    for (HWND h : made_)
      if (IsWindow(h)) DestroyWindow(h);
  }
  HWND Make(DWORD style, HWND parent = 0, DWORD ex = 0, RECT r = RECT{10, 20, 210, 170}) {
    HWND h = CreateWindowExA(ex, "StateWindow", "", style, r.left, r.top, r.Width(), r.Height(), parent, 0, nullptr);
    made_.push_back(h);
    return h;
  }
  // The given windows in their z-order, top first.
  static std::vector<HWND> Stacked(std::vector<HWND> mine) {
    std::vector<HWND> order;
    for (HWND h = GetWindow(mine.front(), GW_HWNDFIRST); h; h = GetWindow(h, GW_HWNDNEXT))
      if (std::find(mine.begin(), mine.end(), h) != mine.end()) order.push_back(h);
    return order;
  }
  std::vector<HWND> made_;
};

TEST_F(WindowState, ShowingActivatesAndActivationMovesTheFocus) {
  HWND a = Make(WS_CAPTION), b = Make(WS_CAPTION);
  HWND child = Make(WS_CHILD | WS_VISIBLE, b, 0, RECT{0, 0, 10, 10});
  seen.clear();
  ShowWindow(a, SW_SHOW);
  ShowWindow(b, SW_SHOWNA);  // shown, not activated
  SetFocus(child);           // in the inactive window: activates b first
  SetActiveWindow(0);
  const std::vector<Seen> expected = {
      {a, WM_SHOWWINDOW, 1, 0},
      {a, WM_ACTIVATE, WA_ACTIVE, 0},
      {a, WM_SETFOCUS, 0, 0},
      {b, WM_SHOWWINDOW, 1, 0},
      {a, WM_ACTIVATE, WA_INACTIVE, static_cast<LPARAM>(b)},
      {b, WM_ACTIVATE, WA_ACTIVE, static_cast<LPARAM>(a)},
      {a, WM_KILLFOCUS, b, 0},
      {b, WM_SETFOCUS, a, 0},
      {b, WM_KILLFOCUS, child, 0},
      {child, WM_SETFOCUS, b, 0},
      {b, WM_ACTIVATE, WA_INACTIVE, 0},
      {child, WM_KILLFOCUS, 0, 0},
  };
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(GetActiveWindow(), 0u);
  EXPECT_EQ(GetFocus(), 0u);
  SetForegroundWindow(a);
  EXPECT_EQ(GetActiveWindow(), a);
  ShowWindow(a, SW_HIDE);  // the active window hidden: none is active
  EXPECT_EQ(GetActiveWindow(), 0u);
}

TEST_F(WindowState, MaximizeMinimizeAndRestoreMoveTheWindowAndReportTheirSize) {
  HWND w = Make(WS_CAPTION | WS_THICKFRAME | WS_VISIBLE);  // 200 x 150: client 192 x 119
  seen.clear();
  ShowWindow(w, SW_MAXIMIZE);
  EXPECT_TRUE(IsZoomed(w));
  RECT r;
  GetWindowRect(w, &r);
  const SIZE screen = ScreenSize();
  EXPECT_EQ(r.left, -4);
  EXPECT_EQ(r.right, screen.cx + 4);
  ShowWindow(w, SW_RESTORE);
  ShowWindow(w, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(w));
  EXPECT_FALSE(IsZoomed(w));
  ShowWindow(w, SW_RESTORE);
  EXPECT_FALSE(IsIconic(w));
  GetWindowRect(w, &r);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.Width(), 200);
  std::vector<std::pair<WPARAM, LPARAM>> sizes;
  for (const Seen& s : seen)
    if (s.message == WM_SIZE) sizes.push_back({s.wParam, s.lParam});
  const std::vector<std::pair<WPARAM, LPARAM>> expected = {
      {SIZE_MAXIMIZED, Size(screen.cx, screen.cy - 23)},
      {SIZE_RESTORED, Size(192, 119)},
      {SIZE_MINIMIZED, 0},
      {SIZE_RESTORED, Size(192, 119)},
  };
  EXPECT_EQ(sizes, expected);
}

TEST_F(WindowState, TopmostWindowsStayAboveTheOthers) {
  HWND a = Make(WS_POPUP), b = Make(WS_POPUP), c = Make(WS_POPUP);  // c on top
  ASSERT_TRUE(SetWindowPos(a, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
  EXPECT_TRUE(GetWindowLongPtrA(a, GWL_EXSTYLE) & WS_EX_TOPMOST);
  HWND d = Make(WS_POPUP);                                         // new windows start below the band
  SetWindowPos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // top of its own band
  EXPECT_EQ(Stacked({a, b, c, d}), (std::vector<HWND>{a, b, d, c}));
  SetWindowPos(c, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // "after a" cannot enter the band
  EXPECT_EQ(Stacked({a, b, c, d}), (std::vector<HWND>{a, c, b, d}));
  SetWindowLongPtrA(a, GWL_EXSTYLE, 0);  // the band changes only through SetWindowPos
  EXPECT_TRUE(GetWindowLongPtrA(a, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowPos(a, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_FALSE(GetWindowLongPtrA(a, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowPos(d, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(Stacked({a, b, c, d}), (std::vector<HWND>{a, c, b, d}));
}

TEST_F(WindowState, OnlyChildrenAndPopupsHaveAParent) {
  HWND owner = Make(WS_CAPTION);
  HWND popup = Make(WS_POPUP, owner);
  HWND overlapped = Make(WS_CAPTION, owner);
  HWND child = Make(WS_CHILD, owner);
  EXPECT_EQ(GetParent(popup), owner);
  EXPECT_EQ(GetParent(overlapped), 0u);
  EXPECT_EQ(GetWindow(overlapped, GW_OWNER), owner);
  EXPECT_EQ(GetParent(child), owner);
  EXPECT_EQ(GetParent(owner), 0u);
}

TEST_F(WindowState, AFrameChangeMovesTheClientAreaAndTheFrameIsPainted) {
  HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, RECT{0, 0, 100, 100});
  HWND edged = Make(WS_CHILD | WS_VISIBLE, top, 0, RECT{10, 10, 40, 40});
  Make(WS_CHILD | WS_VISIBLE | WS_BORDER, top, 0, RECT{50, 50, 70, 70});
  seen.clear();
  SetWindowLongPtrA(edged, GWL_EXSTYLE, WS_EX_CLIENTEDGE);
  RECT client;
  GetClientRect(edged, &client);
  EXPECT_EQ(client.right, 30);  // a style alone leaves the client area
  SetWindowPos(edged, 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  GetClientRect(edged, &client);
  EXPECT_EQ(client.right, 26);
  EXPECT_EQ(seen, (std::vector<Seen>{{edged, WM_SIZE, SIZE_RESTORED, Size(26, 26)}}));
  WindowDrawTarget where;
  ASSERT_TRUE(QueryWindowDrawTarget(top, &where));
  ASSERT_TRUE(where.surface);
  MSG msg;
  while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  const Surface& s = *where.surface;
  // Sunken client edge: shadow then dark shadow at the top left, highlight
  // then light at the bottom right; the client inside untouched.
  EXPECT_EQ(s.ColorAt(10, 20), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(s.ColorAt(11, 20), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(s.ColorAt(39, 20), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(s.ColorAt(20, 38), GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(s.ColorAt(12, 20), 0u);
  EXPECT_EQ(s.ColorAt(50, 60), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(s.ColorAt(69, 60), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(s.ColorAt(51, 60), 0u);
  EXPECT_EQ(s.ColorAt(49, 60), 0u);
}

TEST_F(WindowState, TheDefaultProcedureAnswersAndClosesOnTheSystemCommand) {
  HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, RECT{0, 0, 100, 100});
  HWND child = Make(WS_CHILD | WS_VISIBLE, top, 0, RECT{5, 6, 25, 36});
  const HFONT font = 0x1234;
  EXPECT_EQ(SendMessageA(child, WM_GETFONT, 0, 0), 0);
  SendMessageA(child, WM_SETFONT, font, 0);
  EXPECT_EQ(SendMessageA(child, WM_GETFONT, 0, 0), static_cast<LRESULT>(font));
  EXPECT_EQ(SendMessageA(top, WM_MOUSEACTIVATE, top, 0), MA_ACTIVATE);
  EXPECT_EQ(SendMessageA(top, WM_QUERYENDSESSION, 0, 0), TRUE);
  // A destroyed child leaves its place in the parent to be painted again.
  ValidateRect(top, nullptr);
  DestroyWindow(child);
  RECT update;
  ASSERT_TRUE(GetUpdateRect(top, &update, FALSE));
  EXPECT_EQ(std::tie(update.left, update.top, update.right, update.bottom), std::make_tuple(5, 6, 25, 36));
  seen.clear();
  SendMessageA(top, WM_SYSCOMMAND, SC_CLOSE | 2, 0);  // the low bits are the system's own
  EXPECT_FALSE(IsWindow(top));
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[0].message, WM_CLOSE);
}

}  // namespace

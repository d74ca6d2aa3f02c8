#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/windows/messages.h"
#include "platform/windows/window.h"
#include "platform/windows/window_surface.h"

namespace {

using namespace platform;

struct Logged {
  HWND hwnd;
  UINT message;
};
std::vector<Logged> logged;

LRESULT LoggingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) logged.push_back({hwnd, message});
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT RefusingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) return -1;
  return LoggingProc(hwnd, message, wParam, lParam);
}

class Windows : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA wc;
    wc.lpfnWndProc = LoggingProc;
    wc.lpszClassName = "TestWindow";
    RegisterClassA(&wc);
    wc.lpfnWndProc = RefusingProc;
    wc.lpszClassName = "RefusingWindow";
    RegisterClassA(&wc);
  }
  void SetUp() override { logged.clear(); }
  HWND Top(DWORD style = WS_CAPTION | WS_SYSMENU, DWORD ex = 0, int w = 501, int h = 501) {
    return CreateWindowExA(ex, "TestWindow", "top", style, 100, 50, w, h, 0, 0, nullptr);
  }
  HWND Child(HWND parent, int x, int y, int w, int h, DWORD style = WS_VISIBLE) {
    return CreateWindowExA(0, "TestWindow", "", WS_CHILD | style, x, y, w, h, parent, 0, nullptr);
  }
  std::vector<UINT> MessagesOf(HWND hwnd) {
    std::vector<UINT> out;
    for (auto& l : logged)
      if (l.hwnd == hwnd) out.push_back(l.message);
    return out;
  }
};

TEST_F(Windows, CreationAndDestructionSendTheLifecycleMessagesInOrder) {
  HWND top = Top(WS_CAPTION | WS_VISIBLE);
  HWND child = Child(top, 0, 0, 10, 10);
  EXPECT_EQ(MessagesOf(top), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW, WM_NCACTIVATE,
                                                WM_ACTIVATE, WM_SETFOCUS}));
  logged.clear();
  ASSERT_TRUE(DestroyWindow(top));
  // Destroy reaches the parent first, final destroy the child first.
  std::vector<std::pair<HWND, UINT>> seq;
  for (auto& l : logged) seq.push_back({l.hwnd, l.message});
  EXPECT_EQ(seq, (std::vector<std::pair<HWND, UINT>>{
                     {top, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {top, WM_NCDESTROY}}));
  EXPECT_FALSE(IsWindow(top));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(DestroyWindow(top));
}

TEST_F(Windows, RefusedCreationLeavesNoWindow) {
  HWND h = CreateWindowExA(0, "RefusingWindow", "", 0, 0, 0, 10, 10, 0, 0, nullptr);
  EXPECT_EQ(h, 0u);
  ASSERT_FALSE(logged.empty());
  EXPECT_EQ(logged.back().message, WM_NCDESTROY);
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, 0, 0, nullptr), 0u);
  EXPECT_EQ(CreateWindowExA(0, "TestWindow", "", WS_CHILD, 0, 0, 1, 1, 0x12345, 0, nullptr), 0u);
}

TEST_F(Windows, FrameMetricsGiveTheToolWindowItsClientArea) {
  HWND top = Top(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
  RECT client;
  GetClientRect(top, &client);
  EXPECT_EQ(client.right, 495);
  EXPECT_EQ(client.bottom, 472);
  POINT p{0, 0};
  ClientToScreen(top, &p);
  EXPECT_EQ(p.x, 103);
  EXPECT_EQ(p.y, 76);
  RECT sizable{0, 0, 100, 100};
  AdjustWindowRectEx(&sizable, WS_CAPTION | WS_THICKFRAME, FALSE, WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE);
  EXPECT_EQ(sizable.left, -6);
  EXPECT_EQ(sizable.top, -23);
  EXPECT_EQ(sizable.right, 106);
  DestroyWindow(top);
}

TEST_F(Windows, VisibilityAndEnabledStateFollowTheParents) {
  HWND top = Top();
  HWND child = Child(top, 0, 0, 10, 10);
  EXPECT_FALSE(IsWindowVisible(child));  // parent hidden
  ShowWindow(top, SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_FALSE(EnableWindow(child, FALSE));
  EXPECT_FALSE(IsWindowEnabled(child));
  EXPECT_TRUE(EnableWindow(child, TRUE));  // was disabled
  EXPECT_EQ(GetParent(child), top);
  DestroyWindow(top);
}

TEST_F(Windows, ZOrderPutsNewChildrenOnTopAndMovesOnRequest) {
  HWND top = Top();
  HWND a = Child(top, 0, 0, 5, 5), b = Child(top, 0, 0, 5, 5), c = Child(top, 0, 0, 5, 5);
  EXPECT_EQ(GetWindow(top, GW_CHILD), c);
  EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), b);
  SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(top, GW_CHILD), b);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), c);
  SetWindowPos(c, b, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // just below b
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), c);
  DestroyWindow(top);
}

TEST_F(Windows, OwnedWindowsAreDestroyedWithTheirOwner) {
  HWND owner = Top();
  HWND owned = CreateWindowExA(0, "TestWindow", "", WS_POPUP, 0, 0, 5, 5, owner, 0, nullptr);
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
  logged.clear();
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(owned));
  ASSERT_FALSE(logged.empty());
  EXPECT_EQ(logged.front().hwnd, owned);
}

TEST_F(Windows, DrawTargetIsClippedBySiblingsChildrenAndTheParent) {
  HWND top = Top(WS_CAPTION | WS_VISIBLE);
  HWND box = Child(top, 20, 30, 100, 100);
  HWND over = Child(top, 70, 30, 100, 50);  // covers the box's right half of the top 50 rows
  HWND inner = Child(box, 0, 0, 10, 10);
  HWND outside = Child(top, 600, 0, 100, 100);  // beyond the 495-pixel client width
  WindowDrawTarget target;
  ASSERT_TRUE(QueryWindowDrawTarget(box, &target));
  ASSERT_TRUE(target.surface);
  EXPECT_EQ(target.surface->Width(), 495);
  EXPECT_EQ(target.origin.x, 20);
  EXPECT_EQ(target.origin.y, 30);
  long area = 0;
  for (const RECT& r : target.visible) area += static_cast<long>(r.Width()) * r.Height();
  EXPECT_EQ(area, 100 * 100 - 50 * 50 - 10 * 10);
  ASSERT_TRUE(QueryWindowDrawTarget(outside, &target));
  EXPECT_TRUE(target.visible.empty());
  ShowWindow(over, SW_HIDE);
  ASSERT_TRUE(QueryWindowDrawTarget(box, &target));
  area = 0;
  for (const RECT& r : target.visible) area += static_cast<long>(r.Width()) * r.Height();
  EXPECT_EQ(area, 100 * 100 - 10 * 10);
  (void)inner;
  DestroyWindow(top);
}

TEST_F(Windows, HitTestingFindsTheDeepestVisibleChild) {
  HWND top = Top(WS_CAPTION | WS_VISIBLE);
  HWND box = Child(top, 24, 72, 182, 182);
  HWND hidden = Child(top, 24, 72, 182, 182, 0);
  EXPECT_EQ(ChildWindowFromPointDeep(top, POINT{115, 163}), box);
  EXPECT_EQ(ChildWindowFromPointDeep(top, POINT{5, 5}), top);
  EXPECT_EQ(ChildWindowFromPointDeep(top, POINT{900, 5}), 0u);
  (void)hidden;
  DestroyWindow(top);
}

std::thread::id procThread;
LRESULT ThreadRecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER + 1) {
    procThread = std::this_thread::get_id();
    return static_cast<LRESULT>(wParam * 2);
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST(MessageQueue, SendFromAnotherThreadRunsOnTheWindowsThread) {
  WNDCLASSA wc;
  wc.lpfnWndProc = ThreadRecordingProc;
  wc.lpszClassName = "ThreadWindow";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, "ThreadWindow", "", 0, 0, 0, 1, 1, 0, 0, nullptr);
  LRESULT answer = 0;
  std::thread sender([&] { answer = SendMessageA(hwnd, WM_USER + 1, 21, 0); });
  MSG msg;
  for (int i = 0; i < 2000 && answer == 0; ++i) {
    PeekMessageA(&msg, 0, 0, 0, PM_REMOVE);
    Sleep(1);
  }
  sender.join();
  EXPECT_EQ(answer, 42);
  EXPECT_EQ(procThread, std::this_thread::get_id());
  DestroyWindow(hwnd);
}

TEST(MessageQueue, QuitComesAfterPostedMessagesWithItsCode) {
  PostQuitMessage(3);
  PostMessageA(0, WM_USER + 9, 1, 2);
  MSG msg;
  ASSERT_TRUE(GetMessageA(&msg, 0, 0, 0));
  EXPECT_EQ(msg.message, WM_USER + 9u);
  EXPECT_FALSE(GetMessageA(&msg, 0, 0, 0));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_FALSE(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE));
}

TEST(MessageQueue, PaintIsGeneratedUntilValidated) {
  static int paints = 0;
  WNDCLASSA wc;
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_PAINT) ++paints;
    return DefWindowProcA(h, m, w, l);  // validates
  };
  wc.lpszClassName = "PaintWindow";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, "PaintWindow", "", WS_VISIBLE, 0, 0, 10, 10, 0, 0, nullptr);
  MSG msg;
  while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  EXPECT_EQ(paints, 1);
  InvalidateRect(hwnd, nullptr, TRUE);
  while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  EXPECT_EQ(paints, 2);
  DestroyWindow(hwnd);
}

}  // namespace

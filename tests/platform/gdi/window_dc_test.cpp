// DCs on windows draw into the top-level window's surface, clipped to the
// window's visible part; a child outside its parent's client draws nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <latch>
#include <thread>

#include "gdi_test_util.h"
#include "platform/windows/window.h"
#include "platform/windows/window_dc.h"
#include "platform/windows/window_surface.h"

using namespace gdi_test;

namespace {

LRESULT PlainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

class WindowDcs : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA wc;
    wc.lpfnWndProc = PlainProc;
    wc.lpszClassName = "GdiTestWindow";
    RegisterClassA(&wc);
  }
  void SetUp() override {
    // A popup without frame: its client area is its whole 100 x 80 rectangle.
    top_ = CreateWindowExA(0, "GdiTestWindow", "t", WS_POPUP | WS_VISIBLE, 10, 10, 100, 80, 0, 0, nullptr);
    ASSERT_NE(top_, 0u);
    ShowWindow(top_, SW_SHOW);
    WindowDrawTarget where;
    ASSERT_TRUE(QueryWindowDrawTarget(top_, &where));
    surface_ = where.surface;
    if (!surface_) GTEST_SKIP() << "the window side gives this window no surface";
    surface_->Fill(RGB(0, 0, 0));
  }
  void TearDown() override {
    if (top_) DestroyWindow(top_);
  }
  HWND Child(int x, int y, int w, int h) {
    return CreateWindowExA(0, "GdiTestWindow", "c", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y, w, h, top_, 0,
                           nullptr);
  }
  HWND top_ = 0;
  std::shared_ptr<Surface> surface_;
};

}  // namespace

TEST_F(WindowDcs, ChildDrawsAtItsOriginInsideItsRectangle) {
  HWND child = Child(20, 30, 10, 10);
  ASSERT_NE(child, 0u);
  HDC dc = GetDC(child);
  ASSERT_NE(dc, 0u);
  // Far larger than the child: only its 10 x 10 pixels may change.
  EXPECT_TRUE(PatBlt(dc, -50, -50, 500, 500, WHITENESS));
  EXPECT_EQ(surface_->ColorAt(20, 30), 0xFFFFFFu);
  EXPECT_EQ(surface_->ColorAt(29, 39), 0xFFFFFFu);
  EXPECT_EQ(surface_->ColorAt(19, 30), 0u);
  EXPECT_EQ(surface_->ColorAt(30, 39), 0u);
  RECT box;
  GetClipBox(dc, &box);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.right, 10);
  EXPECT_EQ(ReleaseDC(child, dc), 1);
  DestroyWindow(child);
}

TEST_F(WindowDcs, SiblingAboveCutsTheDrawing) {
  HWND below = Child(0, 0, 20, 20);
  HWND above = Child(10, 0, 20, 20);  // created later: on top
  HDC dc = GetDC(below);
  PatBlt(dc, 0, 0, 20, 20, WHITENESS);
  EXPECT_EQ(surface_->ColorAt(5, 5), 0xFFFFFFu);
  EXPECT_EQ(surface_->ColorAt(15, 5), 0u);
  ReleaseDC(below, dc);
  DestroyWindow(above);
  DestroyWindow(below);
}

TEST_F(WindowDcs, ChildOutsideItsParentDrawsNothing) {
  HWND outside = Child(584, 160, 2160, 2160);
  ASSERT_NE(outside, 0u);
  HDC dc = GetDC(outside);
  ASSERT_NE(dc, 0u);
  Canvas picture(64, 64, RGB(255, 255, 255));
  SetStretchBltMode(dc, HALFTONE);
  EXPECT_TRUE(StretchBlt(dc, 0, 0, 2160, 2160, picture.dc(), 0, 0, 64, 64, SRCCOPY));
  EXPECT_TRUE(BitBlt(dc, 0, 0, 2160, 2160, picture.dc(), 0, 0, SRCCOPY));
  for (int y = 0; y < 80; y += 7)
    for (int x = 0; x < 100; x += 7) ASSERT_EQ(surface_->ColorAt(x, y), 0u) << x << "," << y;
  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), NULLREGION);
  ReleaseDC(outside, dc);
  DestroyWindow(outside);
}

TEST_F(WindowDcs, BlitOntoNothingVisibleDoesNoPixelWork) {
  HWND outside = Child(584, 160, 2160, 2160);
  HDC dc = GetDC(outside);
  Canvas picture(1500, 1500, RGB(9, 9, 9));
  Canvas visible(2160, 2160);
  SetStretchBltMode(dc, HALFTONE);
  SetStretchBltMode(visible.dc(), HALFTONE);
  auto time = [&](HDC target) {
    const auto start = std::chrono::steady_clock::now();
    StretchBlt(target, 0, 0, 2160, 2160, picture.dc(), 0, 0, 1500, 1500, SRCCOPY);
    return std::chrono::steady_clock::now() - start;
  };
  const auto real = time(visible.dc());
  const auto none = time(dc);
  // The resampling of 4.7 million pixels is skipped altogether.
  EXPECT_LT(none * 20, real);
  ReleaseDC(outside, dc);
  DestroyWindow(outside);
}

TEST_F(WindowDcs, TwoThreadsDrawingOnOneWindowNeverInterleave) {
  // Each thread inverts the whole window an even number of times; an
  // inversion lost between another thread's read and write would show.
  surface_->Fill(RGB(12, 34, 56));
  std::latch start(2);
  auto invert = [&] {
    HDC dc = GetDC(top_);
    start.arrive_and_wait();
    for (int i = 0; i < 3000; ++i) PatBlt(dc, 0, 0, 100, 80, DSTINVERT);
    ReleaseDC(top_, dc);
  };
  std::thread a(invert), b(invert);
  a.join();
  b.join();
  for (int y = 0; y < 80; y += 9)
    for (int x = 0; x < 100; x += 9) ASSERT_EQ(surface_->ColorAt(x, y), RGB(12, 34, 56)) << x << "," << y;
}

TEST_F(WindowDcs, PaintAndCopyBackFromTheWindow) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(top_, &ps);
  ASSERT_NE(dc, 0u);
  EXPECT_EQ(ps.rcPaint.right, 100);
  Owned brush(CreateSolidBrush(RGB(1, 2, 3)));
  RECT r{0, 0, 4, 4};
  FillRect(dc, &r, brush);
  EndPaint(top_, &ps);
  RECT update;
  EXPECT_FALSE(GetUpdateRect(top_, &update, FALSE)) << "painting validates the window";
  // Later paints draw only inside what was invalidated since.
  RECT part{2, 2, 3, 3};
  InvalidateRect(top_, &part, FALSE);
  dc = BeginPaint(top_, &ps);
  EXPECT_EQ(ps.rcPaint.left, 2);
  EXPECT_EQ(ps.rcPaint.right, 3);
  PatBlt(dc, 0, 0, 100, 80, WHITENESS);
  EndPaint(top_, &ps);
  EXPECT_EQ(surface_->ColorAt(2, 2), 0xFFFFFFu);
  EXPECT_EQ(surface_->ColorAt(20, 20), 0u);
  surface_->SetColorAt(2, 2, RGB(1, 2, 3));
  // What the window shows can be read back through its DC.
  HDC windowDc = GetDC(top_);
  Canvas copy(4, 4);
  BitBlt(copy.dc(), 0, 0, 4, 4, windowDc, 0, 0, SRCCOPY);
  EXPECT_EQ(copy.At(3, 3), RGB(1, 2, 3));
  ReleaseDC(top_, windowDc);
  EXPECT_EQ(GetDC(0xDEAD), 0u);
}

// An animation thread holds its DC while the window moves and grows.
TEST_F(WindowDcs, AHeldDcDrawsWhereTheWindowIsNow) {
  HWND child = Child(0, 0, 10, 10);
  HDC dc = GetDC(child);
  ASSERT_NE(dc, 0u);
  SetWindowPos(child, 0, 40, 30, 20, 20, SWP_NOZORDER);
  PatBlt(dc, 0, 0, 100, 100, WHITENESS);
  EXPECT_EQ(surface_->ColorAt(5, 5), 0u) << "drawn where the window was";
  EXPECT_EQ(surface_->ColorAt(40, 30), 0xFFFFFFu);
  EXPECT_EQ(surface_->ColorAt(59, 49), 0xFFFFFFu) << "the grown part is drawn too";
  EXPECT_EQ(surface_->ColorAt(60, 49), 0u);
  DestroyWindow(child);
  EXPECT_TRUE(PatBlt(dc, 0, 0, 100, 100, BLACKNESS)) << "a DC on a destroyed window draws nowhere";
  EXPECT_EQ(surface_->ColorAt(40, 30), 0xFFFFFFu);
  ReleaseDC(child, dc);
}

TEST_F(WindowDcs, APaintDcStaysInsideTheUpdateAreaWhenItsClipIsRemoved) {
  ValidateRect(top_, nullptr);
  RECT part{10, 10, 20, 20};
  InvalidateRect(top_, &part, FALSE);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(top_, &ps);
  ASSERT_NE(dc, 0u);
  Owned region(CreateRectRgn(0, 0, 100, 80));
  SelectClipRgn(dc, region);
  SelectClipRgn(dc, 0);
  PatBlt(dc, 0, 0, 100, 80, WHITENESS);
  RECT box;
  GetClipBox(dc, &box);
  EndPaint(top_, &ps);
  EXPECT_EQ(surface_->ColorAt(10, 10), 0xFFFFFFu);
  EXPECT_EQ(surface_->ColorAt(19, 19), 0xFFFFFFu);
  EXPECT_EQ(surface_->ColorAt(20, 20), 0u);
  EXPECT_EQ(surface_->ColorAt(5, 5), 0u);
  EXPECT_EQ(box.left, 10);
  EXPECT_EQ(box.right, 20);
}

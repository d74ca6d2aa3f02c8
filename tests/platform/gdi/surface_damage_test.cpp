// Damage on a window's surface: what the display is told and what it takes.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/raster/surface.h"
#include "platform/windows/native_events.h"
#include "platform/windows/window.h"
#include "platform/windows/window_dc.h"

namespace {

using namespace platform;

bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(SurfaceDamage, TheListenerHearsTheFirstChangeOnlyAndTakingReturnsTheClippedBounds) {
  auto surface = Surface::Create(100, 50);
  int heard = 0;
  surface->SetDamageListener([&] { ++heard; });
  surface->AddDamage(RECT{10, 10, 20, 20});
  surface->AddDamage(RECT{-5, 30, 15, 80});   // clipped to the surface
  surface->AddDamage(RECT{200, 0, 300, 10});  // wholly outside: nothing
  EXPECT_EQ(heard, 1);
  EXPECT_TRUE(Same(surface->TakeDamage(), RECT{0, 10, 20, 50}));
  EXPECT_TRUE(surface->TakeDamage().IsEmpty());
  surface->AddDamage(RECT{1, 1, 2, 2});
  EXPECT_EQ(heard, 2);
}

LRESULT PlainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Drawing through a DC on a child, from another thread, damages the
// child's part of its top-level window's surface.
TEST(SurfaceDamage, DrawingOnAChildFromAnotherThreadDamagesItsPart) {
  WNDCLASSA wc;
  wc.lpfnWndProc = PlainProc;
  wc.lpszClassName = "DamageWindow";
  RegisterClassA(&wc);
  HWND top = CreateWindowExA(0, "DamageWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, 0, 0, nullptr);
  HWND child = CreateWindowExA(0, "DamageWindow", "", WS_CHILD | WS_VISIBLE, 30, 20, 50, 40, top, 0, nullptr);
  auto surface = TopLevelSurface(top);
  ASSERT_TRUE(surface);
  surface->TakeDamage();
  std::thread([&] {
    HDC dc = GetDC(child);
    HBRUSH brush = CreateSolidBrush(0x123456);
    RECT r{5, 5, 500, 10};  // runs past the child: only its part is drawn
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(child, dc);
  }).join();
  EXPECT_TRUE(Same(surface->TakeDamage(), RECT{35, 25, 80, 30}));
  DestroyWindow(top);
}

}  // namespace

// System colours and metrics, cursors and the pointer, global memory,
// menus and accelerators.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/base/backend.h"
#include "platform/files/files.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/icons/cursor.h"
#include "platform/gdi/icons/icon.h"
#include "platform/memory/global_memory.h"
#include "platform/windows/menu.h"
#include "platform/windows/pointer.h"
#include "platform/windows/system_metrics.h"
#include "platform/windows/window.h"
#include "platform/windows/window_dc.h"

namespace {

using namespace platform;

std::vector<MSG> commands;
LRESULT PlainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) commands.push_back(MSG{hwnd, message, wParam, lParam, 0, {}});
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND MakeWindow(DWORD style, HWND parent, int x, int y, int w, int h) {
  static const bool registered = [] {
    WNDCLASSA wc;
    wc.lpfnWndProc = PlainProc;
    wc.lpszClassName = "ResourceWindow";
    return RegisterClassA(&wc) != 0;
  }();
  (void)registered;
  return CreateWindowExA(0, "ResourceWindow", "", style, x, y, w, h, parent, 0, nullptr);
}

TEST(SystemMetrics, AgreeWithTheScreenAndTheFrameRules) {
  const SIZE screen = ScreenSize();
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), screen.cx);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), screen.cy);
  struct Case {
    DWORD style, exStyle;
    int side, top;  // what AdjustWindowRectEx adds
  };
  const int fixed = GetSystemMetrics(SM_CXFIXEDFRAME), sizing = GetSystemMetrics(SM_CXSIZEFRAME);
  const int caption = GetSystemMetrics(SM_CYCAPTION), tool = GetSystemMetrics(SM_CYSMCAPTION);
  const int edge = GetSystemMetrics(SM_CXEDGE);
  const Case cases[] = {
      {WS_CAPTION | WS_SYSMENU, 0, fixed, fixed + caption},
      {WS_CAPTION | WS_THICKFRAME, WS_EX_TOOLWINDOW, sizing, sizing + tool},
      {WS_POPUP, WS_EX_CLIENTEDGE, edge, edge},
      {WS_CHILD | WS_BORDER, 0, GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER)},
  };
  for (const Case& c : cases) {
    RECT r{0, 0, 100, 100};
    AdjustWindowRectEx(&r, c.style, FALSE, c.exStyle);
    EXPECT_EQ(-r.left, c.side) << std::hex << c.style;
    EXPECT_EQ(-r.top, c.top) << std::hex << c.style;
  }
  EXPECT_EQ(fixed, 3);
  EXPECT_EQ(caption, 23);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), 0xF0F0F0u);
  EXPECT_EQ(GetSysColor(99), 0u);
  // The colour's brush is shared: it paints the colour and survives deletion.
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  ASSERT_NE(face, 0u);
  EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), face);
  DeleteObject(face);
  LOGBRUSH info{};
  ASSERT_EQ(GetObjectA(face, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.lbColor, 0xF0F0F0u);
  EXPECT_EQ(GetSysColorBrush(-1), 0u);
}

// A cursor file with one 2 x 2 32-bit image and the given hot spot.
std::vector<uint8_t> CursorFile(uint16_t hotX, uint16_t hotY, uint32_t declaredBytes = 0) {
  std::vector<uint8_t> f;
  auto put16 = [&](uint32_t v) {
    f.push_back(v & 0xFF);
    f.push_back(v >> 8 & 0xFF);
  };
  auto put32 = [&](uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  const uint32_t image = 40 + 2 * 8 + 2 * 4;  // header, colour rows, mask rows
  put16(0);
  put16(2);
  put16(1);  // reserved, type cursor, one image
  f.push_back(2);
  f.push_back(2);
  f.push_back(0);
  f.push_back(0);  // width, height, colours, reserved
  put16(hotX);
  put16(hotY);
  put32(declaredBytes ? declaredBytes : image);
  put32(6 + 16);  // image offset
  put32(40);
  put32(2);
  put32(4);  // size, width, height counting both halves
  put16(1);
  put16(32);  // planes, bits
  for (int i = 0; i < 6; ++i) put32(0);
  for (int i = 0; i < 4; ++i) put32(0x00FF0000);  // colour rows: red
  for (int i = 0; i < 2; ++i) put32(0);           // AND mask: all drawn
  return f;
}

TEST(Cursors, SystemCursorsAreSharedAndFileCursorsKeepTheirHotSpot) {
  const uintptr_t ids[] = {IDC_ARROW,  IDC_IBEAM,  IDC_WAIT,    IDC_CROSS, IDC_UPARROW, IDC_SIZENWSE,    IDC_SIZENESW,
                           IDC_SIZEWE, IDC_SIZENS, IDC_SIZEALL, IDC_NO,    IDC_HAND,    IDC_APPSTARTING, IDC_HELP};
  std::vector<HCURSOR> seen;
  for (uintptr_t id : ids) {
    HCURSOR c = LoadCursorA(0, id);
    ASSERT_NE(c, 0u) << id;
    EXPECT_EQ(LoadCursorA(0, id), c);
    EXPECT_TRUE(DestroyCursor(c));
    EXPECT_EQ(LoadCursorA(0, id), c) << "a shared cursor outlives DestroyCursor";
    EXPECT_EQ(std::count(seen.begin(), seen.end(), c), 0);
    seen.push_back(c);
  }
  EXPECT_EQ(LoadCursorA(0, 32517), 0u);
  EXPECT_EQ(LoadCursorA(0x1234, IDC_ARROW), 0u);

  const std::vector<uint8_t> file = CursorFile(1, 0);
  HCURSOR made = CreateCursorFromFileData(file.data(), file.size());
  ASSERT_NE(made, 0u);
  POINT hot{};
  ASSERT_TRUE(GetCursorHotspot(made, &hot));
  EXPECT_EQ(hot.x, 1);
  EXPECT_EQ(hot.y, 0);
  {
    // It draws as the icon it is made of.
    HDC screen = GetDC(0);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 2, 2);
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_TRUE(DrawIconEx(dc, 0, 0, made, 0, 0, 0, 0, DI_NORMAL));
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 0, 0));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(0, screen);
  }
  const HCURSOR arrow = LoadCursorA(0, IDC_ARROW);
  SetCursor(0);
  EXPECT_EQ(SetCursor(made), 0u);
  EXPECT_EQ(SetCursor(arrow), made);
  EXPECT_EQ(GetCursor(), arrow);
  EXPECT_TRUE(DestroyCursor(made));
  EXPECT_FALSE(DestroyCursor(made));

  // Bytes that lie beyond the file, a truncated directory, an icon file.
  const std::vector<uint8_t> beyond = CursorFile(0, 0, 1000);
  EXPECT_EQ(CreateCursorFromFileData(beyond.data(), beyond.size()), 0u);
  EXPECT_EQ(CreateCursorFromFileData(file.data(), 10), 0u);
  std::vector<uint8_t> icon = file;
  icon[2] = 1;
  EXPECT_EQ(CreateCursorFromFileData(icon.data(), icon.size()), 0u);
}

TEST(Cursors, MovingThePointerTellsTheWindowUnderIt) {
  HWND top = MakeWindow(WS_POPUP | WS_VISIBLE, 0, 300, 200, 100, 100);
  SetWindowPos(top, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  HWND child = MakeWindow(WS_CHILD | WS_VISIBLE, top, 10, 20, 30, 30);
  MSG msg;
  while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  ASSERT_TRUE(SetCursorPos(315, 225));
  POINT at{};
  GetCursorPos(&at);
  EXPECT_EQ(at.x, 315);
  ASSERT_TRUE(PeekMessageA(&msg, 0, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, child);
  EXPECT_EQ(msg.lParam, (5 << 16) | 5);
  SetCursorPos(-50, 99999);  // kept on the screen
  GetCursorPos(&at);
  EXPECT_EQ(at.x, 0);
  EXPECT_EQ(at.y, ScreenSize().cy - 1);
  DestroyWindow(top);
}

TEST(GlobalMemory, BlocksLockUnlockGrowAndRefuseBadSizes) {
  HGLOBAL block = GlobalAlloc(GHND, 16);
  ASSERT_NE(block, 0u);
  EXPECT_EQ(GlobalSize(block), 16u);
  auto* bytes = static_cast<uint8_t*>(GlobalLock(block));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(std::count(bytes, bytes + 16, 0), 16) << "GMEM_ZEROINIT";
  std::memcpy(bytes, "tessellon-block!", 16);
  EXPECT_EQ(GlobalLock(block), bytes);
  EXPECT_EQ(GlobalReAlloc(block, 64, GMEM_MOVEABLE), 0u) << "locked bytes may not move";
  EXPECT_TRUE(GlobalUnlock(block));
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_EQ(GetLastError(), ERROR_NOT_LOCKED);
  ASSERT_EQ(GlobalReAlloc(block, 64, GMEM_MOVEABLE | GMEM_ZEROINIT), block);
  EXPECT_EQ(GlobalSize(block), 64u);
  bytes = static_cast<uint8_t*>(GlobalLock(block));
  EXPECT_EQ(std::memcmp(bytes, "tessellon-block!", 16), 0);
  EXPECT_EQ(std::count(bytes + 16, bytes + 64, 0), 48);
  GlobalUnlock(block);
  EXPECT_EQ(GlobalFree(block), 0u);
  EXPECT_EQ(GlobalLock(block), nullptr);
  EXPECT_EQ(GlobalFree(block), block);
  EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, 0), 0u);
  EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, SIZE_MAX), 0u);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, kMaxGlobalBlock + 1), 0u);
}

TEST(Menus, SystemMenuAMenuBarAndAccelerators) {
  HWND top = MakeWindow(WS_CAPTION | WS_SYSMENU, 0, 0, 0, 200, 200);
  HMENU system = GetSystemMenu(top, FALSE);
  ASSERT_NE(system, 0u);
  EXPECT_EQ(GetSystemMenu(top, FALSE), system);
  EXPECT_EQ(GetMenuItemCount(system), 7);
  const UINT expected[] = {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, 0, SC_CLOSE};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(GetMenuItemID(system, i), expected[i]) << i;
  EXPECT_TRUE(RemoveMenu(system, SC_CLOSE, MF_BYCOMMAND));
  EXPECT_FALSE(RemoveMenu(system, SC_CLOSE, MF_BYCOMMAND));
  EXPECT_EQ(GetMenuItemCount(system), 6);

  RECT before, after;
  GetClientRect(top, &before);
  HMENU bar = CreateMenu();
  HMENU popup = CreatePopupMenu();
  ASSERT_TRUE(AppendMenuA(bar, MF_POPUP, popup, "&File"));
  EXPECT_FALSE(AppendMenuA(popup, MF_POPUP, bar, "loop")) << "a menu may not hold itself";
  ASSERT_TRUE(SetMenu(top, bar));
  EXPECT_EQ(GetMenu(top), bar);
  GetClientRect(top, &after);
  EXPECT_EQ(after.bottom, before.bottom - GetSystemMetrics(SM_CYMENU));
  HWND child = MakeWindow(WS_CHILD, top, 0, 0, 5, 5);
  EXPECT_FALSE(SetMenu(child, bar));

  const ACCEL table[] = {{FVIRTKEY | FCONTROL, 'A', 11}, {FVIRTKEY, 'A', 12}, {FVIRTKEY | FALT, 'X', 13}};
  HACCEL accel = CreateAcceleratorTableA(table, 3);
  ASSERT_NE(accel, 0u);
  commands.clear();
  MSG key{top, WM_KEYDOWN, 'A', 0, 0, {}};
  EXPECT_EQ(TranslateAcceleratorA(top, accel, &key), 1);
  MSG other{top, WM_KEYDOWN, 'X', 0, 0, {}};
  EXPECT_EQ(TranslateAcceleratorA(top, accel, &other), 0) << "Alt entries want the system key";
  other.message = WM_SYSKEYDOWN;
  EXPECT_EQ(TranslateAcceleratorA(top, accel, &other), 1);
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].wParam, (WPARAM{1} << 16) | 12);
  EXPECT_EQ(commands[1].wParam, (WPARAM{1} << 16) | 13);
  EXPECT_TRUE(DestroyAcceleratorTable(accel));
  EXPECT_FALSE(DestroyAcceleratorTable(accel));
  EXPECT_EQ(CreateAcceleratorTableA(table, 0), 0u);

  DestroyWindow(top);  // its menus go with it
  EXPECT_EQ(GetMenuItemCount(system), -1);
  EXPECT_EQ(GetMenuItemCount(bar), -1);
  EXPECT_EQ(GetMenuItemCount(popup), -1);
}

}  // namespace

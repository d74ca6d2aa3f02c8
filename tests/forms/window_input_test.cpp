// What the window does with keys, the mouse and pointers as its block and its
// units' records say: Esc, Enter, Tab and F1, dragging by the client area,
// and the pointer each unit shows.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "forms_fixture.h"
#include "platform/gdi/icons/cursor.h"
#include "platform/windows/keyboard.h"
#include "platform/windows/native_events.h"
#include "platform/windows/pointer.h"
#include "platform/windows/window.h"
#include "runtime/core/memory.h"
#include "runtime/core/message_pump.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/services.h"
#include "runtime/forms/window_table.h"
#include "runtime/units/window/window_block.h"

namespace forms_test {

using runtime::services::Services;
namespace {

using namespace runtime;
using namespace platform;
using units::window::WindowBlock;

constexpr UnitId kFirst = 0x16010001;      // tab order 3
constexpr UnitId kSecond = 0x16010002;     // tab order 1
constexpr UnitId kDisabled = 0x16010003;   // tab order 2, disabled
constexpr UnitId kNoTabStop = 0x16010004;  // tab order 0, not a tab stop
constexpr UnitId kThird = 0x16010005;      // tab order 2

HWND HandleOf(UnitId unit) {
  auto* object = reinterpret_cast<UnitObject*>(NotifyRuntime(notify::kFindUnitObject, kWindow, unit));
  return object ? object->WindowHandle() : 0;
}

Bytes BlockBytes(const WindowBlock& block) { return units::window::WriteWindowBlock(block); }

// A cursor file of one 2 x 2 image, 32 bits, hot spot (1, 0).
Bytes CursorFile() {
  Bytes b;
  auto put16 = [&b](uint16_t v) { b.insert(b.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}); };
  put16(0), put16(2), put16(1);      // reserved, cursor, one image
  b.insert(b.end(), {2, 2, 0, 0});   // width, height, colours, reserved
  put16(1), put16(0);                // hot spot
  Put(b, 40 + 16 + 8), Put(b, 22);   // image bytes, offset
  Put(b, 40), Put(b, 2), Put(b, 4);  // header size, width, height (image and mask)
  put16(1), put16(32);               // planes, bits
  for (int i = 0; i < 6; ++i) Put(b, 0);
  for (int i = 0; i < 4; ++i) Put(b, 0xFF000000);  // black, opaque
  for (int i = 0; i < 2; ++i) Put(b, 0);           // AND mask rows: all drawn
  return b;
}

class WindowInput : public FormsTest {
 protected:
  // The window with its block (none: an empty block) and five test units.
  void Load(const WindowBlock* block, const std::function<void(Window&)>& adjust = nullptr) {
    Record window = WindowRecord();
    window.block = block ? BlockBytes(*block) : Bytes{};
    Window w{kWindow, {window}};
    const std::pair<UnitId, int32_t> units[] = {
        {kFirst, 3}, {kSecond, 1}, {kDisabled, 2}, {kNoTabStop, 0}, {kThird, 2}};
    int32_t left = 10;
    for (auto [id, tabOrder] : units) {
      Record r = UnitRecord(id, kTestUnitType, left, 10);
      r.tabOrder = tabOrder;
      r.flags = id == kDisabled ? 1 | 2 | 4 : id == kNoTabStop ? 1 : 1 | 4;
      w.records.push_back(r);
      left += 50;
    }
    if (adjust) adjust(w);
    Start({w});
    Services().LoadWindow(kWindow);
    hwnd_ = HandleOf(0);
    ASSERT_TRUE(hwnd_);
  }
  // A key pressed and released as the display gives it, then what follows.
  void Press(UINT key, const char* typed = "", bool shift = false) {
    if (shift) NativeKey(hwnd_, VK_SHIFT, true);
    NativeKey(hwnd_, key, true, typed);
    NativeKey(hwnd_, key, false);
    if (shift) NativeKey(hwnd_, VK_SHIFT, false);
    ProcessPendingMessages();
  }
  RECT Rect() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return r;
  }

  HWND hwnd_ = 0;
};

TEST_F(WindowInput, KeysActAsTheBlockSays) {
  constexpr UnitId kClosed = 1;
  struct Case {
    char block;    // 0 an empty block, 'n' no option on, 'e' Enter moves the focus, 'h' F1 opens help
    UnitId focus;  // 0: the window itself
    UINT key;
    const char* typed;
    bool shift;
    UnitId keeps;         // a unit whose key query claims the key
    UnitId focusAfter;    // kClosed: the window closed
    const char* unitSaw;  // the key and character messages the units had
  };
  const Case cases[] = {
      {0, kFirst, VK_ESCAPE, "\x1B", false, 0, kClosed, ""},  // the empty block's default
      {'n', kFirst, VK_ESCAPE, "\x1B", false, 0, kFirst, "key 16010001 1B,char 16010001 1B,"},
      {0, kFirst, VK_ESCAPE, "\x1B", false, kFirst, kFirst, "key 16010001 1B,char 16010001 1B,"},
      {'e', kSecond, VK_RETURN, "\r", false, 0, kThird, ""},
      {'n', kSecond, VK_RETURN, "\r", false, 0, kSecond, "key 16010002 D,char 16010002 D,"},
      // Tab order 1, 2, 3: the disabled unit and the one without a tab stop are passed over.
      {'n', kSecond, VK_TAB, "\t", false, 0, kThird, ""},
      {'n', kFirst, VK_TAB, "\t", false, 0, kSecond, ""},
      {'n', kSecond, VK_TAB, "\t", true, 0, kFirst, ""},
      {'n', 0, VK_TAB, "\t", false, 0, kSecond, ""},
      {'n', kSecond, VK_TAB, "\t", false, kSecond, kSecond, "key 16010002 9,char 16010002 9,"},
      {'h', kFirst, VK_F1, "", false, 0, kFirst, ""},  // no such help file: F1 is still the window's
      {'n', kFirst, VK_F1, "", false, 0, kFirst, "key 16010001 70,"},
      {0, kThird, 'A', "a", false, 0, kThird, "key 16010005 41,char 16010005 61,"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.key << " from " << std::hex << c.focus << (c.shift ? " with Shift" : ""));
    SetUp();
    WindowBlock block;
    block.escCloses = 0;
    block.enterMovesFocus = c.block == 'e';
    block.f1Help = c.block == 'h';
    block.helpFile = "/nonexistent/help.hlp";
    Load(c.block ? &block : nullptr);
    if (c.keeps) Services().SetProperty(kWindow, c.keeps, 8, -1, static_cast<uint64_t>(c.key));
    SetFocus(c.focus ? HandleOf(c.focus) : hwnd_);
    ProcessPendingMessages();
    Log().clear();
    Press(c.key, c.typed, c.shift);
    EXPECT_EQ(c.focusAfter == kClosed, !IsWindow(hwnd_));
    if (c.focusAfter != kClosed) {
      EXPECT_EQ(GetFocus(), HandleOf(c.focusAfter));
    }
    std::string unitSaw;
    for (const std::string& line : Log())
      if ((line.starts_with("key ") && !line.ends_with(" 10")) || line.starts_with("char "))  // not Shift itself
        unitSaw += line + ",";
    EXPECT_EQ(unitSaw, c.unitSaw);
    TearDown();
  }
  SetUp();
}

TEST_F(WindowInput, DraggingByTheClientAreaMovesTheWindow) {
  for (int32_t drag : {0, 1}) {
    SCOPED_TRACE(drag);
    SetUp();
    WindowBlock block;
    block.dragByClient = drag;
    Load(&block);
    const RECT before = Rect();
    // Pressed on the window's own client area, away from the units.
    NativeMouse(hwnd_, WM_LBUTTONDOWN, POINT{200, 150}, 1);
    ProcessPendingMessages();
    NativeMouse(hwnd_, WM_MOUSEMOVE, POINT{230, 165}, 1);
    ProcessPendingMessages();
    // The window moved with the pointer, so the pointer is again over the point pressed, then 5 further right.
    NativeMouse(hwnd_, WM_MOUSEMOVE, POINT{205, 150}, 1);
    ProcessPendingMessages();
    NativeMouse(hwnd_, WM_LBUTTONUP, POINT{205, 150}, 0);
    ProcessPendingMessages();
    NativeMouse(hwnd_, WM_MOUSEMOVE, POINT{260, 150}, 0);  // released: no more moving
    ProcessPendingMessages();
    const RECT after = Rect();
    EXPECT_EQ(after.left - before.left, drag ? 35 : 0);
    EXPECT_EQ(after.top - before.top, drag ? 15 : 0);
    EXPECT_EQ(after.Width(), before.Width());
    TearDown();
  }
  SetUp();
}

TEST_F(WindowInput, TheTitleKeepsItsActiveLookWhenAsked) {
  for (int32_t keep : {0, 1}) {
    SCOPED_TRACE(keep);
    SetUp();
    WindowBlock block;
    block.keepTitleActive = keep;
    Load(&block);
    WINDOWINFO info;
    ASSERT_TRUE(GetWindowInfo(hwnd_, &info));
    EXPECT_EQ(info.dwWindowStatus, WS_ACTIVECAPTION);
    HWND other = CreateWindowExA(0, "TestUnit", "", WS_CAPTION, 0, 0, 50, 50, 0, 0, nullptr);
    ShowWindow(other, SW_SHOW);  // takes the activation
    ASSERT_NE(GetActiveWindow(), hwnd_);
    ASSERT_TRUE(GetWindowInfo(hwnd_, &info));
    EXPECT_EQ(info.dwWindowStatus, keep ? WS_ACTIVECAPTION : 0u);
    DestroyWindow(other);
    TearDown();
  }
  SetUp();
}

TEST_F(WindowInput, UnitsShowTheirPointers) {
  const Bytes cursorFile = CursorFile();
  auto pointer = [](int32_t name, const Bytes& file = {}) {
    Bytes b;
    Put(b, static_cast<uint32_t>(name));
    b.insert(b.end(), file.begin(), file.end());
    return b;
  };
  Load(nullptr, [&](Window& w) {
    w.records[0].pointer = pointer(32516);           // the window: the up arrow
    w.records[1].pointer = pointer(32515);           // first unit: the cross
    w.records[2].pointer = pointer(-1, cursorFile);  // second unit: from the file
    w.records[5].pointer = pointer(0);               // third: none of its own
  });
  const HCURSOR fromFile = static_cast<HCURSOR>(forms::Windows()->Find(kWindow)->units.CursorSlot(2));
  ASSERT_NE(fromFile, 0u);
  POINT hotspot{};
  ASSERT_TRUE(GetCursorHotspot(fromFile, &hotspot));
  EXPECT_EQ(hotspot.x, 1);
  struct Case {
    POINT at;  // client point of the window
    HCURSOR shown;
  };
  const Case cases[] = {
      {{15, 15}, LoadCursorA(0, IDC_CROSS)},      // over the first unit
      {{65, 15}, fromFile},                       // the second
      {{200, 150}, LoadCursorA(0, IDC_UPARROW)},  // the window's own client area
      {{215, 15}, LoadCursorA(0, IDC_ARROW)},     // the third: its class arrow
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.at.x);
    EXPECT_EQ(NativeMouse(hwnd_, WM_MOUSEMOVE, c.at, 0), c.shown);
  }
  // A pointer set while the pointer rests on the unit shows at once.
  HeapBlock hand(CopyBytes("\x0E\0\0\0", 4));
  Services().SetProperty(kWindow, kThird, 7, -1, reinterpret_cast<uintptr_t>(hand.Get()));
  EXPECT_EQ(GetCursor(), LoadCursorA(0, IDC_HAND));
}

}  // namespace
}  // namespace forms_test

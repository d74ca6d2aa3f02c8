// Loading a window from form data, in the order its steps fix, and closing it.
#include <gtest/gtest.h>

#include "forms_fixture.h"
#include "platform/base/backend.h"
#include "platform/windows/window.h"
#include "runtime/core/application.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/core/services/services.h"
#include "runtime/forms/loader.h"
#include "runtime/forms/window_table.h"

namespace forms_test {

using runtime::services::Services;
namespace {

using namespace runtime;
using forms::Windows;
using platform::HWND;

HWND HandleOf(UnitId unit) {
  auto* object = reinterpret_cast<UnitObject*>(NotifyRuntime(notify::kFindUnitObject, kWindow, unit));
  return object ? object->WindowHandle() : 0;
}

class Loader : public FormsTest {};

TEST_F(Loader, CreatesInItsOrderAndRaisesTheFirstEventsLast) {
  Window w{kWindow,
           {WindowRecord("Test", {{0, 0}, {3, 0}, {4, 0}}), UnitRecord(0x1601000F, kTestUnitType),
            UnitRecord(0x1601000E, kHiddenUnitType), UnitRecord(0x1601000D, kTestUnitType)}};
  w.records[2].flags = 1;          // a non-visual type stays hidden whatever it says
  w.records[3].flags = 1 | 2 | 4;  // visible, disabled, tab stop
  Start({w});
  Services().LoadWindow(kWindow);
  const std::vector<std::string> expected = {
      // Units from the last record down, control ids in creation order.
      "create 1601000D id=100 style=8010000",  // WS_DISABLED | WS_TABSTOP
      "create 1601000E id=110 style=0",
      "create 1601000F id=120 style=0",
      // 0x806F to every unit from the last record, then 0x8004 to the window.
      "msg 1601000D 806F",
      "msg 1601000E 806F",
      "msg 1601000F 806F",
      // Events 0, 3, 4 of the window, each with its own unit id as the current event.
      "event 6010000 handler",
      "event 6010000 handler",
      "event 6010000 handler",
      // 0x8076 at the end, again from the last record.
      "msg 1601000D 8076",
      "msg 1601000E 8076",
      "msg 1601000F 8076",
  };
  EXPECT_EQ(Log(), expected);
  const HWND window = HandleOf(0);
  EXPECT_TRUE(platform::IsWindowVisible(window));
  EXPECT_TRUE(platform::IsWindowVisible(HandleOf(0x1601000F)));
  EXPECT_FALSE(platform::IsWindowVisible(HandleOf(0x1601000E)));
  EXPECT_FALSE(platform::IsWindowEnabled(HandleOf(0x1601000D)));
  // Earlier records lie above later ones.
  EXPECT_EQ(platform::GetWindow(window, platform::GW_CHILD), HandleOf(0x1601000F));
  EXPECT_EQ(platform::GetWindow(HandleOf(0x1601000F), platform::GW_HWNDNEXT), HandleOf(0x1601000E));
  // The window is centred on the screen.
  platform::RECT r;
  platform::GetWindowRect(window, &r);
  const platform::SIZE screen = platform::ScreenSize();
  EXPECT_EQ(r.left, (screen.cx - 300) / 2);
  EXPECT_EQ(r.bottom - r.top, 200);

  // Loading it again creates nothing.
  Log().clear();
  Services().LoadWindow(kWindow);
  EXPECT_TRUE(Log().empty());
}

TEST_F(Loader, AHandlerThatClosesTheWindowStopsTheLaterEvents) {
  Start({Window{kWindow, {WindowRecord("Test", {{0, 1}, {3, 0}, {4, 0}}), UnitRecord(0x1601000F, kTestUnitType)}}});
  Services().LoadWindow(kWindow);
  EXPECT_EQ(Log().back(), "closing");
  EXPECT_FALSE(Windows()->IsLoaded(*Windows()->Find(kWindow)));
}

TEST_F(Loader, ClosingRaisesItsEventsHonoursAVetoAndRestoresTheDefinition) {
  Start({Window{kWindow, {WindowRecord("Test", {{12, 5}, {1, 0}, {2, 0}}), UnitRecord(0x1601000F, kTestUnitType)}}});
  Services().LoadWindow(kWindow);
  App().loopStarted = true;
  Services().SetProperty(kWindow, 0x1601000F, 0, -1, 77);  // a change while loaded
  EXPECT_EQ(static_cast<int32_t>(Services().GetProperty(kWindow, 0x1601000F, 0, -1)), 77);

  Log().clear();
  platform::SendMessageA(HandleOf(0), platform::WM_SYSCOMMAND, platform::SC_CLOSE, 0);
  EXPECT_EQ(Log(), (std::vector<std::string>{"query 1"}));  // event 12 kept it open
  ASSERT_NE(HandleOf(0), 0u);
  // Asked again: 12, then 1, then 2 as it is destroyed.
  platform::SendMessageA(HandleOf(0), platform::WM_SYSCOMMAND, platform::SC_CLOSE, 0);
  EXPECT_EQ(Log(), (std::vector<std::string>{"query 1", "query 2", "event 6010000 handler", "event 6010000 handler"}));
  EXPECT_EQ(HandleOf(0), 0u);
  // The definition is as the form data stored it again, and the loop is told to end.
  EXPECT_EQ(static_cast<int32_t>(Services().GetProperty(kWindow, 0x1601000F, 0, -1)), 10);
  platform::MSG msg;
  ASSERT_TRUE(platform::PeekMessageA(&msg, 0, 0, 0, platform::PM_REMOVE));
  EXPECT_EQ(msg.message, platform::WM_QUIT);
}

TEST_F(Loader, AModalWindowRunsItsLoopAndDisablesTheOthersUntilItCloses) {
  const WindowId second = 0x52010002;
  Record modal = WindowRecord("Modal", {{0, 3}, {12, 4}});
  modal.id = 0x06010001;
  Start({Window{kWindow, {WindowRecord("Main")}}, Window{second, {modal}}});
  Services().LoadWindow(kWindow);
  App().loopStarted = true;
  // Its creation handler posts a close, which the modal loop takes; the
  // closing handler sees the main window disabled.
  forms::LoadRequest request{second, nullptr, 1};
  EXPECT_EQ(NotifyRuntime(notify::kLoadWindow, reinterpret_cast<intptr_t>(&request), 0), 0);
  EXPECT_EQ(Log(), (std::vector<std::string>{"close posted", "main enabled=0"}));
  EXPECT_EQ(HandleOf(0x06010001), 0u);
  EXPECT_EQ(Windows()->modalWindow, 0);
  EXPECT_TRUE(platform::IsWindowEnabled(HandleOf(0)));
  // A load of a window that does not exist fails without an error.
  request.window = 0x52010009;
  EXPECT_EQ(NotifyRuntime(notify::kLoadWindow, reinterpret_cast<intptr_t>(&request), 0), -1);
}

TEST_F(Loader, TheInnermostUnitAroundTheFocusRaisesFocusGainedOnceShown) {
  constexpr UnitId kOuter = 0x1601000F, kInner = 0x1601000E;
  Record outer = UnitRecord(kOuter, kTestUnitType);
  outer.bindings = {{-7, 0}};
  Record inner = UnitRecord(kInner, kTestUnitType, 2, 2);
  inner.parent = kOuter;
  inner.bindings = {{-7, 0}};
  // A window a unit made inside its own, `depth` levels below it.
  const auto madeInside = [](UnitId unit, int depth) {
    HWND at = HandleOf(unit);
    for (int i = 0; i < depth; ++i)
      at = platform::CreateWindowExA(0, "TestUnit", "", platform::WS_CHILD | platform::WS_VISIBLE, 0, 0, 5, 5, at, 0,
                                     nullptr);
    return at;
  };
  struct Case {
    UnitId unit;
    int depth;
    std::vector<std::string> events;
  };
  const Case cases[] = {
      {kOuter, 0, {"event 1601000F handler"}},
      {kOuter, 1, {"event 1601000F handler"}},
      {kInner, 0, {"event 1601000E handler"}},
      {kInner, 2, {"event 1601000E handler"}},
  };
  for (const Case& c : cases) {
    SetUp();
    // The creation handler puts the focus there before the window shows.
    EventHook() = [&] { platform::SetFocus(madeInside(c.unit, c.depth)); };
    Start({Window{kWindow, {WindowRecord("Test", {{0, 6}}), outer, inner}}});
    Services().LoadWindow(kWindow);
    std::vector<std::string> events;
    for (const std::string& line : Log())
      if (line.starts_with("event")) events.push_back(line);
    EXPECT_EQ(events, c.events) << std::hex << c.unit << " depth " << c.depth;
    TearDown();
  }
  SetUp();
}

TEST_F(Loader, UnitTypeCodesOfEveryKindOfRecord) {
  Record menu;
  menu.id = 0x26010001;
  menu.menuBody = MenuItemBody(-1);
  Start({Window{kWindow, {WindowRecord(), UnitRecord(0x1601000F, kHiddenUnitType), menu}}});
  struct Case {
    WindowId window;
    UnitId unit;
    intptr_t type;
  };
  const Case cases[] = {
      {kWindow, 0, kWindowType},
      {kWindow, kWindowUnit, kWindowType},
      {kWindow, 0x1601000F, kHiddenUnitType},
      {kWindow, 0x26010001, 0x00010003},
      {kWindow, 0x16010009, 0},
      {0x52010009, 0, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NotifyRuntime(notify::kUnitTypeOf, c.window, c.unit), c.type) << std::hex << c.window << " " << c.unit;
}

using LoaderDeathTest = Loader;

// A start window that cannot be loaded ends the program with its id shown.
TEST_F(LoaderDeathTest, AStartWindowThatCannotBeLoadedIsARuntimeError) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  Record newer = WindowRecord();
  newer.block[0] = 7;  // a block version this runtime does not know
  const std::vector<Window> forms[] = {
      {Window{kWindow, {newer}}},
      {Window{kWindow, {WindowRecord(), UnitRecord(0x16010001, kMissingType)}}},
      {Window{0x52010002, {WindowRecord()}}},
  };
  for (const auto& form : forms) {
    SetUp();
    Start(form);
    EXPECT_EXIT(Services().LoadWindow(kWindow), testing::ExitedWithCode(255), "载入启动窗口失败\n\n1375797249, 0");
    // Nothing of a failed load stays behind.
    EXPECT_FALSE(Windows()->AnyWindowAlive());
    TearDown();
  }
  SetUp();
}

}  // namespace
}  // namespace forms_test

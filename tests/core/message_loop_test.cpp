#include <gtest/gtest.h>

#include "platform/windows/messages.h"
#include "platform/windows/window.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/core/services/message_loop.h"
#include "runtime/core/notify.h"
#include "runtime_fixture.h"

namespace {

using namespace runtime;
using namespace runtime::services;

// A window table whose windows live as long as the test says.
class LiveRegistry : public WindowRegistry {
 public:
  explicit LiveRegistry(std::vector<WindowId>* alive) : alive_(alive) {}
  bool ReadFormData(std::span<const uint8_t>, std::span<const LogicRoutine>) override { return true; }
  bool AnyWindowAlive() const override { return !alive_->empty(); }
  std::vector<WindowId> LiveWindows() const override { return *alive_; }
  void Clear() override { alive_->clear(); }
  bool HasWindow(WindowId) const override { return true; }
  std::optional<std::string> WindowTag(WindowId) const override { return std::string(); }
  std::optional<std::string> UnitTag(WindowId, UnitId) const override { return std::nullopt; }
  void LoadWindow(WindowId) override {}

 private:
  std::vector<WindowId>* alive_;
};

std::vector<WindowId> alive;
std::vector<std::pair<WindowId, intptr_t>> idleEvents;
int idleRoutineCalls = 0;

class MessageLoop : public test::RuntimeTest {
 protected:
  void SetUp() override {
    test::RuntimeTest::SetUp();
    alive = {0x52010001, 0x52010002};
    idleEvents.clear();
    idleRoutineCalls = 0;
    InstallWindowRegistry(std::make_unique<LiveRegistry>(&alive));
  }
};

TEST_F(MessageLoop, TheLoopEndsOnlyWhenTheLastWindowIsGone) {
  App().loopStarted = true;
  alive = {0x52010002};
  NotifyRuntime(notify::kObjectDestroyed, 0x52010001, 0);  // one window closed, one left
  platform::MSG msg;
  EXPECT_FALSE(platform::PeekMessageA(&msg, 0, platform::WM_QUIT, platform::WM_QUIT, platform::PM_NOREMOVE));
  alive.clear();
  NotifyRuntime(notify::kObjectDestroyed, 0x52010002, 0);
  ASSERT_TRUE(platform::PeekMessageA(&msg, 0, 0, 0, platform::PM_REMOVE));
  EXPECT_EQ(msg.message, platform::WM_QUIT);
  EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(MessageLoop, IdleEventsReachEveryLiveWindowUntilItStopsAskingAndTheQuitEndsTheLoop) {
  // Window 1 keeps idling for three events, window 2 stops after its first.
  InstallNotificationHandler(notify::kRaiseEvent, [](int32_t, intptr_t record, intptr_t) -> intptr_t {
    auto* r = reinterpret_cast<EventRecord*>(record);
    EXPECT_EQ(r->key, 7);
    EXPECT_EQ(r->argumentCount, 1);
    idleEvents.push_back({r->window, r->arguments[0]});
    size_t seen = 0;
    for (auto& e : idleEvents) seen += e.first == r->window;
    r->resultFlag = 1;
    r->result = r->window == 0x52010001 && seen < 3;
    if (idleEvents.size() == 4) platform::PostQuitMessage(4);
    return 1;
  });
  // A routine registered for a window that does not exist is never added.
  IdleRegistration stale{0x7777, [](intptr_t) { ++idleRoutineCalls; }, 0};
  NotifyRuntime(notify::kAddIdleRoutine, reinterpret_cast<intptr_t>(&stale), 0);
  RunMessageLoop();
  EXPECT_EQ(App().lastQuitCode, 4);
  ASSERT_EQ(idleEvents.size(), 4u);
  EXPECT_EQ(idleEvents[0].first, 0x52010001);
  EXPECT_EQ(idleEvents[1].first, 0x52010002);
  EXPECT_EQ(idleEvents[2].first, 0x52010001);  // window 2 finished
  EXPECT_EQ(idleEvents[3].first, 0x52010001);
  EXPECT_GE(idleEvents[3].second, 0);
  EXPECT_EQ(idleRoutineCalls, 0);
}

TEST_F(MessageLoop, IdleRoutinesRunWhileTheirWindowLivesAndCanBeRemoved) {
  platform::WNDCLASSA wc;
  wc.lpfnWndProc = platform::DefWindowProcA;
  wc.lpszClassName = "IdleOwner";
  platform::RegisterClassA(&wc);
  platform::HWND hwnd = platform::CreateWindowExA(0, "IdleOwner", "", 0, 0, 0, 1, 1, 0, 0, nullptr);
  IdleRegistration entry{hwnd,
                         [](intptr_t arg) {
                           idleRoutineCalls += static_cast<int>(arg);
                           if (idleRoutineCalls >= 30) platform::PostQuitMessage(0);
                         },
                         10};
  NotifyRuntime(notify::kAddIdleRoutine, reinterpret_cast<intptr_t>(&entry), 0);
  NotifyRuntime(notify::kAddIdleRoutine, reinterpret_cast<intptr_t>(&entry), 0);  // one per window
  EXPECT_EQ(App().idleRoutines.size(), 1u);
  // Keep idling: the windows ask for more idle time every time.
  InstallNotificationHandler(notify::kRaiseEvent, [](int32_t, intptr_t record, intptr_t) -> intptr_t {
    auto* r = reinterpret_cast<EventRecord*>(record);
    r->resultFlag = 1;
    r->result = 1;
    return 1;
  });
  RunMessageLoop();
  EXPECT_EQ(idleRoutineCalls, 30);
  NotifyRuntime(notify::kRemoveIdleRoutine, static_cast<intptr_t>(hwnd), 0);
  EXPECT_TRUE(App().idleRoutines.empty());
  platform::DestroyWindow(hwnd);
}

TEST_F(MessageLoop, EventsAreNotRaisedWhileSuppressed) {
  static int raised = 0;
  InstallNotificationHandler(notify::kRaiseEvent, [](int32_t, intptr_t, intptr_t) -> intptr_t { return ++raised; });
  EventRecord record;
  NotifyRuntime(notify::kSuppressEvents, 0, 0);
  EXPECT_EQ(NotifyRuntime(notify::kRaiseEvent, reinterpret_cast<intptr_t>(&record), 0), 0);
  NotifyRuntime(notify::kAllowEvents, 0, 0);
  NotifyRuntime(notify::kAllowEvents, 0, 0);  // never below zero
  EXPECT_EQ(App().eventSuppression, 0);
  EXPECT_EQ(NotifyRuntime(notify::kRaiseEvent, reinterpret_cast<intptr_t>(&record), 0), 1);
  // Codes outside the served ranges answer 0.
  EXPECT_EQ(NotifyRuntime(3000, 1, 2), 0);
  EXPECT_EQ(NotifyRuntime(notify::kProgramKind, 0, 0), 3);
}

}  // namespace

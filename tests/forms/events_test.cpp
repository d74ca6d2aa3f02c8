// Finding the handler an event is bound to, passing its arguments and
// reporting events that cannot be dispatched.
#include <gtest/gtest.h>

#include "forms_fixture.h"
#include "runtime/core/application.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/services.h"

namespace forms_test {
namespace {

using namespace runtime;

class Events : public FormsTest {
 protected:
  // Unit A binds key 5 twice (the first wins); B borrows A's bindings; C
  // names A but is of another type, so it keeps its own (none).
  void StartUnits() {
    Record a = UnitRecord(0x16010001, kTestUnitType);
    a.bindings = {{5, 0}, {5, 2}, {6, 2}};
    Record b = UnitRecord(0x16010002, kTestUnitType);
    b.eventSource = 0x16010001;
    Record c = UnitRecord(0x16010003, kHiddenUnitType);
    c.eventSource = 0x16010001;
    Record mute = UnitRecord(0x16010004, kMuteUnitType);
    mute.bindings = {{5, 0}};
    Start({Window{kWindow, {WindowRecord(), a, b, c, mute}}});
  }
  intptr_t Raise(UnitId unit, int32_t key, EventRecord* out = nullptr) {
    EventRecord record;
    record.window = kWindow;
    record.unit = unit;
    record.key = key;
    intptr_t ran = NotifyRuntime(notify::kRaiseEvent, reinterpret_cast<intptr_t>(&record), 0);
    if (out) *out = record;
    return ran;
  }
};

TEST_F(Events, HandlersAreFoundThroughTheRecordAndItsEventSource) {
  StartUnits();
  struct Case {
    UnitId unit;
    int32_t key;
    intptr_t ran;
    bool veto;  // the second handler ran and returned false
  };
  const Case cases[] = {
      {0x16010001, 5, 1, false}, {0x16010001, 6, 1, true},  {0x16010001, 7, 0, false},
      {0x16010002, 5, 1, false}, {0x16010003, 5, 0, false},
  };
  for (const Case& c : cases) {
    EventRecord record;
    EXPECT_EQ(Raise(c.unit, c.key, &record), c.ran) << std::hex << c.unit << " key " << c.key;
    EXPECT_EQ(record.resultFlag, c.veto ? 1 : 0);
  }
  // The current event names the raising unit, not the one whose bindings ran;
  // after the handler nothing is current.
  Log().clear();
  Raise(0x16010002, 5);
  EXPECT_EQ(Log(), (std::vector<std::string>{"event 16010002 handler"}));
  int32_t words[2];
  EXPECT_EQ(NotifyRuntime(notify::kCurrentEvent, reinterpret_cast<intptr_t>(words), 0), 0);
}

TEST_F(Events, ArgumentsArriveWidenedAsTheirTypesSay) {
  Record a = UnitRecord(0x16010001, kTestUnitType);
  a.bindings = {{1, 0}};
  Start({Window{kWindow, {WindowRecord(), a}}});
  int32_t variable = 0;
  EventRecordEx ex;
  ex.window = kWindow;
  ex.unit = 0x16010001;
  ex.key = 1;
  ex.argumentCount = 7;
  ex.arguments[0] = {0x1FF, TypeByte, 0};
  ex.arguments[1] = {0xFFFF, TypeShort, 0};
  ex.arguments[2] = {0xFFFFFFFF00000005ull, TypeInt, 0};
  ex.arguments[3] = {0x123456789ull, TypeInt64, 0};
  ex.arguments[4] = {reinterpret_cast<uintptr_t>(&variable), TypeText, 1};  // by reference
  ex.arguments[5] = {0xAB00000001ull, TypeBool, 2};                         // both words asked for
  ex.arguments[6] = {0x4000000000000000ull, TypeDouble, 0};
  EXPECT_EQ(NotifyRuntime(notify::kRaiseEventEx, reinterpret_cast<intptr_t>(&ex), 0), 1);
  ASSERT_EQ(lastCall.count, 7);
  const uint64_t expected[] = {0xFF,
                               0xFFFFFFFFFFFFFFFFull,
                               5,
                               0x123456789ull,
                               reinterpret_cast<uintptr_t>(&variable),
                               0xAB00000001ull,
                               0x4000000000000000ull};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(lastCall.arguments[i], expected[i]) << i;
}

TEST_F(Events, NothingRunsWhileSuppressedEvenForAnUnknownWindow) {
  StartUnits();
  ++App().eventSuppression;
  EventRecord record;
  record.window = 0x52019999;
  EXPECT_EQ(NotifyRuntime(notify::kRaiseEvent, reinterpret_cast<intptr_t>(&record), 0), 0);
  EXPECT_EQ(Raise(0x16010001, 5), 0);
  --App().eventSuppression;
  EXPECT_EQ(Raise(0x16010001, 5), 1);
}

using EventsDeathTest = Events;

TEST_F(EventsDeathTest, EventsThatCannotBeDispatchedAreRuntimeErrors) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  StartUnits();
  EXPECT_EXIT(Raise(0x16019999, 5), testing::ExitedWithCode(255), "未找到引发事件的窗口组件");
  EXPECT_EXIT(Raise(0x16010004, 5), testing::ExitedWithCode(255), "引发事件的窗口组件无效");
  EventRecord record;
  record.window = 0x52019999;
  EXPECT_EXIT(NotifyRuntime(notify::kRaiseEvent, reinterpret_cast<intptr_t>(&record), 0), testing::ExitedWithCode(255),
              "未找到引发事件的窗口\n");
}

}  // namespace
}  // namespace forms_test

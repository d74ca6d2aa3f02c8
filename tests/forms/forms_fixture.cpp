#include "forms_fixture.h"

#include <cstdio>
#include <cstring>
#include <map>

#include "platform/gdi/gdi_types.h"
#include "platform/memory/global_memory.h"
#include "platform/windows/window.h"
#include "runtime/core/application.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/core/shutdown.h"
#include "runtime/forms/window_table.h"
#include "runtime/units/window/window_unit.h"

namespace forms_test {

using runtime::services::InitialiseRuntime;
using runtime::services::SetProgramHeader;

using runtime::units::window::WindowUnitType;

using namespace runtime;
using namespace platform;

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

HandlerCall lastCall;

std::function<void()>& EventHook() {
  static std::function<void()> hook;
  return hook;
}

namespace {

std::string Hex(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", v);
  return text;
}

// A test unit: a child window that keeps the raw values set on it.
class TestUnit final : public UnitObject {
 public:
  HWND WindowHandle() const override { return hwnd; }
  HWND hwnd = 0;
  UnitId unit = 0;
  WindowId window = 0;
  std::map<int32_t, RawValue> values;
  std::vector<uint8_t> bytes, pointer;
  std::string text;
  LOGFONTA font{};
  bool hasFont = false;
  int32_t generation = 0;  // from the block: how often it was re-created
};

LRESULT TestUnitProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* unit = reinterpret_cast<TestUnit*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (unit && (message == forms::kUnitLoaded || message == forms::kUnitShown || message == forms::kWindowLoaded))
    Log().push_back("msg " + Hex(static_cast<uint32_t>(unit->unit)) + " " + Hex(message));
  if (unit && (message == WM_KEYDOWN || message == WM_CHAR))
    Log().push_back((message == WM_KEYDOWN ? "key " : "char ") + Hex(static_cast<uint32_t>(unit->unit)) + " " +
                    Hex(static_cast<uint32_t>(wParam)));
  if (unit && message == WM_NCDESTROY) {
    NotifyRuntime(notify::kObjectDestroyed, unit->window, unit->unit);
    delete unit;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

UnitObject* CreateTestUnit(const CreateParams& p) {
  WNDCLASSA wc;
  if (!GetClassInfoA("TestUnit", &wc)) {
    wc.lpfnWndProc = TestUnitProc;
    wc.lpszClassName = "TestUnit";
    RegisterClassA(&wc);
  }
  auto* unit = new TestUnit;
  unit->unit = p.unit;
  unit->window = p.window;
  if (p.blockLength >= 4) std::memcpy(&unit->generation, p.block, 4);
  unit->hwnd =
      CreateWindowExA(0, "TestUnit", "", WS_CHILD | p.style, p.x, p.y, p.width, p.height, p.parent, 0, nullptr);
  SetWindowLongPtrA(unit->hwnd, GWLP_ID, p.controlId);
  SetWindowLongPtrA(unit->hwnd, GWLP_USERDATA, reinterpret_cast<intptr_t>(unit));
  Log().push_back("create " + Hex(static_cast<uint32_t>(p.unit)) + " id=" + std::to_string(p.controlId) +
                  " style=" + Hex(p.style));
  return unit;
}

int32_t GetTestProperty(UnitObject* object, int32_t number, RawValue* value) {
  auto* unit = static_cast<TestUnit*>(object);
  if (number == 4)
    value->first = reinterpret_cast<intptr_t>(unit->text.c_str());
  else if (number == 5)
    *value = RawValue{reinterpret_cast<intptr_t>(unit->bytes.data()), static_cast<intptr_t>(unit->bytes.size())};
  else if (number == 6)
    *value = RawValue{reinterpret_cast<intptr_t>(unit->pointer.data()), static_cast<intptr_t>(unit->pointer.size())};
  else if (number == 7)
    *value = unit->hasFont ? RawValue{reinterpret_cast<intptr_t>(&unit->font), 60} : RawValue{};
  else if (number == 9)
    value->first = unit->generation;
  else
    *value = unit->values[number];
  return 1;
}

int32_t SetTestProperty(UnitObject* object, int32_t number, const RawValue* value) {
  auto* unit = static_cast<TestUnit*>(object);
  Log().push_back("set " + std::to_string(number) + " " + std::to_string(value->first) + "," +
                  std::to_string(value->second));
  const auto* data = reinterpret_cast<const uint8_t*>(value->first);
  if (number == 4)
    unit->text = data ? reinterpret_cast<const char*>(data) : "<null>";
  else if (number == 5)
    unit->bytes.assign(data, data + (data ? value->second : 0));
  else if (number == 6)
    unit->pointer.assign(data, data + (data ? value->second : 0));
  else if (number == 7) {
    unit->hasFont = data && value->second == 60;
    if (unit->hasFont) std::memcpy(&unit->font, data, 60);
  } else if (number == 9) {
    unit->generation = static_cast<int32_t>(value->first);
    return 1;
  } else
    unit->values[number] = *value;
  return 0;
}

// The unit keeps the key its integer property (own number 0) names.
int32_t TestKeyQuery(UnitObject* object, int32_t key) {
  return static_cast<TestUnit*>(object)->values[0].first == key ? 1 : 0;
}

HGLOBAL SaveTestProperties(UnitObject* object) {
  auto* unit = static_cast<TestUnit*>(object);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 4);
  int32_t next = unit->generation + 1;
  std::memcpy(GlobalLock(memory), &next, 4);
  GlobalUnlock(memory);
  return memory;
}

void* TestEntry(int32_t operation) {
  switch (operation) {
    case unit_op::kCreate: return reinterpret_cast<void*>(static_cast<CreateUnitOp>(&CreateTestUnit));
    case unit_op::kGetProperty: return reinterpret_cast<void*>(static_cast<GetPropertyOp>(&GetTestProperty));
    case unit_op::kSetProperty: return reinterpret_cast<void*>(static_cast<SetPropertyOp>(&SetTestProperty));
    case unit_op::kSaveProperties: return reinterpret_cast<void*>(static_cast<SavePropertiesOp>(&SaveTestProperties));
    case unit_op::kKeyQuery: return reinterpret_cast<void*>(static_cast<KeyQueryOp>(&TestKeyQuery));
    default: return nullptr;
  }
}

const PropertyDescriptor kTestProperties[] = {
    CommonProperty(1001), CommonProperty(1001), CommonProperty(1001), CommonProperty(1001), CommonProperty(1005),
    CommonProperty(1003), CommonProperty(1003), CommonProperty(1011), OwnProperty(1000),    OwnProperty(1003),
    OwnProperty(1006),    OwnProperty(1002),    OwnProperty(1005),    OwnProperty(1009),    OwnProperty(1011),
    OwnProperty(1013),    OwnProperty(999),     OwnProperty(1000),
};

const UnitTypeDescriptor kTypes[] = {
    units::window::WindowUnitType(),
    {"t", "TestUnit", 0x40, 18, kTestProperties, &TestEntry},
    {"h", "HiddenUnit", 0x8040, 18, kTestProperties, &TestEntry},
    {"m", "MuteUnit", 0, 18, kTestProperties, &TestEntry},
};

void LogEvent(HandlerCall& call) {
  lastCall = call;
  int32_t words[2] = {0, 0};
  NotifyRuntime(notify::kCurrentEvent, reinterpret_cast<intptr_t>(words), 0);
  Log().push_back("event " + Hex(static_cast<uint32_t>(words[1])) + " handler");
}
void CloseWindow(HandlerCall&) {
  UnitObject* window = reinterpret_cast<UnitObject*>(NotifyRuntime(notify::kFindUnitObject, kWindow, 0));
  Log().push_back("closing");
  if (window) DestroyWindow(window->WindowHandle());
}
void Veto(HandlerCall& call) {
  Log().push_back("veto");
  call.hasResult = true;
  call.result = 0;
}
void PostClose(HandlerCall&) {
  int32_t words[2] = {0, 0};
  NotifyRuntime(notify::kCurrentEvent, reinterpret_cast<intptr_t>(words), 0);
  auto* window = reinterpret_cast<UnitObject*>(NotifyRuntime(notify::kFindUnitObject, words[0], 0));
  Log().push_back("close posted");
  if (window) PostMessageA(window->WindowHandle(), WM_CLOSE, 0, 0);
}
void ReportMainEnabled(HandlerCall&) {
  auto* main = reinterpret_cast<UnitObject*>(NotifyRuntime(notify::kFindUnitObject, kWindow, 0));
  Log().push_back("main enabled=" + std::to_string(main && IsWindowEnabled(main->WindowHandle()) ? 1 : 0));
}
// Keeps the window open the first time it is asked, and only then.
void VetoOnce(HandlerCall& call) {
  static int asked = 0;
  if (Log().empty()) asked = 0;
  Log().push_back("query " + std::to_string(++asked));
  call.hasResult = asked == 1;
  call.result = 0;
}
void RunHook(HandlerCall&) {
  if (EventHook()) EventHook()();
}
const LogicRoutine kRoutines[] = {{0, &LogEvent},          {1, &CloseWindow}, {2, &Veto},   {3, &PostClose},
                                  {4, &ReportMainEnabled}, {5, &VetoOnce},    {6, &RunHook}};

}  // namespace

void FormsTest::SetUp() {
  ResetApplication();
  forms::InstallForms();
  Log().clear();
  lastCall = HandlerCall{};
  EventHook() = nullptr;
}

void FormsTest::TearDown() {
  ShutdownRuntime(0);
  ResetApplication();
}

void FormsTest::Start(const std::vector<Window>& windows) {
  static const LibraryEntry library = [] {
    LibraryEntry e;
    e.unitTypeCount = static_cast<int32_t>(std::size(kTypes));
    e.unitTypes = kTypes;
    return e;
  }();
  static const LibraryEntry* const libraries[] = {&library};
  formData_ = FormData(windows);
  header_ = forms_test::TestProgramHeader(formData_, libraries, kRoutines);
  SetProgramHeader(&header_);
  InitialiseRuntime();
}

Record FormsTest::WindowRecord(const std::string& title, std::vector<std::pair<int32_t, int32_t>> bindings) {
  Record r;
  r.id = kWindowUnit;
  r.type = kWindowType;
  r.left = 50, r.top = 50, r.width = 300, r.height = 200;
  r.bindings = std::move(bindings);
  r.block = WindowBlockBytes(title);
  return r;
}

Record FormsTest::UnitRecord(uint32_t id, uint32_t type, int32_t left, int32_t top) {
  Record r;
  r.id = id;
  r.type = type;
  r.name = "u" + Hex(id);
  r.left = left, r.top = top, r.width = 40, r.height = 30;
  return r;
}

}  // namespace forms_test

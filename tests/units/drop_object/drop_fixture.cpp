#include "drop_fixture.h"

#include <iterator>

#include "platform/ole/clipboard_formats.h"
#include "platform/ole/data_offer.h"
#include "platform/ole/drag_dispatch.h"
#include "platform/ole/drop_files.h"
#include "platform/windows/window.h"
#include "runtime/core/application.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/services.h"
#include "runtime/core/shutdown.h"
#include "runtime/forms/window_table.h"
#include "runtime/units/drop_object/drop_library.h"
#include "runtime/units/window/window_unit.h"

namespace dragdrop_test {

using runtime::services::InitialiseRuntime;
using runtime::services::Services;
using runtime::services::SetProgramHeader;

using runtime::units::window::WindowUnitType;

using namespace runtime;
using namespace platform;
using forms_test::Put;
using forms_test::Record;

EventLog& Events() {
  static EventLog log;
  return log;
}

namespace {

// A plain visible box that takes drops once a drop object registers on it.
class Box final : public UnitObject {
 public:
  HWND WindowHandle() const override { return hwnd; }
  HWND hwnd = 0;
  WindowId window = 0;
  UnitId unit = 0;
};

LRESULT BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* box = reinterpret_cast<Box*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (box && message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    NotifyRuntime(notify::kObjectDestroyed, box->window, box->unit);
    delete box;
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

UnitObject* CreateBox(const CreateParams& p) {
  WNDCLASSA wc;
  if (!GetClassInfoA("DropTestBox", &wc)) {
    wc.lpfnWndProc = BoxProc;
    wc.lpszClassName = "DropTestBox";
    RegisterClassA(&wc);
  }
  auto* box = new Box;
  box->window = p.window;
  box->unit = p.unit;
  box->hwnd =
      CreateWindowExA(0, "DropTestBox", "", WS_CHILD | p.style, p.x, p.y, p.width, p.height, p.parent, 0, nullptr);
  SetWindowLongPtrA(box->hwnd, GWLP_USERDATA, reinterpret_cast<intptr_t>(box));
  return box;
}

void* BoxEntry(int32_t operation) {
  return operation == unit_op::kCreate ? reinterpret_cast<void*>(static_cast<CreateUnitOp>(&CreateBox)) : nullptr;
}

const PropertyDescriptor kBoxProperties[8] = {};
const UnitTypeDescriptor kTestTypes[] = {
    units::window::WindowUnitType(),
    {"b", "Box", 0x40, 8, kBoxProperties, &BoxEntry},
};

template <int32_t kEvent>
void RecordEvent(HandlerCall& call) {
  const char* text = *reinterpret_cast<char* const*>(call.arguments[0]);
  Events().emplace_back(kEvent, text ? text : "<null>");
}

void CloseWindow(HandlerCall& call) {
  RecordEvent<0>(call);
  auto* window = reinterpret_cast<UnitObject*>(NotifyRuntime(notify::kFindUnitObject, kWindow, 0));
  if (window) DestroyWindow(window->WindowHandle());
}

const LogicRoutine kRoutines[] = {{0x10, &RecordEvent<0>},
                                  {0x11, &RecordEvent<1>},
                                  {0x12, &RecordEvent<2>},
                                  {0x13, &RecordEvent<3>},
                                  {0x14, &CloseWindow}};

Record Unit(UnitId id, uint32_t type, int32_t left, int32_t top, int32_t size) {
  Record r;
  r.id = static_cast<uint32_t>(id);
  r.type = type;
  r.name = "u";
  r.left = left, r.top = top, r.width = size, r.height = size;
  return r;
}

Record DropObjectRecord(UnitId id, Accepts a, std::vector<std::pair<int32_t, int32_t>> bindings) {
  Record r = Unit(id, 0x00020001, 0, 0, 20);
  for (int32_t v : {1, a.text, a.html, a.url, a.files}) Put(r.block, static_cast<uint32_t>(v));
  r.bindings = std::move(bindings);
  return r;
}

}  // namespace

void DropTest::SetUp() {
  ResetApplication();
  forms::InstallForms();
  Events().clear();
}

void DropTest::TearDown() {
  DispatchDragLeave();
  ShutdownRuntime(0);
  ResetApplication();
}

void DropTest::Start(Accepts accepts) {
  static const LibraryEntry testLibrary = [] {
    LibraryEntry e;
    e.unitTypeCount = static_cast<int32_t>(std::size(kTestTypes));
    e.unitTypes = kTestTypes;
    return e;
  }();
  static const LibraryEntry* const libraries[] = {&testLibrary, &units::drop_object::DragDropLibrary()};
  Record window;
  window.id = 0x06010000;
  window.type = 0x00010001;
  window.left = 50, window.top = 50, window.width = 400, window.height = 300;
  window.block = forms_test::WindowBlockBytes("Drops");
  formData_ = forms_test::FormData(
      {forms_test::Window{kWindow,
                          {window, Unit(kBox1, 0x00010002, 10, 10, 100), Unit(kBox2, 0x00010002, 150, 10, 100),
                           DropObjectRecord(kDrop1, accepts, {{0, 0x10}, {1, 0x11}, {2, 0x12}, {3, 0x13}}),
                           DropObjectRecord(kDrop2, accepts, {{0, 0x14}, {3, 0x13}})}}});
  header_ = forms_test::TestProgramHeader(formData_, libraries, kRoutines);
  SetProgramHeader(&header_);
  InitialiseRuntime();
  Services().LoadWindow(kWindow);
}

HWND DropTest::WindowOf(UnitId unit) const {
  auto* object = reinterpret_cast<UnitObject*>(NotifyRuntime(notify::kFindUnitObject, kWindow, unit));
  return object ? object->WindowHandle() : 0;
}

bool DropTest::Register(UnitId dropObject, HWND window) const {
  ArgRecord arguments[2] = {ArgRecord::UnitRef(0x00020001, kWindow, dropObject),
                            ArgRecord::Int(static_cast<int32_t>(window))};
  return Services().CallLibraryCommand(units::drop_object::DragDropLibrary().commands[0], 1, 2, arguments).AsBool();
}

POINT DropTest::CentreOf(UnitId unit) const {
  RECT r;
  GetWindowRect(WindowOf(unit), &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

DWORD DropTest::DragAndDrop(IDataObject* data, POINT at, DWORD keys, DWORD allowed) const {
  DispatchDragMove(data, at, keys | MK_LBUTTON, allowed);
  const DWORD effect = DispatchDragMove(data, at, keys | MK_LBUTTON, allowed);
  DispatchDrop(keys, allowed, nullptr);
  data->Release();
  return effect;
}

IDataObject* Offer(const std::vector<std::pair<UINT, std::string>>& formats) {
  ComRef<DataOffer> offer = DataOffer::Create();
  for (const auto& [format, text] : formats) {
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    offer->Offer(static_cast<CLIPFORMAT>(format), std::move(bytes));
  }
  return offer.Detach();
}

IDataObject* OfferFiles(const std::vector<std::string>& paths) {
  ComRef<DataOffer> offer = DataOffer::Create();
  offer->Offer(CF_HDROP, DropFilesBytes(paths));
  return offer.Detach();
}

}  // namespace dragdrop_test

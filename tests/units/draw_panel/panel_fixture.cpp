#include "panel_fixture.h"

#include <array>
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/gdi/owners.h"
#include "platform/windows/messages.h"
#include "runtime/core/application.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/core/memory.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/services.h"
#include "runtime/core/shutdown.h"
#include "runtime/forms/window_table.h"
#include "runtime/picture/table/load_picture_command.h"
#include "runtime/picture/table/picture_table.h"
#include "runtime/units/window/window_unit.h"

namespace panel_test {

using runtime::services::InitialiseRuntime;
using runtime::services::Services;
using runtime::services::SetProgramHeader;

using runtime::picture::table::InstallPictureTable;
using runtime::units::draw_panel::DrawPanelType;
using runtime::units::draw_panel::kDrawPanelTypeCode;
using runtime::units::draw_panel::WriteDrawPanelBlock;
using runtime::units::window::kWindowTypeCode;
using runtime::units::window::WindowUnitType;

using namespace runtime;
using namespace platform;

namespace {

void LogEvent(HandlerCall& call) {
  std::string line = "event";
  for (int i = 0; i < call.count; ++i)
    line += (i ? "," : " ") + std::to_string(static_cast<int32_t>(call.arguments[i]));
  Events().push_back(line);
}

const LogicRoutine kRoutines[] = {{0, &LogEvent}};

const UnitTypeDescriptor* TestTypes() {
  static const auto types = [] {
    std::array<UnitTypeDescriptor, 8> t{};
    t[0] = units::window::WindowUnitType();
    t[7] = units::draw_panel::DrawPanelType();
    return t;
  }();
  return types.data();
}

}  // namespace

Bytes Bmp24(int width, int height, const std::vector<COLORREF>& pixels) {
  const int stride = (width * 3 + 3) & ~3;
  Bytes file(54 + static_cast<size_t>(stride) * height);
  BITMAPFILEHEADER fileHeader;
  fileHeader.bfSize = static_cast<DWORD>(file.size());
  fileHeader.bfOffBits = 54;
  BITMAPINFOHEADER info;
  info.biWidth = width;
  info.biHeight = height;  // bottom-up
  info.biBitCount = 24;
  std::memcpy(file.data(), &fileHeader, 14);
  std::memcpy(file.data() + 14, &info, 40);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const COLORREF c = pixels[static_cast<size_t>(y * width + x)];
      uint8_t* p = file.data() + 54 + static_cast<size_t>(height - 1 - y) * stride + x * 3;
      p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
    }
  return file;
}

std::vector<std::string>& Events() {
  static std::vector<std::string> events;
  return events;
}

void PanelTest::SetUp() {
  ResetApplication();
  picture::table::InstallPictureTable();
  forms::InstallForms();
  Events().clear();
}

void PanelTest::TearDown() {
  ShutdownRuntime(0);
  ResetApplication();
}

void PanelTest::Load(const units::draw_panel::DrawPanelProperties& properties, int width, int height, uint32_t flags) {
  static const LibraryEntry library = [] {
    LibraryEntry e;
    e.unitTypeCount = 8;
    e.unitTypes = TestTypes();
    return e;
  }();
  static const LibraryEntry* const libraries[] = {&library};
  forms_test::Record window;
  window.id = kWindowUnit;
  window.type = units::window::kWindowTypeCode;
  window.left = 50, window.top = 50, window.width = 300, window.height = 200;
  window.block = forms_test::WindowBlockBytes("Panel");
  forms_test::Record panel;
  panel.id = kPanel;
  panel.type = units::draw_panel::kDrawPanelTypeCode;
  panel.name = "panel";
  panel.left = kPanelLeft, panel.top = kPanelTop, panel.width = width, panel.height = height;
  panel.flags = flags;
  panel.bindings = {{units::draw_panel::draw_panel_event::kPaint, 0}};
  panel.block = units::draw_panel::WriteDrawPanelBlock(properties);
  formData_ = forms_test::FormData({forms_test::Window{kWindow, {window, panel}}});
  header_ = forms_test::TestProgramHeader(formData_, libraries, kRoutines);
  SetProgramHeader(&header_);
  InitialiseRuntime();
  Services().LoadWindow(kWindow);
  Pump();
}

units::draw_panel::DrawPanel& PanelTest::Panel() const {
  auto* unit = reinterpret_cast<UnitObject*>(NotifyRuntime(notify::kFindUnitObject, kWindow, kPanel));
  auto* panel = dynamic_cast<units::draw_panel::DrawPanel*>(unit);
  EXPECT_NE(panel, nullptr);
  return *panel;
}

ArgRecord PanelTest::Reference() const {
  return ArgRecord::UnitRef(units::draw_panel::kDrawPanelTypeCode, kWindow, kPanel);
}

int32_t PanelTest::LoadPicture(const Bytes& file) const {
  HeapBlock bytes(CopyBytes(file.data(), file.size()));
  ArgRecord argument = ArgRecord::Bytes(bytes.Get());
  ArgRecord result;
  picture::table::LoadPicture(&result, 1, &argument);
  return result.AsInt();
}

COLORREF PanelTest::CanvasAt(int x, int y) const {
  platform::MemoryDc canvas(0, Panel().Canvas());
  return canvas.get() ? GetPixel(canvas.get(), x, y) : CLR_INVALID;
}

void PanelTest::Pump() const {
  MSG msg;
  while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

}  // namespace panel_test

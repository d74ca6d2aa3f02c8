#include "box_fixture.h"

#include <array>

#include "platform/gdi/gdi.h"
#include "platform/windows/window.h"
#include "platform/windows/window_dc.h"
#include "runtime/core/application.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/core/memory.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/services.h"
#include "runtime/core/shutdown.h"
#include "runtime/forms/window_table.h"
#include "runtime/units/window/window_unit.h"

namespace units_test {

using runtime::services::InitialiseRuntime;
using runtime::services::Services;
using runtime::services::SetProgramHeader;

using runtime::units::picture_box::kPictureBoxTypeCode;
using runtime::units::picture_box::PictureBoxType;
using runtime::units::window::WindowUnitType;

using namespace runtime;
using forms_test::Put;

Bytes BoxBlock::Build() const {
  Bytes b;
  for (uint32_t v : {version, static_cast<uint32_t>(border), background, static_cast<uint32_t>(mode),
                     static_cast<uint32_t>(animate)})
    Put(b, v);
  forms_test::PutCounted(b, picture);
  if (version == 2) {
    forms_test::PutCounted(b, Bytes(source.begin(), source.end()));
    forms_test::PutCounted(b, Bytes(column.begin(), column.end()));
  }
  return b;
}

Bytes MakeBmp(int width, int height, const std::function<uint32_t(int x, int y)>& colour) {
  const int stride = (width * 3 + 3) & ~3;
  Bytes b;
  b.reserve(54 + static_cast<size_t>(stride) * height);
  b.push_back('B');
  b.push_back('M');
  Put(b, static_cast<uint32_t>(54 + stride * height));
  Put(b, 0);
  Put(b, 54);
  for (uint32_t v : {40u, static_cast<uint32_t>(width), static_cast<uint32_t>(height)}) Put(b, v);
  b.insert(b.end(), {1, 0, 24, 0});
  for (int i = 0; i < 6; ++i) Put(b, 0);
  for (int y = height - 1; y >= 0; --y) {  // bottom-up
    for (int x = 0; x < width; ++x) {
      const uint32_t c = colour(x, y);
      b.insert(b.end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
    }
    b.insert(b.end(), static_cast<size_t>(stride - width * 3), 0);
  }
  return b;
}

Bytes SolidBmp(int width, int height, uint32_t colour) {
  return MakeBmp(width, height, [colour](int, int) { return colour; });
}

void PictureBoxTest::SetUp() {
  ResetApplication();
  forms::InstallForms();
}

void PictureBoxTest::TearDown() {
  ShutdownRuntime(0);
  ResetApplication();
}

void PictureBoxTest::Load(const BoxBlock& block) {
  static const auto types = [] {
    std::array<UnitTypeDescriptor, 6> t{};
    t[0] = units::window::WindowUnitType();
    t[5] = units::picture_box::PictureBoxType();
    return t;
  }();
  static const LibraryEntry library = [] {
    LibraryEntry e;
    e.unitTypeCount = static_cast<int32_t>(types.size());
    e.unitTypes = types.data();
    return e;
  }();
  static const LibraryEntry* const libraries[] = {&library};

  forms_test::Record window;
  window.id = 0x06010000;
  window.type = 0x00010001;
  window.width = 300, window.height = 250;
  window.block = forms_test::WindowBlockBytes("Boxes", 0x00FFFFFF, 0, {}, 0, 0);
  forms_test::Record box;
  box.id = kBox;
  box.type = units::picture_box::kPictureBoxTypeCode;
  box.name = "box";
  box.left = 10, box.top = 10, box.width = 182, box.height = 182;
  box.block = block.Build();
  formData_ = forms_test::FormData({forms_test::Window{kWindow, {window, box}}});
  header_ = forms_test::TestProgramHeader(formData_, libraries);
  SetProgramHeader(&header_);
  InitialiseRuntime();
  Services().LoadWindow(kWindow);
}

units::picture_box::PictureBox* PictureBoxTest::Box() const {
  auto* object = reinterpret_cast<UnitObject*>(NotifyRuntime(notify::kFindUnitObject, kWindow, kBox));
  return dynamic_cast<units::picture_box::PictureBox*>(object);
}

uint64_t PictureBoxTest::Get(int32_t property) const { return Services().GetProperty(kWindow, kBox, property, -1); }

void PictureBoxTest::Set(int32_t property, uint64_t value) const {
  Services().SetProperty(kWindow, kBox, property, -1, value);
}

void PictureBoxTest::SetBytes(int32_t property, const Bytes& bytes) const {
  HeapBlock array(CopyBytes(bytes.data(), bytes.size()));
  Set(property, reinterpret_cast<uintptr_t>(array.Get()));
}

platform::COLORREF PictureBoxTest::Pixel(int x, int y) const {
  const platform::HWND hwnd = BoxWindow();
  platform::UpdateWindow(hwnd);
  const platform::HDC dc = platform::GetDC(hwnd);
  const platform::COLORREF colour = platform::GetPixel(dc, x, y);
  platform::ReleaseDC(hwnd, dc);
  return colour;
}

}  // namespace units_test

// A runtime with windows and units, a test library (the window and a plain
// box) and the drag-and-drop library, loading one window with two boxes and
// two drop objects whose events are recorded.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "../../forms/form_builder.h"
#include "platform/ole/ole_drop.h"
#include "runtime/core/program.h"

namespace dragdrop_test {

inline constexpr runtime::WindowId kWindow = 0x52010001;
inline constexpr runtime::UnitId kBox1 = 0x1601000D;
inline constexpr runtime::UnitId kBox2 = 0x1601000E;
inline constexpr runtime::UnitId kDrop1 = 0x16010006;  // its events are recorded
inline constexpr runtime::UnitId kDrop2 = 0x16010007;  // its text event closes the window

// Raised events in order: (event number, text).
using EventLog = std::vector<std::pair<int32_t, std::string>>;
EventLog& Events();

// The four accept flags in stored order: text, HTML, URL, files.
struct Accepts {
  int32_t text = 0, html = 0, url = 0, files = 0;
};

class DropTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Loads the window; both drop objects accept what `accepts` says.
  void Start(Accepts accepts);
  platform::HWND WindowOf(runtime::UnitId unit) const;
  // The register method of a drop object, as the tool calls it.
  bool Register(runtime::UnitId dropObject, platform::HWND window) const;
  // The centre of a unit's window on the screen.
  platform::POINT CentreOf(runtime::UnitId unit) const;
  // A whole drag as a file manager makes it: enter, over, drop. Returns the
  // effect of the last move.
  platform::DWORD DragAndDrop(platform::IDataObject* data, platform::POINT at, platform::DWORD keys = 0,
                              platform::DWORD allowed = 7) const;

  runtime::ProgramHeader header_;
  forms_test::Bytes formData_;
};

// A data object offering each format with its bytes (texts NUL-terminated).
platform::IDataObject* Offer(const std::vector<std::pair<platform::UINT, std::string>>& formats);
// A data object offering files (UTF-8 paths) as CF_HDROP.
platform::IDataObject* OfferFiles(const std::vector<std::string>& paths);

}  // namespace dragdrop_test

// A runtime with the windows-and-units layer and test unit types, loading
// forms the tests build.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "form_builder.h"
#include "runtime/core/program.h"

namespace forms_test {

inline constexpr runtime::WindowId kWindow = 0x52010001;
inline constexpr runtime::UnitId kWindowUnit = 0x06010000;
// Unit type codes of the test library (library 1).
inline constexpr uint32_t kWindowType = 0x00010001;
inline constexpr uint32_t kTestUnitType = 0x00010002;    // raises events
inline constexpr uint32_t kHiddenUnitType = 0x00010003;  // non-visual
inline constexpr uint32_t kMuteUnitType = 0x00010004;    // may not raise events
inline constexpr uint32_t kMissingType = 0x00010009;     // no such slot

// What happened, in order: "create <unit hex> id=<control id>", "msg <unit> <message hex>",
// "event <unit hex> <key>", ...
std::vector<std::string>& Log();
// Handlers by offset: 0 logs the current event, 1 destroys the window, 2
// returns false (a veto), 3 posts a close to the event's window, 4 logs
// whether the first window is enabled, 5 vetoes its first call only, 6 runs
// EventHook().
extern runtime::HandlerCall lastCall;
std::function<void()>& EventHook();

// Type-specific properties of the test unit: 0 integer, 1 bool, 2 choice,
// 3 64-bit, 4 text, 5 bytes, 6 pointer, 7 font, 8 a code outside the range,
// 9 an integer whose change re-creates the unit.
class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Reads the form and initialises the runtime.
  void Start(const std::vector<Window>& windows);
  static Record WindowRecord(const std::string& title = "Test", std::vector<std::pair<int32_t, int32_t>> bindings = {});
  static Record UnitRecord(uint32_t id, uint32_t type, int32_t left = 10, int32_t top = 10);

  runtime::ProgramHeader header_;
  Bytes formData_;
};

}  // namespace forms_test

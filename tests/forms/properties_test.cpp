// Property access: common properties from the record or the live window with
// their clamps, the type's own properties through their data type codes, and
// re-creation from saved properties.
#include <gtest/gtest.h>

#include <cstring>

#include "forms_fixture.h"
#include "platform/windows/window.h"
#include "runtime/core/memory.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/services.h"
#include "runtime/forms/properties.h"
#include "runtime/forms/window_table.h"

namespace forms_test {

using runtime::services::Services;
namespace {

using namespace runtime;
using forms::Windows;

constexpr UnitId kUnit = 0x16010001;

class Properties : public FormsTest {
 protected:
  void StartOne(bool load = true) {
    Record unit = UnitRecord(kUnit, kTestUnitType, 24, 72);
    unit.tag = "first";
    Start({Window{kWindow, {WindowRecord(), unit}}});
    if (load) Services().LoadWindow(kWindow);
  }
  uint64_t Get(int32_t property, int32_t selector = -1) {
    return Services().GetProperty(kWindow, kUnit, property, selector);
  }
  void Set(int32_t property, uint64_t value, int32_t selector = -1) {
    Services().SetProperty(kWindow, kUnit, property, selector, value);
  }
  static std::string Text(uint64_t payload) {
    HeapBlock block(reinterpret_cast<void*>(payload));
    return block.Get() ? static_cast<const char*>(block.Get()) : "<none>";
  }
  static std::vector<uint8_t> Bytes(uint64_t payload) {
    HeapBlock block(reinterpret_cast<void*>(payload));
    if (!block.Get()) return {};
    const auto* data = ByteArrayData(block.Get());
    return std::vector<uint8_t>(data, data + ByteArrayLength(block.Get()));
  }
};

TEST_F(Properties, CommonPropertiesClampAndReachTheRecordOrTheWindow) {
  for (bool loaded : {false, true}) {
    SCOPED_TRACE(loaded ? "loaded" : "not loaded");
    SetUp();
    StartOne(loaded);
    // Unloaded, the form data's values; loaded, the window's.
    EXPECT_EQ(static_cast<int32_t>(Get(0)), 24);
    EXPECT_EQ(static_cast<int32_t>(Get(1)), 72);
    EXPECT_EQ(static_cast<int32_t>(Get(2)), 40);
    struct Case {
      int32_t property;
      int32_t value;
      int32_t stored;
    };
    const Case cases[] = {{2, -5, 0},        {0, 40000, 32627}, {0, -40000, -32627},
                          {1, 32627, 32627}, {3, 32628, 32627}, {3, 7, 7}};
    for (const Case& c : cases) {
      Set(c.property, static_cast<uint32_t>(c.value));
      EXPECT_EQ(static_cast<int32_t>(Get(c.property)), c.stored) << c.property << " <- " << c.value;
    }
    EXPECT_EQ(Text(Get(4)), "first");
    Set(4, reinterpret_cast<uintptr_t>("second, and longer"));
    EXPECT_EQ(Text(Get(4)), "second, and longer");
    Set(4, 0);
    EXPECT_EQ(Text(Get(4)), "<none>");
    EXPECT_EQ(Get(5), 1u);
    Set(5, 0);
    EXPECT_EQ(Get(5), 0u);
    Set(6, 1);
    EXPECT_EQ(Get(6), 1u);
    // The stored pointer block holds 4 zero bytes: code 0.
    EXPECT_EQ(Bytes(Get(7)), std::vector<uint8_t>(4, 0));
    TearDown();
  }
  SetUp();
}

TEST_F(Properties, MousePointerCodesAreStoredAsCursorIds) {
  StartOne();
  HeapBlock block(CopyBytes("\x0E\0\0\0", 4));  // code 14, the hand
  Set(7, reinterpret_cast<uintptr_t>(block.Get()));
  const auto record = Windows()->Find(kWindow)->units.Pointer(1);
  int32_t stored;
  std::memcpy(&stored, record.data(), 4);
  EXPECT_EQ(stored, 32649);
  EXPECT_NE(Windows()->Find(kWindow)->units.CursorSlot(1), 0u);
  EXPECT_EQ(Bytes(Get(7)), (std::vector<uint8_t>{14, 0, 0, 0}));
}

TEST_F(Properties, TypePropertiesConvertByTheirDataTypeCode) {
  StartOne();
  struct Case {
    int32_t property;  // 8 + the type's number
    uint64_t value;
    const char* handed;  // what the unit received: "first,second"
    uint64_t readBack;
  };
  const Case cases[] = {
      {8, 0xFFFFFFFF, "-1,0", 0xFFFFFFFF},                        // integer
      {9, 5, "1,0", 1},                                           // boolean: non-zero is 1
      {10, static_cast<uint32_t>(-3), "0,0", 0},                  // choice: negative is 0
      {11, 0x0000000700000009ull, "9,7", 0x0000000700000009ull},  // 64-bit halves
      {16, 12345, "0,0", 0},                                      // a code outside the range: nothing passes
  };
  for (const Case& c : cases) {
    Log().clear();
    Set(c.property, c.value);
    ASSERT_EQ(Log().size(), 1u);
    EXPECT_EQ(Log()[0], "set " + std::to_string(c.property - 8) + " " + c.handed) << c.property;
    EXPECT_EQ(Get(c.property), c.readBack) << c.property;
  }
  // Texts and byte arrays are copied both ways; none is handed as empty.
  Set(12, reinterpret_cast<uintptr_t>("abc"));
  EXPECT_EQ(Text(Get(12)), "abc");
  Set(12, 0);
  EXPECT_EQ(Text(Get(12)), "<none>");
  HeapBlock bytes(CopyBytes("\x01\x02\x03", 3));
  Set(13, reinterpret_cast<uintptr_t>(bytes.Get()));
  EXPECT_EQ(Bytes(Get(13)), (std::vector<uint8_t>{1, 2, 3}));
  Log().clear();
  Set(13, 0);
  EXPECT_EQ(Log()[0], "set 5 0,0");
  EXPECT_EQ(Get(13), 0u);
}

TEST_F(Properties, FontsChangeOneItemOrTheWholeRecord) {
  StartOne();
  // The unit has no font yet: the default font stands in, one item changes.
  Set(15, 1, 1);  // bold
  EXPECT_EQ(Get(15, 1), 1u);
  Set(15, static_cast<uint32_t>(-450), 0);  // angle: -450 is 3150
  EXPECT_EQ(Get(15, 0), 3150u);
  Set(15, 12, 5);
  EXPECT_EQ(Get(15, 5), 12u);
  Set(15, reinterpret_cast<uintptr_t>(""), 6);  // no face name: the Song face
  EXPECT_EQ(Text(Get(15, 6)), "\xCB\xCE\xCC\xE5");
  forms::FontRecord record{0, 0, 1, 0, 1, 9, "Sans"};
  Set(15, reinterpret_cast<uintptr_t>(&record), -1);
  HeapBlock whole(reinterpret_cast<void*>(Get(15, -1)));
  const auto* read = static_cast<const forms::FontRecord*>(whole.Get());
  EXPECT_EQ(read->bold, 0);
  EXPECT_EQ(read->italic, 1);
  EXPECT_EQ(read->underline, 1);
  EXPECT_EQ(read->points, 9);
  EXPECT_STREQ(read->face, "Sans");
  Free(const_cast<char*>(read->face));
}

TEST_F(Properties, ARecreatedUnitKeepsItsPlaceAndComesFromItsSavedProperties) {
  StartOne();
  Set(0, 30);
  Set(6, 1);
  auto* before = reinterpret_cast<UnitObject*>(NotifyRuntime(notify::kFindUnitObject, kWindow, kUnit));
  const platform::HWND oldHandle = before->WindowHandle();
  Log().clear();
  Set(17, 0);  // this property asks for re-creation
  auto* after = reinterpret_cast<UnitObject*>(NotifyRuntime(notify::kFindUnitObject, kWindow, kUnit));
  ASSERT_NE(after, nullptr);
  EXPECT_FALSE(platform::IsWindow(oldHandle));
  // Built from the saved block (generation 1), disabled, at its place.
  EXPECT_EQ(Get(17), 1u);
  EXPECT_EQ(Get(6), 1u);
  EXPECT_EQ(static_cast<int32_t>(Get(0)), 30);
  EXPECT_EQ(Log()[1], "create 16010001 id=100 style=8000000");
  // The old unit's end did not clear the record.
  EXPECT_EQ(reinterpret_cast<UnitObject*>(NotifyRuntime(notify::kFindUnitObject, kWindow, kUnit)), after);
}

using PropertiesDeathTest = Properties;

TEST_F(PropertiesDeathTest, TypePropertiesOfAUnitNotLoadedAreRuntimeErrors) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  StartOne(false);
  EXPECT_EXIT(Get(8), testing::ExitedWithCode(255), "读取组件属性时发现指定窗口尚未载入");
  EXPECT_EXIT(Set(8, 1), testing::ExitedWithCode(255), "修改组件属性时发现指定窗口尚未载入");
  EXPECT_EXIT(Services().GetProperty(0x52019999, kUnit, 0, -1), testing::ExitedWithCode(255),
              "未载入欲访问窗口组件所在的窗口");
}

}  // namespace
}  // namespace forms_test

// Reading form data: fields where the layout puts them, bindings relocated,
// exact consumption, and hostile bytes refused without a read out of bounds.
#include <gtest/gtest.h>

#include "form_builder.h"
#include "runtime/forms/window_definition.h"

namespace {

using namespace forms_test;
using runtime::forms::ReadFormData;

void First(runtime::HandlerCall&) {}
void Second(runtime::HandlerCall&) {}
const runtime::LogicRoutine kRoutines[] = {{0, &First}, {0x1C9, &Second}};

Window SampleWindow() {
  Window w{0x52010001, {}};
  Record window;
  window.id = 0x06010000;
  window.type = 0x00010001;
  window.left = 50, window.top = 50, window.width = 501, window.height = 501;
  window.bindings = {{0, 0}, {3, -1}};
  window.block = WindowBlockBytes("Tessellon");
  Record unit;
  unit.id = 0x16010006;
  unit.type = 0x00020001;
  unit.name = "\xCD\xCF\xB7\xC5";
  unit.left = 104, unit.top = 144, unit.width = 48, unit.height = 40;
  unit.flags = 0;
  unit.tag = "tag";
  unit.children = {0x16010007, 0, 0x16010008};
  unit.bindings = {{3, 0x1C9}, {3, 0}};
  unit.block = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
  Record menu;
  menu.id = 0x26010001;  // a menu item id
  menu.menuBody = MenuItemBody(0x1C9);
  w.records = {window, unit, menu};
  return w;
}

TEST(FormReader, ReadsEveryFieldAndRelocatesBindings) {
  const Bytes data = FormData({SampleWindow()});
  auto read = ReadFormData(data, kRoutines);
  ASSERT_TRUE(read);
  ASSERT_EQ(read->size(), 1u);
  const auto& w = (*read)[0];
  EXPECT_EQ(w.id, 0x52010001);
  EXPECT_EQ(w.secondValue, 0x19010009u);
  const auto& u = w.units;
  ASSERT_EQ(u.Count(), 3);
  EXPECT_EQ(u.IndexOf(0x16010006), 1);
  EXPECT_EQ(u.IndexOf(0x16000000), runtime::forms::kNoIndex);  // not a valid id
  EXPECT_EQ(u.UnitType(1), 0x00020001u);
  EXPECT_EQ(u.Name(1), "\xCD\xCF\xB7\xC5");
  EXPECT_EQ(u.RectField(1, 0), 104);
  EXPECT_EQ(u.RectField(1, 3), 40);
  EXPECT_EQ(u.Children(1), (std::vector<runtime::UnitId>{0x16010007, 0, 0x16010008}));
  EXPECT_EQ(u.Pointer(1).size(), 4u);
  EXPECT_EQ(u.Tag(1), "tag");
  EXPECT_EQ(u.TypeBlock(1).size(), 20u);
  EXPECT_EQ(u.TypeBlock(0).size(), SampleWindow().records[0].block.size());
  // -1 reads as no handler, 0 as the routine at the code base itself; the
  // routines are named by position + 1.
  const auto windowBindings = u.Bindings(0);
  ASSERT_EQ(windowBindings.size(), 2u);
  EXPECT_EQ(windowBindings[0].handler, 1);
  EXPECT_EQ(windowBindings[1].handler, 0);
  EXPECT_EQ(u.Bindings(1)[0].handler, 2);
  EXPECT_EQ(u.MenuHandler(2), 2);
}

TEST(FormReader, RefusesDataThatIsShortLongOrBindsNoRoutine) {
  const Bytes data = FormData({SampleWindow()});
  // Cut anywhere, the data is refused (and the sanitizers see no stray read).
  for (size_t length = 0; length < data.size(); ++length)
    EXPECT_FALSE(ReadFormData(Bytes(data.begin(), data.begin() + static_cast<ptrdiff_t>(length)), kRoutines)) << length;
  Bytes longer = data;
  longer.push_back(0);
  EXPECT_FALSE(ReadFormData(longer, kRoutines));  // a well-formed block is consumed exactly
  EXPECT_FALSE(ReadFormData(data, std::span<const runtime::LogicRoutine>(kRoutines, 1)));  // 0x1C9 unknown
  // An empty window table reads as no windows.
  EXPECT_EQ(ReadFormData(Bytes(4, 0), kRoutines)->size(), 0u);
}

TEST(FormReader, HostileCountsAndOffsetsAreRefused) {
  Window w = SampleWindow();
  struct Case {
    const char* what;
    void (*spoil)(Bytes& list);
  };
  // Unit list layout: 3 ids, 3 offsets, then the records.
  const Case cases[] = {
      {"offset past the end", [](Bytes& l) { l[12] = 0xFF, l[13] = 0xFF; }},
      {"record size past the end", [](Bytes& l) { l[24 + 0] = 0xFF, l[24 + 1] = 0xFF, l[24 + 3] = 0x7F; }},
      {"negative record size", [](Bytes& l) { l[24 + 3] = 0x80; }},
      {"name without its zero",
       [](Bytes& l) {
         // Make every byte after the fixed fields of record 0 non-zero.
         for (size_t i = 24 + 4 + 24; i < l.size(); ++i) l[i] = 'x';
       }},
  };
  for (const Case& c : cases) {
    Bytes list = w.UnitList();
    c.spoil(list);
    Bytes data;
    Bytes table;
    Put(table, w.id);
    Put(table, 0);
    PutCounted(data, table);
    for (uint32_t v : {0u, 0x19010009u, 0u, 0u, 3u}) Put(data, v);
    PutCounted(data, list);
    EXPECT_FALSE(ReadFormData(data, kRoutines)) << c.what;
  }
}

TEST(UnitList, RewritesMoveLaterRecordsAndKeepTheRest) {
  auto read = ReadFormData(FormData({SampleWindow()}), kRoutines);
  ASSERT_TRUE(read);
  auto& u = (*read)[0].units;
  const auto block1 = std::vector<uint8_t>(u.TypeBlock(1).begin(), u.TypeBlock(1).end());
  const size_t size0 = u.Body(0).size();
  ASSERT_TRUE(u.ReplaceTag(0, "a much longer tag than before"));
  EXPECT_EQ(u.Tag(0), "a much longer tag than before");
  EXPECT_EQ(u.Body(0).size(), size0 + 29);
  EXPECT_EQ(u.Tag(1), "tag");
  EXPECT_EQ(std::vector<uint8_t>(u.TypeBlock(1).begin(), u.TypeBlock(1).end()), block1);
  EXPECT_EQ(u.MenuHandler(2), 2);
  ASSERT_TRUE(u.ReplacePointer(1, Bytes{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(u.Pointer(1).size(), 6u);
  EXPECT_EQ(u.Tag(1), "tag");
  ASSERT_TRUE(u.ReplaceTag(0, ""));
  EXPECT_EQ(u.Body(0).size(), size0 - 0);
  EXPECT_EQ(u.Name(1), "\xCD\xCF\xB7\xC5");
}

}  // namespace

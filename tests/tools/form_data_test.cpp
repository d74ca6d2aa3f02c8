// The embedded form data, walked by hand: every count, offset and size must
// lead exactly to where the next part starts, and each unit record must carry
// its own id, name, place, flags, bindings and property block.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "tools/form_data.h"
#include "tools/form_description.h"

namespace {

// Little-endian reads that throw past the end, so a layout fault fails the
// test instead of reading beyond the data.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> data) : data_(data) {}

  std::span<const uint8_t> Take(size_t n) {
    if (n > data_.size() - pos_) throw std::out_of_range("read past the end at " + std::to_string(pos_));
    auto part = data_.subspan(pos_, n);
    pos_ += n;
    return part;
  }
  uint32_t U32() {
    auto b = Take(4);
    return b[0] | b[1] << 8 | b[2] << 16 | uint32_t{b[3]} << 24;
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  std::string Counted() {
    const int32_t n = I32();
    if (n <= 0) return {};
    auto b = Take(static_cast<size_t>(n));
    return {b.begin(), b.end()};
  }
  std::string ZeroTerminated() {
    std::string text;
    for (uint8_t c = Take(1)[0]; c != 0; c = Take(1)[0]) text.push_back(static_cast<char>(c));
    return text;
  }
  size_t pos() const { return pos_; }
  size_t remaining() const { return data_.size() - pos_; }

 private:
  std::span<const uint8_t> data_;
  size_t pos_ = 0;
};

std::string Gbk(const std::string& utf8) {
  iconv_t cd = iconv_open("GBK", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no GBK converter");
  std::string in = utf8, out(utf8.size() * 2, '\0');
  char* src = in.data();
  char* dst = out.data();
  size_t src_left = in.size(), dst_left = out.size();
  const size_t result = iconv(cd, &src, &src_left, &dst, &dst_left);
  iconv_close(cd);
  if (result == static_cast<size_t>(-1)) throw std::runtime_error("not convertible: " + utf8);
  out.resize(out.size() - dst_left);
  return out;
}

std::string Photograph() {
  std::ifstream in(TESSELLON_BACKGROUND_PHOTOGRAPH, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Walks the window table and the one window definition; returns the unit list.
std::span<const uint8_t> UnitList(std::span<const uint8_t> form) {
  Reader r(form);
  EXPECT_EQ(r.I32(), 8);  // window table: one window
  EXPECT_EQ(r.U32(), 0x52010001u);
  EXPECT_EQ(r.U32(), 0u);           // its object slot
  EXPECT_EQ(r.I32(), 0);            // first value
  EXPECT_EQ(r.U32(), 0x19010009u);  // second value
  EXPECT_EQ(r.I32(), 0);            // first text, empty
  EXPECT_EQ(r.I32(), 0);            // second text, empty
  EXPECT_EQ(r.I32(), 8);            // unit count
  const int32_t length = r.I32();
  EXPECT_EQ(static_cast<size_t>(length), r.remaining()) << "the unit list must end the form data";
  return r.Take(static_cast<size_t>(length));
}

enum class Counted { kEmpty, kPhotograph, kTitle };

struct TypeBlock {
  std::vector<uint32_t> values;  // the int32 fields, version first
  std::vector<Counted> counted;  // the counted fields that follow them
};

const TypeBlock kWindowBlock{
    // version, border, layout, background, maximise, minimise, control box,
    // start position, movable, sound mode, Enter, Esc, F1, help context,
    // taskbar, drag, shape, on top, keep title active
    {6, 2, 3, 0xFF000000, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0},
    // class name, background picture, icon, sound, title, help file
    {Counted::kEmpty, Counted::kPhotograph, Counted::kEmpty, Counted::kEmpty, Counted::kTitle, Counted::kEmpty}};
const TypeBlock kPictureBoxBlock{{2, 0, 0xFF000000, 1, 1},  // version, border, background, display mode, animate
                                 {Counted::kEmpty, Counted::kEmpty, Counted::kEmpty}};  // picture, two texts
const TypeBlock kDrawPanelBlock{// version, border, background, layout, auto redraw, scale mode, pen style,
                                // draw mode, pen width, pen colour, brush type, brush colour, text colour,
                                // text background
                                {1, 0, 0xFF000000, 1, 1, 0, 1, 12, 0, 0, 1, 0x00FFFFFF, 0, 0xFF000000},
                                {Counted::kEmpty, Counted::kPhotograph}};  // font, background picture
const TypeBlock kDropObjectBlock{{1, 0, 0, 0, 1}, {}};

struct ExpectedUnit {
  uint32_t id;
  const char* name;  // UTF-8; the record holds it in GBK
  int32_t left, top, width, height;
  uint32_t flags;
  std::vector<std::pair<int32_t, int32_t>> bindings;  // event key -> code offset
  uint32_t type;
  const TypeBlock* block;
  size_t fixed_size;  // record size without the photographs and title
  int photographs;    // how many times the photograph is in it
  bool titled;
};

TEST(FormData, EveryRecordSitsWhereTheLayoutPutsIt) {
  const std::string photograph = Photograph();
  ASSERT_GT(photograph.size(), 1000u);
  const std::string title(formgen::kTitle);

  const ExpectedUnit units[] = {
      {0x06010000, "", 50, 50, 501, 501, 1, {{0, 0}}, 0x00010001, &kWindowBlock, 211, 1, true},
      {0x1601000F, "图片框3", 24, 272, 182, 182, 1, {}, 0x00010006, &kPictureBoxBlock, 142, 0, false},
      {0x1601000E, "图片框2", 272, 72, 182, 182, 1, {}, 0x00010006, &kPictureBoxBlock, 142, 0, false},
      {0x1601000D, "图片框1", 24, 72, 182, 182, 1, {}, 0x00010006, &kPictureBoxBlock, 142, 0, false},
      {0x16010008, "拖放对象3", 104, 360, 48, 40, 0, {{3, 0x895}}, 0x00020001, &kDropObjectBlock, 140, 0, false},
      {0x16010007, "拖放对象2", 296, 144, 48, 40, 0, {{3, 0x52F}}, 0x00020001, &kDropObjectBlock, 140, 0, false},
      {0x16010006, "拖放对象1", 104, 144, 48, 40, 0, {{3, 0x1C9}}, 0x00020001, &kDropObjectBlock, 140, 0, false},
      {0x16010005, "画板1", 584, 160, 2160, 2160, 1, {}, 0x00010008, &kDrawPanelBlock, 172, 1, false},
  };
  constexpr size_t kCount = std::size(units);

  const std::span<const uint8_t> list = UnitList(formdata::Bytes());
  Reader head(list);
  for (const auto& unit : units) EXPECT_EQ(head.U32(), unit.id);
  std::vector<uint32_t> offsets;
  for (size_t i = 0; i < kCount; ++i) offsets.push_back(head.U32());
  const auto records = list.subspan(8 * kCount);

  size_t next = 0;  // records follow each other with no gap
  for (size_t i = 0; i < kCount; ++i) {
    const ExpectedUnit& unit = units[i];
    SCOPED_TRACE("record " + std::to_string(i));
    ASSERT_EQ(offsets[i], next);
    Reader at(records.subspan(offsets[i]));
    const size_t size = static_cast<size_t>(at.I32());
    ASSERT_EQ(size, unit.fixed_size + unit.photographs * photograph.size() + (unit.titled ? title.size() : 0));
    next += 4 + size;

    Reader r(records.subspan(offsets[i] + 4, size));
    EXPECT_EQ(r.U32(), unit.type);
    EXPECT_EQ(r.U32(), 0u);  // event source: its own bindings
    for (int k = 0; k < 4; ++k) EXPECT_EQ(r.U32(), 0u);
    EXPECT_EQ(r.ZeroTerminated(), Gbk(unit.name));
    EXPECT_EQ(r.ZeroTerminated(), "");  // second name
    EXPECT_EQ(r.U32(), 0u);             // object slot
    EXPECT_EQ(r.I32(), unit.left);
    EXPECT_EQ(r.I32(), unit.top);
    EXPECT_EQ(r.I32(), unit.width);
    EXPECT_EQ(r.I32(), unit.height);
    EXPECT_EQ(r.U32(), 0u);  // cursor slot
    EXPECT_EQ(r.U32(), 0u);  // parent: the window
    EXPECT_EQ(r.I32(), 0);   // no children
    EXPECT_EQ(r.I32(), 4);   // mouse pointer block: one int32, no cursor
    EXPECT_EQ(r.I32(), 0);
    EXPECT_EQ(r.ZeroTerminated(), "");  // tag
    EXPECT_EQ(r.I32(), 0);
    EXPECT_EQ(r.U32(), unit.flags);
    EXPECT_EQ(r.I32(), 0);  // tab order
    ASSERT_EQ(r.I32(), static_cast<int32_t>(unit.bindings.size()));
    for (const auto& [key, offset] : unit.bindings) {
      EXPECT_EQ(r.I32(), key);
      EXPECT_EQ(r.I32(), offset);
    }
    for (int k = 0; k < 5; ++k) EXPECT_EQ(r.I32(), 0);

    // The type block is the rest of the record, to its last byte.
    for (uint32_t value : unit.block->values) EXPECT_EQ(r.U32(), value);
    for (Counted kind : unit.block->counted) {
      const std::string bytes = r.Counted();
      switch (kind) {
        case Counted::kEmpty: EXPECT_TRUE(bytes.empty()); break;
        case Counted::kPhotograph: EXPECT_TRUE(bytes == photograph) << "photograph bytes differ"; break;
        case Counted::kTitle: EXPECT_EQ(bytes, title); break;
      }
    }
    EXPECT_EQ(r.remaining(), 0u);
  }
  EXPECT_EQ(next, records.size()) << "the last record must end the unit list";
}

}  // namespace

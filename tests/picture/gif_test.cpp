#include <gtest/gtest.h>

#include "gif_builder.h"
#include "runtime/picture/formats/gif_decoder.h"
#include "runtime/picture/formats/lzw.h"
#include "test_support.h"

namespace picture_test {

using runtime::picture::formats::GifDecoder;
using runtime::picture::formats::GifStep;
using runtime::picture::formats::LzwDecoder;
using runtime::picture::formats::LzwResult;
using runtime::picture::formats::LzwSink;

using runtime::picture::formats::GifFrame;
namespace {

using runtime::picture::formats::GifDecoder;
using runtime::picture::formats::GifFrame;
using runtime::picture::formats::GifStep;
using runtime::picture::formats::LzwDecoder;
using runtime::picture::formats::LzwResult;
using runtime::picture::formats::LzwSink;

class VectorSink final : public LzwSink {
 public:
  explicit VectorSink(size_t room = SIZE_MAX) : room_(room) {}
  void Write(const uint8_t* p, size_t n) override { out.insert(out.end(), p, p + n); }
  bool Full() const override { return out.size() >= room_; }
  Bytes out;

 private:
  size_t room_;
};

LzwResult RunLzw(const Bytes& data, int minimum, VectorSink& sink) {
  auto lzw = std::make_unique<LzwDecoder>();
  return lzw->Decode(data, minimum, sink);
}

// Minimum code size 2: clear 4, end 5, first free slot 6, codes 3 bits wide
// until slot 8 is reached.
TEST(Lzw, StringsFromTheTableAndTheCodeNotYetInIt) {
  VectorSink sink;
  // 6 = "1 2" is made by the second code; the next 6 reuses it.
  EXPECT_EQ(RunLzw(PackCodes({{4, 3}, {1, 3}, {2, 3}, {6, 3}, {5, 4}}), 2, sink), LzwResult::Done);
  EXPECT_EQ(sink.out, (Bytes{1, 2, 1, 2}));

  VectorSink repeat;
  // 6 is the next free slot when it arrives: previous string plus its first index.
  EXPECT_EQ(RunLzw(PackCodes({{4, 3}, {3, 3}, {6, 3}, {5, 3}}), 2, repeat), LzwResult::Done);
  EXPECT_EQ(repeat.out, (Bytes{3, 3, 3}));
}

TEST(Lzw, CodesThatCannotBeDecodedEndTheImage) {
  VectorSink a, b, c, d;
  EXPECT_EQ(RunLzw(PackCodes({{4, 3}, {6, 3}}), 2, a), LzwResult::BadCode) << "first code after a clear is no root";
  EXPECT_EQ(RunLzw(PackCodes({{4, 3}, {1, 3}, {7, 3}}), 2, b), LzwResult::BadCode) << "code beyond the next slot";
  EXPECT_EQ(RunLzw(PackCodes({{4, 3}, {1, 3}, {2, 3}}), 2, c), LzwResult::OutOfData) << "no end code";
  EXPECT_EQ(RunLzw(PackCodes({{4, 3}, {5, 3}}), 9, d), LzwResult::BadCode) << "minimum code size above 8";
}

TEST(Lzw, AFullTableKeepsTwelveBitCodesAndAddsNothing) {
  // Codes 1 then 6, 7, 8, ... each name the string just added: the runs of 1s
  // grow by one each time until all 4096 slots are used.
  Codes codes = {{4, 3}, {1, 3}};
  int width = 3;
  uint32_t next = 6;
  size_t expected = 1;
  for (uint32_t code = 6; code < 4096; ++code) {
    codes.push_back({code, width});
    expected += code - 6 + 2;
    ++next;  // the slot this code filled
    if (next == (1u << width) && width < 12) ++width;
  }
  // The table is full: another code 4095 stays 12 bits wide and adds nothing,
  // then the end code.
  codes.push_back({4095, 12});
  expected += 4095 - 6 + 2;
  codes.push_back({5, 12});
  const Bytes packed = PackCodes(codes);
  VectorSink sink;
  EXPECT_EQ(RunLzw(packed, 2, sink), LzwResult::Done);
  EXPECT_EQ(sink.out.size(), expected);
  EXPECT_TRUE(std::all_of(sink.out.begin(), sink.out.end(), [](uint8_t v) { return v == 1; }));
}

const Bytes kRedGreen = {255, 0, 0, 0, 255, 0};
using Rgb = std::array<uint8_t, 3>;
constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlack{0, 0, 0};

TEST(Gif, FirstImageSitsTopLeftOnALogicalScreenOfBlack) {
  // Screen 4 x 3, image 2 x 2 at (7, 9): its offsets are not used.
  const auto p = Decode(GifBuilder(4, 3, kRedGreen).Image(2, 2, {0, 1, 1, 0}).Done());
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, 5);
  EXPECT_EQ(p->width, 4);
  EXPECT_EQ(p->height, 3);
  const uint8_t* h = p->pixels;
  EXPECT_EQ(h[0], 40);
  EXPECT_EQ(h[14], 8);
  EXPECT_EQ(h[32] | h[33] << 8, 256);  // colours used
  EXPECT_EQ(int32_t(h[8] | h[9] << 8 | h[10] << 16 | h[11] << 24), -3);
  const Rgb expected[3][4] = {
      {kRed, kGreen, kBlack, kBlack}, {kGreen, kRed, kBlack, kBlack}, {kBlack, kBlack, kBlack, kBlack}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(RgbAt(*p, x, y), expected[y][x]) << x << "," << y;
}

TEST(Gif, AFullPaletteWithoutBlackFillsTheScreenWithItsDarkestEntry) {
  Bytes table;
  for (int i = 0; i < 256; ++i) table.insert(table.end(), {static_cast<uint8_t>(i), 200, 200});
  table[7 * 3] = table[7 * 3 + 1] = table[7 * 3 + 2] = 5;
  const auto p = Decode(GifBuilder(2, 1, table).Image(1, 1, {0}).Done());
  ASSERT_TRUE(p);
  EXPECT_EQ(RgbAt(*p, 0, 0), (Rgb{0, 200, 200}));
  EXPECT_EQ(RgbAt(*p, 1, 0), (Rgb{5, 5, 5}));
}

TEST(Gif, ImagesWiderThanTheScreenAreClipped) {
  const auto p = Decode(GifBuilder(2, 1, kRedGreen).Image(3, 2, {1, 0, 1, 0, 0, 0}).Done());
  ASSERT_TRUE(p);
  EXPECT_EQ(p->width, 2);
  EXPECT_EQ(p->height, 1);
  EXPECT_EQ(RgbAt(*p, 0, 0), kGreen);
  EXPECT_EQ(RgbAt(*p, 1, 0), kRed);
}

TEST(Gif, IndicesWithoutATableEntryAreBlack) {
  // No global table at all; then a one-entry local table and index 3.
  auto p = Decode(GifBuilder(2, 1, {}).Image(2, 1, {0, 1}).Done());
  ASSERT_TRUE(p);
  EXPECT_EQ(RgbAt(*p, 0, 0), kBlack);
  EXPECT_EQ(RgbAt(*p, 1, 0), kBlack);
  p = Decode(GifBuilder(2, 1, {}).Image(2, 1, {0, 3}, 0x80, {9, 8, 7, 6, 5, 4}).Done());
  ASSERT_TRUE(p);
  EXPECT_EQ(RgbAt(*p, 0, 0), (Rgb{9, 8, 7}));
  EXPECT_EQ(RgbAt(*p, 1, 0), kBlack);
}

TEST(Gif, InterlacedRowsFollowTheFourPassesEvenWhenShort) {
  // 1 x 5: pass 1 row 0, pass 2 row 4, pass 3 row 2, pass 4 rows 1 and 3.
  const Bytes table = {0, 0, 0, 10, 10, 10, 20, 20, 20, 30, 30, 30};
  const auto p = Decode(GifBuilder(1, 5, table).Image(1, 5, {0, 1, 2, 3, 1}, 0x40).Done());
  ASSERT_TRUE(p);
  const uint8_t expected[5] = {0, 3, 2, 1, 1};
  for (int y = 0; y < 5; ++y) EXPECT_EQ(RgbAt(*p, 0, y)[0], expected[y] * 10) << y;
}

TEST(Gif, StreamsWithoutADecodableFirstImageGiveNoPicture) {
  EXPECT_FALSE(Decode(GifBuilder(4, 4, kRedGreen).Done())) << "trailer only";
  EXPECT_FALSE(Decode(GifBuilder(4, 4, kRedGreen).Raw({'!', 0x42, 1, 0, 0}).Image(1, 1, {0}).Done()))
      << "unknown extension label";
  EXPECT_FALSE(Decode(GifBuilder(4, 4, kRedGreen).Raw({'!', 0xFE, 200, 1}).Done())) << "comment past the end";
  // A first code that is no root.
  EXPECT_FALSE(Decode(GifBuilder(1, 1, kRedGreen).Raw({',', 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 1, 0x34, 0}).Done()));
  // Image data that stop before the end code.
  EXPECT_FALSE(Decode(GifBuilder(1, 1, kRedGreen).Raw({',', 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 1, 0x0C, 0}).Done()));
  Bytes cut = GifBuilder(2, 2, kRedGreen).Image(2, 2, {0, 1, 1, 0}).Done();
  cut.resize(cut.size() - 4);
  EXPECT_FALSE(Decode(cut)) << "sub-blocks cut short";
  EXPECT_FALSE(Decode(GifBuilder(0, 0, kRedGreen).Image(1, 1, {0}).Done())) << "empty logical screen";
  Bytes header = GifBuilder(1, 1, kRedGreen).Done();
  header.pop_back();
  EXPECT_FALSE(Decode(header)) << "nothing after the colour table";
}

TEST(Gif, ImagesWithoutAreaArePassedOver) {
  const auto p = Decode(GifBuilder(1, 1, kRedGreen).Image(0, 3, {}).Image(1, 1, {1}).Done());
  ASSERT_TRUE(p);
  EXPECT_EQ(RgbAt(*p, 0, 0), kGreen);
}

TEST(Gif, DecoderStepsThroughFramesAndWrapsAtTheTrailer) {
  const Bytes file = GifBuilder(3, 3, kRedGreen)
                         .Raw({'!', 0xFF, 11, 'L', 'O', 'O', 'P', 'B', 'L', 'O', 'C', 'K', '1', '0', 3, 1, 0, 0, 0})
                         .Control(0x09, 7, 1)  // disposal 2, transparent index 1
                         .Image(2, 1, {0, 1})
                         .Raw({',', 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 1, 0x34, 0})  // undecodable
                         .Control(0x0C, 0, 0)                                   // disposal 3, opaque
                         .Image(1, 1, {1}, 0x80, {1, 2, 3, 4, 5, 6})
                         .Done();
  auto gif = GifDecoder::Open(file);
  ASSERT_TRUE(gif);
  EXPECT_EQ(gif->ScreenWidth(), 3);
  GifFrame frame;
  ASSERT_EQ(gif->NextFrame(frame), GifStep::Frame);
  EXPECT_EQ(frame.left, 7);
  EXPECT_EQ(frame.top, 9);
  EXPECT_EQ(frame.width, 2);
  EXPECT_EQ(frame.control.disposal, 8);
  EXPECT_TRUE(frame.control.transparent);
  EXPECT_EQ(frame.control.delay, 7);
  EXPECT_EQ(frame.transparentColour, 0x00FF00u);  // green as a COLORREF
  EXPECT_FALSE(gif->AtStreamEnd());

  EXPECT_EQ(gif->NextFrame(frame), GifStep::BadFrame);
  ASSERT_EQ(gif->NextFrame(frame), GifStep::Frame);
  EXPECT_EQ(frame.control.disposal, 12);
  EXPECT_FALSE(frame.control.transparent);
  EXPECT_EQ(frame.transparentColour, 0xFFFFFFu);
  EXPECT_EQ(frame.dib.Palette()[4 + 2], 4);  // local entry 1 = (4, 5, 6) stored blue-green-red
  EXPECT_TRUE(gif->AtStreamEnd());

  // At the trailer the stream starts over with the first frame.
  ASSERT_EQ(gif->NextFrame(frame), GifStep::Frame);
  EXPECT_EQ(frame.width, 2);
  EXPECT_EQ(frame.control.delay, 7);
}

TEST(Gif, SingleImageFilesEndRightAfterTheirFirstFrame) {
  auto gif = GifDecoder::Open(GifBuilder(1, 1, kRedGreen).Image(1, 1, {0}).Done());
  ASSERT_TRUE(gif);
  GifFrame frame;
  ASSERT_EQ(gif->NextFrame(frame), GifStep::Frame);
  EXPECT_TRUE(gif->AtStreamEnd());
}

TEST(Gif, FilesFromOtherEncodersDecodePixelExact) {
  for (const char* name : {"pil.gif", "pil_interlaced.gif", "im_interlaced.gif"}) {
    const auto p = Decode(Sample(name));
    ASSERT_TRUE(p) << name;
    EXPECT_EQ(p->width, 29) << name;
    EXPECT_EQ(ToRgb(*p), Sample("pal.rgb")) << name;
  }
}

TEST(Gif, AnimationFramesUseTheirOwnPalettes) {
  const Bytes file = Sample("anim.gif");
  const auto still = Decode(file);
  ASSERT_TRUE(still);
  EXPECT_EQ(ToRgb(*still), Sample("anim1.rgb"));

  auto gif = GifDecoder::Open(file);
  ASSERT_TRUE(gif);
  GifFrame first, second;
  ASSERT_EQ(gif->NextFrame(first), GifStep::Frame);
  EXPECT_EQ(first.control.delay, 7);
  ASSERT_EQ(gif->NextFrame(second), GifStep::Frame);
  EXPECT_EQ(second.control.delay, 12);
  const Bytes expected = Sample("anim2.rgb");
  for (int y = 0; y < second.height; ++y) {
    for (int x = 0; x < second.width; ++x) {
      const uint8_t* e = second.dib.Palette() + second.dib.Row(y)[x] * 4;
      const size_t at = ((second.top + y) * 12 + second.left + x) * 3;
      EXPECT_EQ((Rgb{e[2], e[1], e[0]}), (Rgb{expected[at], expected[at + 1], expected[at + 2]})) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace picture_test

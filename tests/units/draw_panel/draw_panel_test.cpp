#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "panel_fixture.h"
#include "platform/gdi/gdi.h"
#include "platform/windows/window.h"
#include "platform/windows/window_dc.h"
#include "runtime/core/memory.h"
#include "runtime/core/services/services.h"
#include "runtime/picture/table/picture_table.h"
#include "runtime/units/draw_panel/draw_panel_commands.h"

namespace panel_test {

using runtime::units::draw_panel::DrawPanelProperties;
using runtime::units::draw_panel::ReadDrawPanelBlock;
using runtime::units::draw_panel::WriteDrawPanelBlock;
namespace {

using namespace platform;
using runtime::ArgRecord;
using runtime::picture::table::InstalledPictureTable;
using runtime::units::draw_panel::DrawPanelProperties;

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255), kGrey = RGB(128, 128, 128), kBlack = 0;

struct Pixel {
  int x, y;
  COLORREF colour;
};

// Reads of the block: what is accepted, what is refused.
TEST(DrawPanelBlock, ReadsVersionsZeroAndOneAndRefusesWhatDoesNotHold) {
  DrawPanelProperties written;
  written.penWidth = 7;
  written.textBackground = 0x123456;
  written.font = Bytes(60, 'f');
  written.picture = {1, 2, 3};
  const Bytes block = runtime::units::draw_panel::WriteDrawPanelBlock(written);
  ASSERT_EQ(block.size(), 64u + 60u + 3u);
  auto withWord = [&](size_t offset, uint32_t value) {
    Bytes b = block;
    std::memcpy(b.data() + offset, &value, 4);
    return b;
  };
  struct Case {
    const char* what;
    Bytes bytes;
    bool accepted;
  };
  const Case cases[] = {
      {"as written", block, true},
      {"version 0", withWord(0, 0), true},
      {"version 2", withWord(0, 2), false},
      {"version -1 (unsigned)", withWord(0, 0xFFFFFFFF), false},
      {"ends inside the fields", Bytes(block.begin(), block.begin() + 40), false},
      {"font count past the end", withWord(56, 1000), false},
      {"picture bytes cut short", Bytes(block.begin(), block.end() - 1), false},
      {"empty", Bytes{}, false},
  };
  for (const Case& c : cases) {
    const auto read = runtime::units::draw_panel::ReadDrawPanelBlock(c.bytes);
    EXPECT_EQ(read.has_value(), c.accepted) << c.what;
    if (!read || !c.accepted) continue;
    EXPECT_EQ(read->penWidth, 7) << c.what;
    EXPECT_EQ(read->textBackground, 0x123456) << c.what;
    EXPECT_EQ(read->font, written.font) << c.what;
    EXPECT_EQ(read->picture, written.picture) << c.what;
  }
  // A negative count is an empty field, and the next one follows at once.
  Bytes negative = withWord(56, 0xFFFFFFF0);
  negative.erase(negative.begin() + 60, negative.begin() + 120);
  const auto read = runtime::units::draw_panel::ReadDrawPanelBlock(negative);
  ASSERT_TRUE(read.has_value());
  EXPECT_TRUE(read->font.empty());
  EXPECT_EQ(read->picture, written.picture);
}

// Every integer property through the property service: values beyond the
// range are clamped, colours and widths kept as given.
TEST_F(PanelTest, IntegerPropertiesAreClampedToTheirRanges) {
  Load(DrawPanelProperties{});
  struct Case {
    int32_t property;
    int32_t set;
    int32_t read;
  };
  const Case cases[] = {
      {8, 9, 5},        {8, -1, 0},       {9, 0x123456, 0x123456},
      {11, 3, 2},       {11, -4, 0},      {12, 1, 1},
      {12, 7, 1},       {13, 6, 5},       {14, 7, 6},
      {15, 16, 15},     {15, -1, 0},      {16, 40000, 32767},
      {16, -3, 0},      {17, 0xFF, 0xFF}, {18, 56, 55},
      {18, -2, 0},      {19, 0x10, 0x10}, {20, 0x20, 0x20},
      {21, 0x30, 0x30},
  };
  const auto& services = runtime::services::Services();
  for (const Case& c : cases) {
    services.SetProperty(kWindow, kPanel, c.property, -1, static_cast<uint32_t>(c.set));
    EXPECT_EQ(static_cast<int32_t>(services.GetProperty(kWindow, kPanel, c.property, -1)), c.read)
        << "#" << c.property << " set to " << c.set;
  }
  // The drawing size in pixels, then in 0.1 mm (100 px = 264.6).
  services.SetProperty(kWindow, kPanel, 13, -1, 0);
  EXPECT_EQ(services.GetProperty(kWindow, kPanel, 23, -1), 100u);
  services.SetProperty(kWindow, kPanel, 13, -1, 1);
  EXPECT_EQ(services.GetProperty(kWindow, kPanel, 23, -1), 265u);
  EXPECT_EQ(services.GetProperty(kWindow, kPanel, 24, -1), 159u);
}

// The three layouts over a blue background, with a 30 x 20 red picture whose
// top-left pixel is green; what the picture leaves uncovered is blue.
TEST_F(PanelTest, BackgroundLayoutsPlaceThePictureAndColourTheRest) {
  std::vector<COLORREF> marked(30 * 20, kRed);
  marked[0] = kGreen;
  const Bytes small = Bmp24(30, 20, marked);
  const Bytes wide = Bmp24(200, 30, std::vector<COLORREF>(200 * 30, kRed));
  struct Case {
    const char* what;
    int32_t layout;
    const Bytes* picture;
    std::vector<Pixel> expected;
  };
  const Case cases[] = {
      {"top-left", 0, &small, {{0, 0, kGreen}, {29, 19, kRed}, {30, 0, kBlue}, {0, 20, kBlue}, {99, 59, kBlue}}},
      {"tiled", 1, &small, {{0, 0, kGreen}, {30, 0, kGreen}, {90, 40, kGreen}, {31, 21, kRed}, {99, 59, kRed}}},
      {"fitted, own size",
       2,
       &small,
       {{35, 20, kGreen}, {64, 39, kRed}, {34, 20, kBlue}, {65, 20, kBlue}, {35, 40, kBlue}, {35, 19, kBlue}}},
      // 200 x 30 halves to 100 x 15, centred in the 30 rows it had.
      {"fitted, shrunk", 2, &wide, {{0, 21, kBlue}, {0, 22, kRed}, {99, 36, kRed}, {50, 37, kBlue}}},
      {"unknown layout", 3, &small, {{0, 0, kBlue}, {50, 30, kBlue}}},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    DrawPanelProperties properties;
    properties.autoRedraw = 1;
    properties.background = static_cast<int32_t>(kBlue);
    properties.layout = c.layout;
    properties.picture = *c.picture;
    Load(properties);
    for (const Pixel& p : c.expected) EXPECT_EQ(CanvasAt(p.x, p.y), p.colour) << c.what << " at " << p.x << "," << p.y;
    if (c.layout == 2 && c.picture == &small) {
      // A new size rebuilds the canvas from the picture, decoded again, and
      // centres it in the new size.
      MoveWindow(Panel().WindowHandle(), 0, 0, 200, 100, TRUE);
      EXPECT_EQ(CanvasAt(85, 40), kGreen);
      EXPECT_EQ(CanvasAt(84, 40), kBlue);
      EXPECT_EQ(CanvasAt(114, 59), kRed);
    }
  }
  // Once the canvas holds a photograph-sized background, no decode of it
  // stays alive.
  TearDown();
  SetUp();
  DrawPanelProperties large;
  large.autoRedraw = 1;
  large.picture = Bmp24(700, 500, std::vector<COLORREF>(700 * 500, kRed));
  Load(large);
  EXPECT_EQ(CanvasAt(99, 59), kRed);
  EXPECT_EQ(InstalledPictureTable()->Decodes().LiveCount(), 0u);
}

// Without a canvas the panel paints its background and raises event 0 with
// the area in scale units; GetPicture then takes what the screen shows.
TEST_F(PanelTest, WithoutACanvasPaintingRaisesEventZeroInScaleUnits) {
  DrawPanelProperties properties;
  properties.background = static_cast<int32_t>(kGreen);
  properties.scaleMode = 1;  // 0.1 mm: 100 x 60 px is 264.6 x 158.75
  Load(properties);
  EXPECT_EQ(Panel().Canvas(), 0u);
  Events().clear();
  InvalidateRect(Panel().WindowHandle(), nullptr, FALSE);
  Pump();
  ASSERT_EQ(Events(), std::vector<std::string>{"event 0,0,265,159"});

  ArgRecord reference = Reference(), result;
  runtime::units::draw_panel::GetPicture(&result, 1, &reference);
  runtime::HeapBlock bytes(result.AsPointer<void>());
  ASSERT_EQ(runtime::ByteArrayLength(bytes.Get()), 54 + 300 * 60);
  const uint8_t* pixel = runtime::ByteArrayData(bytes.Get()) + 54;
  EXPECT_EQ(pixel[0] | pixel[1] << 8 | pixel[2] << 16, 0x00FF00);  // blue, green, red

  // Switching auto-redraw on builds the canvas: no more events.
  runtime::services::Services().SetProperty(kWindow, kPanel, 12, -1, 1);
  Events().clear();
  InvalidateRect(Panel().WindowHandle(), nullptr, FALSE);
  Pump();
  EXPECT_NE(Panel().Canvas(), 0u);
  EXPECT_TRUE(Events().empty());
}

// Drawing a 2 x 2 picture (red, green / blue, white) on a grey canvas; every
// value worked out by hand from the raster operation.
TEST_F(PanelTest, DrawPicturePlacesStretchesAndCombinesThePicture) {
  DrawPanelProperties properties;
  properties.autoRedraw = 1;
  properties.background = static_cast<int32_t>(kGrey);
  Load(properties, 60, 50);
  const int32_t handle = LoadPicture(Bmp24(2, 2, {kRed, kGreen, kBlue, kWhite}));
  ASSERT_NE(handle, 0);
  // Four 2 x 2 blocks of one colour each: halved, each block becomes one pixel.
  const int32_t blocks = LoadPicture(Bmp24(4, 4,
                                           {kRed, kRed, kGreen, kGreen, kRed, kRed, kGreen, kGreen, kBlue, kBlue,
                                            kWhite, kWhite, kBlue, kBlue, kWhite, kWhite}));
  ASSERT_NE(blocks, 0);
  struct Case {
    const char* what;
    int32_t scaleMode;
    int32_t handle, x, y;
    std::optional<int32_t> width, height, mode;
    std::vector<Pixel> expected;
  };
  const Case cases[] = {
      {"own size",
       0,
       handle,
       3,
       4,
       {},
       {},
       {},
       {{3, 4, kRed}, {4, 4, kGreen}, {3, 5, kBlue}, {4, 5, kWhite}, {5, 4, kGrey}, {2, 4, kGrey}, {3, 6, kGrey}}},
      {"stretched to 4 x 4",
       0,
       handle,
       0,
       0,
       4,
       4,
       1,
       {{0, 0, kRed}, {1, 1, kRed}, {2, 0, kGreen}, {3, 1, kGreen}, {0, 2, kBlue}, {3, 3, kWhite}, {4, 0, kGrey}}},
      {"shrunk to half",
       0,
       blocks,
       5,
       6,
       2,
       2,
       1,
       {{5, 6, kRed}, {6, 6, kGreen}, {5, 7, kBlue}, {6, 7, kWhite}, {7, 6, kGrey}, {5, 8, kGrey}, {4, 6, kGrey}}},
      {"inverted copy", 0, handle, 0, 0, {}, {}, 2, {{0, 0, RGB(0, 255, 255)}, {1, 1, kBlack}}},
      {"xor", 0, handle, 0, 0, {}, {}, 3, {{0, 0, RGB(0x7F, 0x80, 0x80)}, {1, 1, RGB(0x7F, 0x7F, 0x7F)}}},
      {"or", 0, handle, 0, 0, {}, {}, 4, {{0, 0, RGB(0xFF, 0x80, 0x80)}, {0, 1, RGB(0x80, 0x80, 0xFF)}}},
      {"and", 0, handle, 0, 0, {}, {}, 5, {{0, 0, RGB(0x80, 0, 0)}, {1, 1, kGrey}}},
      {"white transparent", 0, handle, 0, 0, {}, {}, -0xFFFFFF, {{0, 0, kRed}, {1, 0, kGreen}, {1, 1, kGrey}}},
      {"red transparent", 0, handle, 0, 0, {}, {}, -0x0000FF, {{0, 0, kGrey}, {1, 0, kGreen}, {1, 1, kWhite}}},
      {"a raster operation itself",
       0,
       handle,
       0,
       0,
       {},
       {},
       static_cast<int32_t>(BLACKNESS),
       {{0, 0, kBlack}, {2, 2, kGrey}}},
      // (100, 100) in 0.1 mm is 37.8 px.
      {"0.1 mm units", 1, handle, 100, 100, {}, {}, {}, {{38, 38, kRed}, {39, 39, kWhite}, {37, 37, kGrey}}},
      {"unknown handle", 0, handle + 1000, 0, 0, {}, {}, {}, {{0, 0, kGrey}}},
      {"no picture", 0, 0, 0, 0, {}, {}, {}, {{0, 0, kGrey}}},
  };
  const auto& services = runtime::services::Services();
  for (const Case& c : cases) {
    // Setting the background colour clears every drawing from the canvas.
    services.SetProperty(kWindow, kPanel, 9, -1, kBlack);
    services.SetProperty(kWindow, kPanel, 9, -1, kGrey);
    services.SetProperty(kWindow, kPanel, 13, -1, static_cast<uint32_t>(c.scaleMode));
    ArgRecord args[7] = {Reference(), ArgRecord::Int(c.handle), ArgRecord::Int(c.x), ArgRecord::Int(c.y)};
    if (c.width) args[4] = ArgRecord::Int(*c.width);
    if (c.height) args[5] = ArgRecord::Int(*c.height);
    if (c.mode) args[6] = ArgRecord::Int(*c.mode);
    ArgRecord result;
    runtime::units::draw_panel::DrawPicture(&result, 7, args);
    for (const Pixel& p : c.expected) EXPECT_EQ(CanvasAt(p.x, p.y), p.colour) << c.what << " at " << p.x << "," << p.y;
  }
  // The window shows what the canvas holds, drawn there in the same call.
  Pump();
  HDC screen = GetDC(Panel().WindowHandle());
  EXPECT_EQ(GetPixel(screen, 0, 0), kGrey);
  ReleaseDC(Panel().WindowHandle(), screen);
}

// The requested sizes of GetPicture against a 200 x 100 canvas.
TEST_F(PanelTest, GetPictureSizesFollowTheRequests) {
  DrawPanelProperties properties;
  properties.autoRedraw = 1;
  properties.background = static_cast<int32_t>(kBlue);
  Load(properties, 200, 100);
  struct Case {
    std::optional<int32_t> width, height;
    int32_t expectedWidth, expectedHeight;  // 0: an empty byte array
  };
  const Case cases[] = {
      {{}, {}, 200, 100},  {0, 0, 200, 100}, {-50, -50, 100, 50},    {-3, 0, 20, 100},
      {100, {}, 100, 100}, {0, 7, 200, 7},   {-200, -100, 400, 100},
  };
  for (const Case& c : cases) {
    ArgRecord args[3] = {Reference()};
    if (c.width) args[1] = ArgRecord::Int(*c.width);
    if (c.height) args[2] = ArgRecord::Int(*c.height);
    ArgRecord result;
    runtime::units::draw_panel::GetPicture(&result, 3, args);
    runtime::HeapBlock bytes(result.AsPointer<void>());
    EXPECT_EQ(result.tag, runtime::TypeByteArray);
    const int32_t stride = (c.expectedWidth * 3 + 3) & ~3;
    ASSERT_EQ(runtime::ByteArrayLength(bytes.Get()), 54 + stride * c.expectedHeight)
        << c.expectedWidth << " x " << c.expectedHeight;
    const uint8_t* file = runtime::ByteArrayData(bytes.Get());
    BITMAPFILEHEADER fileHeader;
    BITMAPINFOHEADER info;
    std::memcpy(&fileHeader, file, 14);
    std::memcpy(&info, file + 14, 40);
    EXPECT_EQ(+fileHeader.bfType, 0x4D42);
    EXPECT_EQ(+fileHeader.bfSize, static_cast<DWORD>(54 + stride * c.expectedHeight));
    EXPECT_EQ(+fileHeader.bfOffBits, 54u);
    EXPECT_EQ(+info.biWidth, c.expectedWidth);
    EXPECT_EQ(+info.biHeight, c.expectedHeight);
    EXPECT_EQ(+info.biBitCount, 24);
    EXPECT_EQ(file[54], 0xFF);  // blue, green, red of the first pixel
    EXPECT_EQ(file[55], 0);
  }
}

TEST_F(PanelTest, GetPictureOfNothingIsAnEmptyByteArray) {
  DrawPanelProperties properties;
  properties.autoRedraw = 1;
  Load(properties, 5, 5);
  ArgRecord args[3] = {Reference(), ArgRecord::Int(-10), ArgRecord::Int(0)};  // 10 % of 5 is 0
  ArgRecord result;
  runtime::units::draw_panel::GetPicture(&result, 3, args);
  EXPECT_EQ(result.tag, runtime::TypeByteArray);
  EXPECT_EQ(result.payload, 0u);
}

}  // namespace
}  // namespace panel_test

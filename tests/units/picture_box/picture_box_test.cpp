// The picture box through a loaded window: its properties and their clamps
// and effects, where each display mode puts a picture (pixels worked out by
// hand), transparency over the background, auto-size, its stored block, and
// GIFs played or held still.
#include <gtest/gtest.h>

#include <png.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "../../picture/gif_builder.h"
#include "../../picture/stepped_clock.h"
#include "box_fixture.h"
#include "platform/gdi/icons/cursor.h"
#include "platform/memory/global_memory.h"
#include "platform/windows/native_events.h"
#include "platform/windows/system_metrics.h"
#include "platform/windows/window.h"
#include "runtime/core/memory.h"
#include "runtime/picture/table/picture_table.h"
#include "runtime/units/picture_box/picture_box_block.h"

namespace units_test {

using runtime::picture::table::InstalledPictureTable;
using runtime::units::picture_box::PictureBoxType;
using runtime::units::picture_box::ReadPictureBoxBlock;
using runtime::units::picture_box::WritePictureBoxBlock;
namespace {

using namespace platform;
using runtime::HeapBlock;

constexpr COLORREF kBlue = 0xFF0000, kRed = 0x0000FF, kGreen = 0x00FF00;

Bytes ByteArrayOf(uint64_t payload) {
  HeapBlock block(reinterpret_cast<void*>(payload));
  if (!block.Get()) return {};
  int32_t length;
  std::memcpy(&length, static_cast<const uint8_t*>(block.Get()) + 4, 4);
  const auto* data = static_cast<const uint8_t*>(block.Get()) + 8;
  return Bytes(data, data + length);
}

TEST_F(PictureBoxTest, PropertiesAreClampedAndTakeEffect) {
  Load(BoxBlock{});
  // Border styles: the value kept and the frame bits it leaves.
  struct Border {
    int32_t set, stored;
    DWORD exStyle;
    bool thinBorder;
  };
  const Border borders[] = {{-1, 0, 0, false},
                            {1, 1, WS_EX_CLIENTEDGE, false},
                            {2, 2, WS_EX_DLGMODALFRAME, false},
                            {3, 3, WS_EX_STATICEDGE, false},
                            {4, 4, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME, false},
                            {9, 5, 0, true},
                            {0, 0, 0, false}};
  const DWORD edges = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;
  for (const Border& b : borders) {
    Set(8, static_cast<uint32_t>(b.set));
    EXPECT_EQ(static_cast<int32_t>(Get(8)), b.stored) << b.set;
    EXPECT_EQ(GetWindowLongPtrA(BoxWindow(), GWL_EXSTYLE) & edges, b.exStyle) << b.set;
    EXPECT_EQ((GetWindowLongPtrA(BoxWindow(), GWL_STYLE) & WS_BORDER) != 0, b.thinBorder) << b.set;
  }
  // Display mode: set only ever gives 0 to 2; animate is a boolean.
  for (auto [set, stored] : {std::pair{7, 2}, {-3, 0}, {1, 1}}) {
    Set(11, static_cast<uint32_t>(set));
    EXPECT_EQ(static_cast<int32_t>(Get(11)), stored) << set;
  }
  Set(12, 5);
  EXPECT_EQ(Get(12), 1u);

  // The background colour paints; the button-face value resolves.
  EXPECT_EQ(Pixel(90, 90), GetSysColor(COLOR_BTNFACE));
  Set(9, kBlue);
  EXPECT_EQ(Get(9), kBlue);
  EXPECT_EQ(Pixel(90, 90), kBlue);

  // Bytes that are no picture stay as given and show only the background.
  const Bytes junk = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'};
  SetBytes(10, junk);
  EXPECT_EQ(ByteArrayOf(Get(10)), junk);
  EXPECT_EQ(Pixel(0, 0), kBlue);
  SetBytes(10, SolidBmp(4, 4, kRed));
  EXPECT_EQ(Pixel(90, 90), kRed);
  SetBytes(10, {});
  EXPECT_EQ(ByteArrayOf(Get(10)), Bytes{});
  EXPECT_EQ(Pixel(90, 90), kBlue) << "an empty picture clears the box";

  // A binding to a data source that is not there, or to none at all, finds
  // no record: whichever of #13 and #14 is set, the picture goes.
  struct Binding {
    int32_t property;
    const char* text;
  };
  const Binding bindings[] = {{13, ""}, {14, "photo"}, {13, "records"}, {14, ""}, {13, ""}};
  for (const Binding& b : bindings) {
    SetBytes(10, SolidBmp(4, 4, kRed));
    ASSERT_EQ(Pixel(90, 90), kRed);
    Set(b.property, reinterpret_cast<uintptr_t>(b.text));
    EXPECT_EQ(ByteArrayOf(Get(10)), Bytes{}) << b.property << " " << b.text;
    EXPECT_EQ(Pixel(90, 90), kBlue) << b.property << " " << b.text;
  }
}

TEST_F(PictureBoxTest, ItsMousePointerShowsOverIt) {
  Load(BoxBlock{});
  const HWND window = GetAncestorRoot(BoxWindow());
  const POINT overBox{50, 50};
  EXPECT_EQ(NativeMouse(window, WM_MOUSEMOVE, overBox, 0), LoadCursorA(0, IDC_ARROW));
  SetBytes(7, Bytes{2, 0, 0, 0});  // code 2: the cross
  EXPECT_EQ(NativeMouse(window, WM_MOUSEMOVE, overBox, 0), LoadCursorA(0, IDC_CROSS));
  EXPECT_EQ(NativeMouse(window, WM_MOUSEMOVE, POINT{250, 50}, 0), LoadCursorA(0, IDC_ARROW));  // beside it
}

TEST_F(PictureBoxTest, DisplayModesPlaceThePicture) {
  // A red picture on a blue box: the rectangle it covers in the 182 x 182
  // client area, checked at its four corners and just outside them.
  struct Case {
    int width, height, mode;
    RECT shown;
  };
  const Case cases[] = {
      {364, 273, 2, {0, 23, 182, 159}},   // fitted: halved, centred vertically
      {100, 50, 2, {41, 66, 141, 116}},   // fits: own size, centred
      {100, 300, 2, {61, 0, 121, 182}},   // narrow and tall: shrunk to the height
      {100, 50, 0, {0, 0, 100, 50}},      // own size at the corner
      {100, 50, 1, {0, 0, 182, 182}},     // stretched
      {4000, 3000, 1, {0, 0, 182, 182}},  // a photograph's size squashed
  };
  runtime::picture::table::InstallPictureTable();  // to count the decodes alive
  Load(BoxBlock{.background = kBlue});
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " mode " << c.mode);
    Set(11, static_cast<uint32_t>(c.mode));
    SetBytes(10, SolidBmp(c.width, c.height, kRed));
    const RECT& r = c.shown;
    for (POINT p : {POINT{r.left, r.top}, POINT{r.right - 1, r.top}, POINT{r.left, r.bottom - 1},
                    POINT{r.right - 1, r.bottom - 1}})
      EXPECT_EQ(Pixel(p.x, p.y), kRed) << p.x << "," << p.y;
    for (POINT p : {POINT{r.left - 1, r.top}, POINT{r.right, r.bottom - 1}, POINT{r.left, r.top - 1},
                    POINT{r.right - 1, r.bottom}})
      if (p.x >= 0 && p.y >= 0 && p.x < 182 && p.y < 182) {
        EXPECT_EQ(Pixel(p.x, p.y), kBlue) << p.x << "," << p.y;
      }
  }

  // A 400 x 300 picture, red where x < 200 and y < 150, green elsewhere: at
  // its own size only its top-left 182 x 182 shows; stretched, all of it.
  const Bytes quarters = MakeBmp(400, 300, [](int x, int y) { return x < 200 && y < 150 ? kRed : kGreen; });
  Set(11, 0);
  SetBytes(10, quarters);
  EXPECT_EQ(Pixel(181, 149), kRed);
  EXPECT_EQ(Pixel(181, 150), kGreen);
  // Rendered, the decode is let go; a new place decodes the bytes again.
  EXPECT_EQ(InstalledPictureTable()->Decodes().LiveCount(), 0u);
  Set(11, 1);
  EXPECT_EQ(Pixel(80, 80), kRed);
  EXPECT_EQ(Pixel(100, 80), kGreen);
  EXPECT_EQ(Pixel(80, 100), kGreen);
}

Bytes TwoPixelPng() {
  // Pixel 0 fully transparent red, pixel 1 opaque green; blue, green, red, alpha.
  const uint8_t pixels[] = {0, 0, 255, 0, 0, 255, 0, 255};
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = 2;
  image.height = 1;
  image.format = PNG_FORMAT_BGRA;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, pixels, 0, nullptr);
  Bytes out(size);
  EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, pixels, 0, nullptr));
  out.resize(size);
  return out;
}

TEST_F(PictureBoxTest, PngTransparencyShowsTheBoxBackgroundAndAutoSizeFollowsThePicture) {
  BoxBlock block{.background = kBlue, .mode = 1};
  block.picture = TwoPixelPng();
  Load(block);
  EXPECT_EQ(Pixel(20, 90), kBlue);
  EXPECT_EQ(Pixel(160, 90), kGreen);
  TearDown();

  // Mode 3 is only read from the form: the box takes its picture's size.
  SetUp();
  block.mode = 3;
  block.picture = SolidBmp(100, 50, kRed);
  Load(block);
  RECT client;
  GetClientRect(BoxWindow(), &client);
  EXPECT_EQ(client.right, 100);
  EXPECT_EQ(client.bottom, 50);
  EXPECT_EQ(Get(11), 3u);
  SetBytes(10, SolidBmp(30, 40, kGreen));
  GetClientRect(BoxWindow(), &client);
  EXPECT_EQ(client.right, 30);
  EXPECT_EQ(client.bottom, 40);
}

TEST(PictureBoxBlock, VersionsZeroToTwoAreReadAndVersionTwoIsWritten) {
  using runtime::units::picture_box::ReadPictureBoxBlock;
  const Bytes picture = {1, 2, 3};
  for (uint32_t version : {0u, 1u, 2u}) {
    const Bytes bytes = BoxBlock{version, 3, 0x123456, 2, 0, picture, "src", "col"}.Build();
    const auto block = ReadPictureBoxBlock(bytes);
    ASSERT_TRUE(block) << version;
    EXPECT_EQ(block->border, 3);
    EXPECT_EQ(block->background, 0x123456u);
    EXPECT_EQ(block->displayMode, 2);
    EXPECT_EQ(block->animate, 0);
    EXPECT_EQ(Bytes(block->picture.begin(), block->picture.end()), picture);
    EXPECT_EQ(block->dataSource, version == 2 ? "src" : "");
    // Written back, it is the version-2 block with the same values.
    EXPECT_EQ(runtime::units::picture_box::WritePictureBoxBlock(*block),
              (BoxBlock{2, 3, 0x123456, 2, 0, picture, version == 2 ? "src" : "", version == 2 ? "col" : ""}.Build()));
  }
  Bytes negative = BoxBlock{}.Build();
  std::memset(negative.data() + 20, 0xFF, 4);  // picture length -1 reads as empty
  ASSERT_TRUE(ReadPictureBoxBlock(negative));
  EXPECT_TRUE(ReadPictureBoxBlock(negative)->picture.empty());

  EXPECT_FALSE(ReadPictureBoxBlock(BoxBlock{.version = 3}.Build())) << "unknown version";
  EXPECT_FALSE(ReadPictureBoxBlock(BoxBlock{.version = 0xFFFFFFFF}.Build())) << "versions compare unsigned";
  Bytes longPicture = BoxBlock{.picture = {1, 2}}.Build();
  longPicture[20] = 200;  // the picture claims more than the block holds
  EXPECT_FALSE(ReadPictureBoxBlock(longPicture));
  Bytes cut = BoxBlock{.source = "abc"}.Build();
  cut.pop_back();
  EXPECT_FALSE(ReadPictureBoxBlock(cut)) << "a text cut short";
  EXPECT_FALSE(ReadPictureBoxBlock(Bytes(8, 0))) << "fields missing";
}

TEST_F(PictureBoxTest, SavingAndVisitingTextsGiveVersionTwoBlocks) {
  Load(BoxBlock{.version = 0, .border = 1, .mode = 2});
  Set(9, kGreen);
  Set(14, reinterpret_cast<uintptr_t>("photo"));
  const auto& type = runtime::units::picture_box::PictureBoxType();
  auto save = reinterpret_cast<runtime::SavePropertiesOp>(type.entry(runtime::unit_op::kSaveProperties));
  const HGLOBAL saved = save(Box());
  ASSERT_NE(saved, 0u);
  const auto* data = static_cast<const uint8_t*>(GlobalLock(saved));
  const Bytes block(data, data + GlobalSize(saved));
  GlobalUnlock(saved);
  GlobalFree(saved);
  const Bytes expected = BoxBlock{2, 1, kGreen, 2, 1, {}, "", "photo"}.Build();
  EXPECT_EQ(block, expected);

  // Operation 9 shows #13 then #14 and saves what the visitor answers.
  auto visit = reinterpret_cast<runtime::VisitTextsOp>(type.entry(runtime::unit_op::kVisitTexts));
  std::vector<std::string> seen;
  const HGLOBAL renamed = visit(
      block.data(), static_cast<int32_t>(block.size()),
      [](void* context, const char* text, int32_t flag) -> const char* {
        static_cast<std::vector<std::string>*>(context)->push_back(std::string(text) + "/" + std::to_string(flag));
        return *text ? "picture" : nullptr;
      },
      &seen);
  ASSERT_NE(renamed, 0u);
  EXPECT_EQ(seen, (std::vector<std::string>{"/0", "photo/0"}));
  const auto* after = static_cast<const uint8_t*>(GlobalLock(renamed));
  EXPECT_EQ(Bytes(after, after + GlobalSize(renamed)), (BoxBlock{2, 1, kGreen, 2, 1, {}, "", "picture"}.Build()));
  GlobalUnlock(renamed);
  GlobalFree(renamed);
  EXPECT_EQ(visit(block.data(), 7, nullptr, nullptr), 0u) << "a block cut short";
}

// Colour 0 red, 1 green; 2 x 2 frames.
const Bytes kRedGreen = {255, 0, 0, 0, 255, 0};
Bytes TwoFrameGif() {
  return picture_test::GifBuilder(2, 2, kRedGreen)
      .Image(2, 2, {0, 0, 0, 0}, 0, {}, 0, 0)
      .Image(2, 2, {1, 1, 1, 1}, 0, {}, 0, 0)
      .Done();
}

TEST_F(PictureBoxTest, AnimatedGifsPlayFromTheFirstPaintAndStopWhenAnimationIsOff) {
  Load(BoxBlock{});
  picture_test::SteppedClock clock;
  Box()->UseAnimationClock(clock);

  SetBytes(10, picture_test::GifBuilder(2, 2, kRedGreen).Image(2, 2, {1, 1, 1, 1}, 0, {}, 0, 0).Done());
  EXPECT_FALSE(Box()->HasAnimation()) << "a single image needs no thread";
  EXPECT_EQ(Pixel(90, 90), kGreen);

  SetBytes(10, TwoFrameGif());
  EXPECT_TRUE(Box()->HasAnimation());
  EXPECT_FALSE(Box()->Animating()) << "the thread waits for the first paint";
  Pixel(0, 0);
  EXPECT_TRUE(Box()->Animating());
  // Both frames come round, painted by the GUI thread from what the
  // animation handed over.
  bool sawRed = false, sawGreen = false;
  for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
       !(sawRed && sawGreen) && std::chrono::steady_clock::now() < until;) {
    const COLORREF c = Pixel(90, 90);
    sawRed |= c == kRed;
    sawGreen |= c == kGreen;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_TRUE(sawRed && sawGreen);

  // Off: the thread is gone and the first image stands still.
  Set(12, 0);
  EXPECT_FALSE(Box()->Animating());
  EXPECT_FALSE(Box()->HasAnimation());
  EXPECT_EQ(Pixel(90, 90), kRed);
  Set(12, 1);
  EXPECT_TRUE(Box()->HasAnimation());
}

}  // namespace
}  // namespace units_test

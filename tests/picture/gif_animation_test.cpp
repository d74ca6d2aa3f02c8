// GIF animation: frames composed in order with their disposal and
// transparency, the delay rule, and the player driven by a test clock.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

#include "gif_builder.h"
#include "platform/gdi/gdi.h"
#include "runtime/picture/formats/gif_composer.h"
#include "runtime/units/picture_box/gif_player.h"
#include "stepped_clock.h"

namespace picture_test {

using runtime::units::picture_box::AnimationFrame;
using runtime::units::picture_box::SharedFrame;

using runtime::picture::formats::GifComposer;
using runtime::units::picture_box::GifPlayer;
namespace {

using platform::MemoryDc;
using runtime::picture::formats::GifComposer;
using runtime::units::picture_box::AnimationFrame;
using runtime::units::picture_box::GifPlayer;
using runtime::units::picture_box::SharedFrame;

// Index 0 red, 1 green, 2 white, 3 white again.
const Bytes kPalette = {255, 0, 0, 0, 255, 0, 255, 255, 255, 255, 255, 255};
constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kWhite = 0xFFFFFF;
constexpr uint32_t kBackground = 0x123456;  // as a pixel
constexpr platform::COLORREF kBackgroundColour = 0x563412;

// Disposal (the GIF method) and delay in a graphic control's packed byte.
uint8_t Packed(int method, bool transparent = false) { return static_cast<uint8_t>(method << 2 | transparent); }

GifComposer Open(const Bytes& file) {
  auto composer = GifComposer::Open(file, kBackgroundColour);
  EXPECT_TRUE(composer);
  return std::move(*composer);
}

TEST(GifComposer, FramesComeInOrderWithTheirDelaysAndRepeatWithoutEnd) {
  // Three full frames of 2 x 1; delays 0, 10 and 3 hundredths.
  const Bytes file = GifBuilder(2, 1, kPalette)
                         .Control(0, 0, 0)
                         .Image(2, 1, {0, 0}, 0, {}, 0, 0)
                         .Control(0, 10, 0)
                         .Image(2, 1, {1, 1}, 0, {}, 0, 0)
                         .Control(0, 3, 0)
                         .Image(2, 1, {2, 2}, 0, {}, 0, 0)
                         .Done();
  GifComposer composer = Open(file);
  EXPECT_EQ(composer.Pixels()[0], kBackground) << "the canvas starts as the background";
  const uint32_t colours[] = {kRed, kGreen, kWhite, kRed, kGreen, kWhite, kRed};
  const uint32_t delays[] = {50, 100, 30, 50, 100, 30, 50};
  for (size_t i = 0; i < std::size(colours); ++i) {
    const GifComposer::Step step = composer.Advance();
    EXPECT_TRUE(step.composed) << i;
    EXPECT_EQ(step.delayMs, delays[i]) << i;
    EXPECT_EQ(composer.Pixels()[1], colours[i]) << i;
  }
  EXPECT_FALSE(composer.AtStreamEnd());
  composer.Restart();
  composer.Advance();
  EXPECT_EQ(composer.Pixels()[0], kRed) << "a restart plays from the first frame";

  GifComposer single = Open(GifBuilder(2, 1, kPalette).Image(2, 1, {1, 1}, 0, {}, 0, 0).Done());
  single.Advance();
  EXPECT_TRUE(single.AtStreamEnd()) << "one image is all the file holds";
}

TEST(GifComposer, EachDisposalUndoesItsFrameBeforeTheNext) {
  // A red 3 x 1 frame; then a green pixel at x = 1 with the disposal under
  // test; then a white pixel at x = 2. What x = 1 shows after the third:
  struct Case {
    int method;
    uint32_t middle;
  };
  const Case cases[] = {
      {0, kGreen},       // unspecified: left in place
      {1, kGreen},       // do not dispose
      {2, kBackground},  // restore to the background colour
      {3, kRed},         // restore what lay under the frame
  };
  for (const Case& c : cases) {
    const Bytes file = GifBuilder(3, 1, kPalette)
                           .Image(3, 1, {0, 0, 0}, 0, {}, 0, 0)
                           .Control(Packed(c.method), 0, 0)
                           .Image(1, 1, {1}, 0, {}, 1, 0)
                           .Image(1, 1, {2}, 0, {}, 2, 0)
                           .Done();
    GifComposer composer = Open(file);
    for (int i = 0; i < 3; ++i) composer.Advance();
    const auto& p = composer.Pixels();
    EXPECT_EQ(p[0], kRed) << c.method;
    EXPECT_EQ(p[1], c.middle) << c.method;
    EXPECT_EQ(p[2], kWhite) << c.method;
  }
}

TEST(GifComposer, TransparencyGoesByIndexAndFramesAreClippedToTheScreen) {
  // Over a red frame: indices 3 (transparent), 1, then 2, which has the same
  // colour as 3 but is not the transparent index.
  const Bytes file = GifBuilder(3, 1, kPalette)
                         .Image(3, 1, {0, 0, 0}, 0, {}, 0, 0)
                         .Control(Packed(0, true), 0, 3)
                         .Image(3, 1, {3, 1, 2}, 0, {}, 0, 0)
                         // Reaches 3 pixels past the screen's right edge.
                         .Image(4, 1, {1, 1, 1, 1}, 0, {}, 2, 0)
                         .Done();
  GifComposer composer = Open(file);
  composer.Advance();
  composer.Advance();
  EXPECT_EQ(composer.Pixels(), (std::vector<uint32_t>{kRed, kGreen, kWhite}));
  composer.Advance();
  EXPECT_EQ(composer.Pixels(), (std::vector<uint32_t>{kRed, kGreen, kGreen}));

  EXPECT_FALSE(GifComposer::Open(GifBuilder(65535, 65535, kPalette).Image(1, 1, {0}).Done(), 0))
      << "a screen past the size gate is refused before its canvas exists";
}

platform::COLORREF PixelOf(const AnimationFrame& frame) {
  // A bitmap is selected into one DC at a time: the test and the callback
  // on the animation thread may look at the same frame.
  static std::mutex oneAtATime;
  std::lock_guard lock(oneAtATime);
  MemoryDc dc(0, frame.bitmap.get());
  return platform::GetPixel(dc.get(), 0, 0);
}

// What the player showed: the virtual time and the colour of each frame.
struct FrameLog {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::pair<uint32_t, platform::COLORREF>> frames;

  void Add(uint32_t time, platform::COLORREF colour) {
    {
      std::lock_guard lock(mutex);
      frames.emplace_back(time, colour);
    }
    changed.notify_all();
  }
  std::vector<std::pair<uint32_t, platform::COLORREF>> Taken() {
    std::lock_guard lock(mutex);
    return std::exchange(frames, {});
  }
  size_t WaitFor(size_t count) {
    std::unique_lock lock(mutex);
    changed.wait_for(lock, std::chrono::seconds(20), [&] { return frames.size() >= count; });
    return frames.size();
  }
};

TEST(GifPlayer, PlaysByTheDrivenClockAndStopsAndStartsAgain) {
  const Bytes file = GifBuilder(1, 1, kPalette)
                         .Control(0, 0, 0)
                         .Image(1, 1, {0}, 0, {}, 0, 0)
                         .Control(0, 10, 0)
                         .Image(1, 1, {1}, 0, {}, 0, 0)
                         .Done();
  SteppedClock clock;
  FrameLog log;
  GifPlayer player(Open(file), clock, [&](const AnimationFrame& frame) { log.Add(clock.NowMs(), PixelOf(frame)); });
  EXPECT_FALSE(player.CurrentFrame());
  player.Start();
  ASSERT_GE(log.WaitFor(1), 1u);
  // Whichever frame is current now keeps its pixels while later ones come.
  const SharedFrame held = player.CurrentFrame();
  ASSERT_TRUE(held);
  const platform::COLORREF heldColour = PixelOf(*held);
  ASSERT_GE(log.WaitFor(5), 5u);
  player.Stop();
  EXPECT_FALSE(player.Running());
  // Delay 0 holds a frame 50 ms, delay 10 holds it 100 ms; then it repeats.
  const std::pair<uint32_t, platform::COLORREF> expected[] = {
      {1000, 0x0000FF}, {1050, 0x00FF00}, {1150, 0x0000FF}, {1200, 0x00FF00}, {1300, 0x0000FF}};
  const auto frames = log.Taken();
  for (size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(frames[i], expected[i]) << i;
  EXPECT_EQ(PixelOf(*held), heldColour) << "a frame handed over is never drawn on again";

  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(log.Taken().empty()) << "nothing is shown after the stop returned";
  player.Start();
  ASSERT_GE(log.WaitFor(1), 1u);
  player.Stop();
  EXPECT_EQ(log.Taken().front().second, 0x0000FFu) << "starting again plays from the first frame";
}

}  // namespace
}  // namespace picture_test

// The executable as a user starts it: its window, its screenshot, its
// command line and its refusals.
#include <png.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <vector>

#include "tests/support/cycling_gif.h"
#include "tool_run.h"

namespace {

using namespace tool_test;
using Executable = ToolRun;

// A screenshot's pixels as 0xRRGGBB; an empty picture when it cannot be read.
struct Screenshot {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> pixels;
  uint32_t At(int x, int y) const {
    const uint8_t* p = &pixels[(static_cast<size_t>(y) * width + static_cast<size_t>(x)) * 3];
    return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
  }
};

Screenshot ReadScreenshot(const fs::path& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  Screenshot shot;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return shot;
  image.format = PNG_FORMAT_RGB;
  shot.pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, shot.pixels.data(), 0, nullptr)) return Screenshot{};
  shot.width = image.width;
  shot.height = image.height;
  return shot;
}

TEST_F(Executable, ShowsItsWindowEndsByItselfAndWritesNothing) {
  Outcome run = Start("--platform offscreen");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output, "");
  // Nothing is written before a drop.
  EXPECT_FALSE(fs::exists(dir_ / "emp.jpg"));
  EXPECT_FALSE(fs::exists(dir_ / "细节.jpg"));
}

// The screenshot is the window's client area as the screen shows it: the
// background photograph stretched over it, the empty boxes in button face.
TEST_F(Executable, TheScreenshotShowsTheWindowWithItsPhotographAndBoxes) {
  Outcome run = Start("--platform offscreen --screenshot shot.png");
  ASSERT_EQ(run.status, 0) << run.output;
  const Screenshot shot = ReadScreenshot(dir_ / "shot.png");
  ASSERT_EQ(shot.width, 495u);
  ASSERT_EQ(shot.height, 472u);
  auto at = [&](int x, int y) { return shot.At(x, y); };
  for (auto [x, y] : {std::pair{115, 163}, std::pair{363, 163}, std::pair{115, 363}}) EXPECT_EQ(at(x, y), 0xF0F0F0u);
  // Outside the boxes the photograph shows: many colours, none of them grey.
  std::set<uint32_t> colours;
  for (int y = 0; y < 472; y += 40)
    for (int x = 230; x < 265; x += 5) colours.insert(at(x, y));
  EXPECT_GT(colours.size(), 20u);
  EXPECT_FALSE(colours.count(0xF0F0F0));
}

// An animated GIF plays on its own thread, which hands over the first frame
// after the box's first paint: the screenshot waits for that frame.
TEST_F(Executable, TheScreenshotAfterAGifDropShowsItsFirstFrame) {
  const uint32_t colours[4] = {0xC01020, 0x20C010, 0x1020C0, 0xC0C010};
  // Frames of 5 s: however slow a loaded machine makes the run, the first
  // frame is still the one shown when the screenshot is taken.
  std::ofstream(dir_ / "cycle.gif", std::ios::binary) << test_support::CyclingGif(12, 12, colours, 500);
  Outcome run = Start("--platform offscreen --drop 115,163 cycle.gif --screenshot shot.png");
  ASSERT_EQ(run.status, 0) << run.output;
  const Screenshot shot = ReadScreenshot(dir_ / "shot.png");
  ASSERT_EQ(shot.width, 495u);
  EXPECT_EQ(shot.At(115, 163), colours[0]);
}

// A program directory named in raw GBK bytes (程序 as an old archive unpacks
// on a UTF-8 system) is entered like any other, and the picture is written
// there under its own name.
TEST_F(Executable, AProgramDirectoryNamedInRawGbkBytesStartsAndWritesThere) {
  const fs::path home = dir_ / "\xB3\xCC\xD0\xF2";
  fs::create_directory(home);
  fs::copy_file(dir_ / "tessellon", home / "tessellon");
  fs::copy_file(fs::path(TESSELLON_TEST_DATA) / "../../assets/samples/sample1.jpg", home / "photo.jpg");
  Outcome run = Start("--platform offscreen --drop 115,163 photo.jpg", home);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output, "");
  EXPECT_TRUE(fs::exists(home / "\xE7\xBB\x86\xE8\x8A\x82.jpg"));  // 细节.jpg
  EXPECT_FALSE(fs::exists(home / "emp.jpg"));
}

// A program directory it cannot enter would send its files elsewhere:
// start-up ends with a clear message and nothing is written. The program is
// started from inside the directory, whose parent it may not pass through.
TEST_F(Executable, AProgramDirectoryItCannotEnterEndsStartUpClearly) {
  const fs::path home = dir_ / "home";
  fs::create_directory(home);
  fs::copy_file(dir_ / "tessellon", home / "tessellon");
  // Closed once the shell stands inside. Root passes through anything: it
  // runs as an unprivileged user then.
  const std::string close = "chmod 0600 '" + dir_.string() + "' && ";
  const std::string asUser = geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups" : "";
  Outcome run = Start("--platform offscreen", home, close + asUser);
  fs::permissions(dir_, fs::perms::owner_all);
  EXPECT_EQ(run.status, 255);
  EXPECT_NE(run.output.find("无法进入程序所在的目录"), std::string::npos) << run.output;
  EXPECT_EQ(std::distance(fs::directory_iterator(home), fs::directory_iterator()), 1);  // nothing written
}

TEST_F(Executable, HelpPrintsTheUsage) {
  Outcome run = Start("--help");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.output.find("usage: tessellon"), std::string::npos);
}

TEST_F(Executable, ACommandLineItCannotRunExitsTwoWithAReason) {
  for (const char* args : {"--bogus", "--drop 1x2 a.jpg", "--drop 1,2", "--platform nowhere", "stray"}) {
    Outcome run = Start(args);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_NE(run.output.find("tessellon: "), std::string::npos) << args;
  }
  // x11 asked for without a display that opens cannot run.
  Outcome noDisplay = Start("--platform x11", {}, "env DISPLAY=:4095");
  EXPECT_EQ(noDisplay.status, 2);
  EXPECT_NE(noDisplay.output.find("cannot open the X display"), std::string::npos);
  EXPECT_EQ(system(("cd '" + dir_.string() + "' && TESSELLON_PLATFORM=wayland ./tessellon 2>/dev/null").c_str()) >> 8,
            2);
}

// Offscreen only because no display was there, with nothing to drop, the
// window would open and close unseen: the tool says what it needs instead.
// Chosen on purpose, offscreen with nothing to do stays a quiet success.
TEST_F(Executable, OffscreenForWantOfADisplayWithNothingToDoSaysHowToDrop) {
  struct Case {
    const char* prefix;
    const char* args;
    int status;
    bool usage;         // the --drop hint is printed
    bool displayNamed;  // the unreachable display is named
  };
  const Case cases[] = {
      {"env -u DISPLAY -u TESSELLON_PLATFORM", "", 2, true, false},
      {"env -u TESSELLON_PLATFORM DISPLAY=:4095", "", 2, true, true},
      {"env -u TESSELLON_PLATFORM DISPLAY=", "", 2, true, false},
      {"env -u DISPLAY TESSELLON_PLATFORM=offscreen", "", 0, false, false},
      {"env -u DISPLAY -u TESSELLON_PLATFORM", "--platform offscreen", 0, false, false},
      {"env -u TESSELLON_PLATFORM DISPLAY=:4095", "--screenshot shot.png", 0, false, false},
  };
  for (const Case& c : cases) {
    const std::string what = std::string(c.prefix) + " ./tessellon " + c.args;
    Outcome run = Start(c.args, {}, c.prefix);
    EXPECT_EQ(run.status, c.status) << what << "\n" << run.output;
    EXPECT_EQ(run.output.find("--drop 115,163") != std::string::npos, c.usage) << what << "\n" << run.output;
    EXPECT_EQ(run.output.find("cannot open the X display ':4095'") != std::string::npos, c.displayNamed) << what << "\n"
                                                                                                         << run.output;
    if (!c.usage && !c.displayNamed) {
      EXPECT_EQ(run.output, "") << what;
    }
  }
}

}  // namespace

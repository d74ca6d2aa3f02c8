// The executable as a user starts it: its window, its screenshot, its
// command line and its refusals.
#include <png.h>

#include <set>
#include <vector>

#include "tool_run.h"

namespace {

using namespace tool_test;
using Executable = ToolRun;

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
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, (dir_ / "shot.png").c_str()));
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
  ASSERT_EQ(image.width, 495u);
  ASSERT_EQ(image.height, 472u);
  auto at = [&](int x, int y) {
    const uint8_t* p = &pixels[(static_cast<size_t>(y) * image.width + static_cast<size_t>(x)) * 3];
    return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
  };
  for (auto [x, y] : {std::pair{115, 163}, std::pair{363, 163}, std::pair{115, 363}}) EXPECT_EQ(at(x, y), 0xF0F0F0u);
  // Outside the boxes the photograph shows: many colours, none of them grey.
  std::set<uint32_t> colours;
  for (int y = 0; y < 472; y += 40)
    for (int x = 230; x < 265; x += 5) colours.insert(at(x, y));
  EXPECT_GT(colours.size(), 20u);
  EXPECT_FALSE(colours.count(0xF0F0F0));
}

// A program directory whose name is not UTF-8 has no ANSI name: start-up ends
// with a clear message rather than writing under a substituted name.
TEST_F(Executable, AProgramDirectoryWithoutAnAnsiNameEndsStartUpClearly) {
  const fs::path bad = dir_ / "bad\xFFname";
  fs::create_directory(bad);
  fs::copy_file(dir_ / "tessellon", bad / "tessellon");
  Outcome run = Start("--platform offscreen", bad);
  EXPECT_EQ(run.status, 255);
  EXPECT_NE(run.output.find("程序文件的路径含有系统代码页无法表示的字符"), std::string::npos) << run.output;
  EXPECT_EQ(std::distance(fs::directory_iterator(bad), fs::directory_iterator()), 1);  // nothing written
  EXPECT_FALSE(fs::exists(dir_ / "bad?name"));
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
  // Without a display, no options run offscreen; x11 asked for cannot.
  Outcome run = Start("", {}, "env -u DISPLAY");
  EXPECT_EQ(run.status, 0);
  Outcome noDisplay = Start("--platform x11", {}, "env DISPLAY=:4095");
  EXPECT_EQ(noDisplay.status, 2);
  EXPECT_NE(noDisplay.output.find("cannot open the X display"), std::string::npos);
  EXPECT_EQ(system(("cd '" + dir_.string() + "' && TESSELLON_PLATFORM=wayland ./tessellon 2>/dev/null").c_str()) >> 8,
            2);
}

}  // namespace

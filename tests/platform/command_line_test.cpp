#include <gtest/gtest.h>

#include <vector>

#include "platform/process/command_line.h"

namespace {

using platform::ParseCommandLine;

platform::CommandLineResult Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "tessellon");
  return ParseCommandLine(static_cast<int>(args.size()), args.data(), "/home/user/photos");
}

TEST(CommandLine, DropsTakeAPointAndFilesUntilTheNextOption) {
  auto r = Parse({"--platform", "offscreen", "--drop", "115,163", "a.jpg", "/abs/b.png", "--drop", "-5,363", "c.gif",
                  "--screenshot", "shot.png"});
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.options.drops.size(), 2u);
  EXPECT_EQ(r.options.drops[0].point.x, 115);
  EXPECT_EQ(r.options.drops[0].point.y, 163);
  EXPECT_EQ(r.options.drops[0].files, (std::vector<std::string>{"/home/user/photos/a.jpg", "/abs/b.png"}));
  EXPECT_EQ(r.options.drops[1].point.x, -5);
  EXPECT_EQ(r.options.drops[1].files, (std::vector<std::string>{"/home/user/photos/c.gif"}));
  EXPECT_EQ(r.options.screenshot, "/home/user/photos/shot.png");
  EXPECT_EQ(r.options.platform, "offscreen");
}

TEST(CommandLine, RefusesWhatItCannotRun) {
  for (auto args : std::vector<std::vector<const char*>>{
           {"--bogus"},
           {"stray.jpg"},
           {"--platform"},
           {"--platform", "wayland"},
           {"--drop"},
           {"--drop", "1,2"},
           {"--drop", "12", "a.jpg"},
           {"--drop", "1,x", "a.jpg"},
           {"--drop", "1,2,3", "a.jpg"},
           {"--drop", "99999999999,1", "a.jpg"},
           {"--drop", "1,2", "--screenshot", "s.png"},
           {"--screenshot"},
           {"--platform", "x11", "--drop", "1,2", "a.jpg"},
       }) {
    auto r = Parse(args);
    EXPECT_FALSE(r.ok) << args[0];
    EXPECT_FALSE(r.error.empty());
  }
}

TEST(CommandLine, HelpAndNothing) {
  EXPECT_TRUE(Parse({"--help"}).options.help);
  auto r = Parse({});
  EXPECT_TRUE(r.ok);
  EXPECT_TRUE(r.options.platform.empty());
  EXPECT_TRUE(r.options.drops.empty());
}

}  // namespace

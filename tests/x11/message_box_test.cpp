// The runtime error's message box as a real dialog.
// gtest before Xlib: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <future>
#include <thread>

#include "platform/backends/x11/x11_message_box.h"
#include "x11_probe.h"
#include "xvfb_server.h"

namespace {

using namespace std::chrono_literals;

// The stop sign's red among the box's pixels left of the text.
size_t StopSignPixels(Display* display, Window box) {
  size_t red = 0;
  for (uint32_t p : x11_test::ReadWindowPixels(display, box, 56, 56)) red += p == 0xD0342Cu;
  return red;
}

void ClickOk(Display* display, Window box, const XWindowAttributes& a) {
  const platform::RECT ok = platform::x11::OkButtonRect(a.width, a.height);
  for (int type : {ButtonPress, ButtonRelease}) {
    XEvent click{};
    click.xbutton.type = type;
    click.xbutton.window = box;
    click.xbutton.button = Button1;
    click.xbutton.x = (ok.left + ok.right) / 2;
    click.xbutton.y = (ok.top + ok.bottom) / 2;
    XSendEvent(display, box, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &click);
  }
  XFlush(display);
}

// The box once it shows: it has its title before it is moved into place and
// mapped, so a box found by title alone may still stand at the corner.
Window FindBox(Display* display, const std::string& caption) {
  for (auto until = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < until;) {
    std::this_thread::sleep_for(20ms);
    const Window box = x11_test::FindWindowByTitle(display, caption);
    XWindowAttributes a{};
    if (box && XGetWindowAttributes(display, box, &a) && a.map_state == IsViewable) return box;
  }
  return 0;
}

TEST(MessageBox, ShowsTheChineseTextAndClosesOnAClickOnOk) {
  SKIP_WITHOUT_XVFB();
  auto probe = x11_test::OpenProbe();
  ASSERT_TRUE(probe);
  const std::string caption = "\xE9\x94\x99\xE8\xAF\xAF";  // 错误
  const std::string text =
      "\xE8\xBF\x90\xE8\xA1\x8C\xE6\x97\xB6\xE5\x87\xBA\xE9\x94\x99!\n"  // 运行时出错!
      "\xE7\xAA\x97\xE5\x8F\xA3 1, \xE5\x8D\x95\xE5\x85\x83 2";          // 窗口 1, 单元 2
  auto closed = std::async(std::launch::async, [&] {
    platform::x11::RunModalMessageBox(x11_test::Server()->Display().c_str(), caption, text);
  });

  const Window box = FindBox(probe.get(), caption);
  ASSERT_NE(box, 0u);
  XWindowAttributes a{};
  ASSERT_TRUE(XGetWindowAttributes(probe.get(), box, &a));
  // Centred on the 1280 x 1024 screen.
  EXPECT_NEAR(a.x + a.width / 2, x11_test::XvfbServer::kWidth / 2, 1);
  EXPECT_NEAR(a.y + a.height / 2, x11_test::XvfbServer::kHeight / 2, 1);

  // The text drawn: its lines hold many dark pixels.
  const platform::RECT ok = platform::x11::OkButtonRect(a.width, a.height);
  size_t dark = 0;
  for (auto until = std::chrono::steady_clock::now() + 5s; dark < 200 && std::chrono::steady_clock::now() < until;) {
    std::this_thread::sleep_for(20ms);
    const auto pixels = x11_test::ReadWindowPixels(probe.get(), box, a.width, ok.top);
    dark = 0;
    for (uint32_t p : pixels) dark += ((p >> 16) & 0xFF) < 0x60 && ((p >> 8) & 0xFF) < 0x60 && (p & 0xFF) < 0x60;
  }
  EXPECT_GE(dark, 200u);
  EXPECT_EQ(StopSignPixels(probe.get(), box), 0u) << "a stop sign on a box that is no error's";

  ASSERT_EQ(closed.wait_for(0ms), std::future_status::timeout) << "the box must wait for its button";
  ClickOk(probe.get(), box, a);
  EXPECT_EQ(closed.wait_for(5s), std::future_status::ready);
}

// An error's box for a window: the stop sign, centred on the window and
// transient for it, so a window manager keeps it over its owner.
TEST(MessageBox, AnErrorsBoxShowsTheStopSignCentredOnItsOwner) {
  SKIP_WITHOUT_XVFB();
  auto probe = x11_test::OpenProbe();
  ASSERT_TRUE(probe);
  Display* d = probe.get();
  const Window owner = XCreateSimpleWindow(d, DefaultRootWindow(d), 100, 120, 400, 300, 0, 0, 0xFFFFFF);
  XMapWindow(d, owner);
  XSync(d, False);
  const std::string caption = "stop";
  auto closed = std::async(std::launch::async, [&] {
    platform::x11::RunModalMessageBox(x11_test::Server()->Display().c_str(), caption, "text", owner, true);
  });
  const Window box = FindBox(d, caption);
  ASSERT_NE(box, 0u);
  XWindowAttributes a{};
  ASSERT_TRUE(XGetWindowAttributes(d, box, &a));
  EXPECT_NEAR(a.x + a.width / 2, 100 + 400 / 2, 1);
  EXPECT_NEAR(a.y + a.height / 2, 120 + 300 / 2, 1);
  Window transientFor = 0;
  EXPECT_TRUE(XGetTransientForHint(d, box, &transientFor));
  EXPECT_EQ(transientFor, owner);
  size_t red = 0;
  for (auto until = std::chrono::steady_clock::now() + 5s; red < 300 && std::chrono::steady_clock::now() < until;) {
    std::this_thread::sleep_for(20ms);
    red = StopSignPixels(d, box);
  }
  EXPECT_GE(red, 300u) << "no stop sign";
  ClickOk(d, box, a);
  EXPECT_EQ(closed.wait_for(5s), std::future_status::ready);
  XDestroyWindow(d, owner);
  XSync(d, False);
}

}  // namespace

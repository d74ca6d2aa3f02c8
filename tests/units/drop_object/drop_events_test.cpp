// Drops made through the dispatcher onto a box with a registered drop
// object: which events are raised, with exactly which texts, and which
// effect the target chooses for each key state.
#include <gtest/gtest.h>

#include <functional>

#include "drop_fixture.h"
#include "platform/ole/clipboard_formats.h"
#include "platform/ole/drag_dispatch.h"
#include "platform/windows/window.h"

namespace dragdrop_test {
namespace {

using namespace platform;

UINT Html() { return RegisterClipboardFormatA("HTML Format"); }
UINT Url() { return RegisterClipboardFormatA("UniformResourceLocator"); }

TEST_F(DropTest, EachDropRaisesItsEventsInOrderWithTheirTexts) {
  const std::string chinese = "/tmp/\xE7\xBB\x86\xE8\x8A\x82.jpg";  // 细节 in UTF-8
  // "<b>ÀÀ&nbsp;中</b>": the ANSI form (18 bytes) is longer than the UTF-8 (16).
  const std::string html = "Version:0.9\r\n<b>\xC3\x80\xC3\x80\xC2\xA0\xE4\xB8\xAD</b>";
  const std::string htmlAnsi = "Version:0.9\r\n<b>\x81\x30\x86\x38\x81\x30\x86\x38 \xD6\xD0</b>";
  struct Case {
    const char* name;
    Accepts accepts;
    std::function<IDataObject*()> data;
    EventLog expected;
  };
  const Case cases[] = {
      {"one file", {0, 0, 0, 1}, [&] { return OfferFiles({chinese}); }, {{3, "/tmp/\xCF\xB8\xBD\xDA.jpg"}}},
      {"two files",
       {0, 0, 0, 1},
       [] {
         return OfferFiles({"/a/1.jpg", "/b/2.png"});
       },
       {{3, "/a/1.jpg\r\n/b/2.png\r\n"}}},
      {"no files", {0, 0, 0, 1}, [] { return OfferFiles({}); }, {{3, ""}}},
      {"text",
       {1, 0, 0, 0},
       [] {
         return Offer({{CF_TEXT, "plain \xD6\xD0"}});
       },
       {{0, "plain \xD6\xD0"}}},
      {"HTML",
       {0, 1, 0, 0},
       [&] {
         return Offer({{Html(), html}});
       },
       {{1, htmlAnsi}}},
      {"URL",
       {0, 0, 1, 0},
       [] {
         return Offer({{Url(), "http://example.com/a b"}});
       },
       {{2, "http://example.com/a b"}}},
      {"text and HTML to both",
       {1, 1, 0, 0},
       [&] {
         return Offer({{CF_TEXT, "t"}, {Html(), "<i>h</i>"}});
       },
       {{1, "<i>h</i>"}}},
      {"text and HTML to text alone",
       {1, 0, 0, 0},
       [&] {
         return Offer({{CF_TEXT, "t"}, {Html(), "<i>h</i>"}});
       },
       {}},
      {"text to files alone",
       {0, 0, 0, 1},
       [] {
         return Offer({{CF_TEXT, "t"}});
       },
       {}},
      {"text, URL and files to all",
       {1, 1, 1, 1},
       [] {
         return Offer({{CF_HDROP, ""}, {Url(), "u"}, {CF_TEXT, "t"}});
       },
       {{0, "t"}, {2, "u"}, {3, ""}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start(c.accepts);
    ASSERT_TRUE(Register(kDrop1, WindowOf(kBox1)));
    Events().clear();
    DragAndDrop(c.data(), CentreOf(kBox1));
    EXPECT_EQ(Events(), c.expected);
    TearDown();
    SetUp();
  }
}

TEST_F(DropTest, TheEffectFollowsTheKeysAndWhatTheSourceAllows) {
  Start({0, 0, 0, 1});
  ASSERT_TRUE(Register(kDrop1, WindowOf(kBox1)));
  constexpr DWORD kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  struct Case {
    DWORD keys, allowed, effect;
  };
  const Case cases[] = {
      {0, kAll, DROPEFFECT_COPY},
      {0, DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_MOVE},
      {0, DROPEFFECT_LINK, DROPEFFECT_LINK},  // linked to only when no key asks
      {0, DROPEFFECT_NONE, DROPEFFECT_NONE},
      {MK_CONTROL, kAll, DROPEFFECT_COPY},
      {MK_CONTROL, DROPEFFECT_MOVE, DROPEFFECT_NONE},
      {MK_SHIFT, kAll, DROPEFFECT_MOVE},
      {MK_SHIFT, DROPEFFECT_COPY, DROPEFFECT_NONE},
      {MK_CONTROL | MK_SHIFT, kAll, DROPEFFECT_NONE},  // never a link
      {MK_CONTROL | MK_SHIFT, DROPEFFECT_LINK, DROPEFFECT_NONE},
      {MK_ALT, kAll, DROPEFFECT_COPY},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "keys " << c.keys << " allowed " << c.allowed);
    IDataObject* files = OfferFiles({"/x.jpg"});
    EXPECT_EQ(DispatchDragMove(files, CentreOf(kBox1), c.keys, c.allowed), c.effect);  // enter
    EXPECT_EQ(DispatchDragMove(files, CentreOf(kBox1), c.keys, c.allowed), c.effect);  // over
    DispatchDragLeave();
    files->Release();
  }
  // What is not accepted is refused whatever the keys.
  IDataObject* text = Offer({{CF_TEXT, "t"}});
  EXPECT_EQ(DispatchDragMove(text, CentreOf(kBox1), MK_CONTROL, kAll), DROPEFFECT_NONE);
  DispatchDragLeave();
  text->Release();
}

TEST_F(DropTest, TheTargetIsTheNearestRegisteredWindowUnderThePoint) {
  Start({0, 0, 0, 1});
  ASSERT_TRUE(Register(kDrop1, WindowOf(kBox1)));
  RECT window;
  GetWindowRect(WindowOf(0), &window);
  const POINT outside{window.right + 5, window.top + 5};
  for (POINT at : {CentreOf(kBox2), outside}) DragAndDrop(OfferFiles({"/x.jpg"}), at);
  EXPECT_TRUE(Events().empty());
  // Registered on the window, a drop on an unregistered box reaches it
  // through the box's parent; moving across boxes is a leave and an enter.
  ASSERT_TRUE(Register(kDrop2, WindowOf(0)));
  IDataObject* files = OfferFiles({"/y.jpg"});
  EXPECT_EQ(DispatchDragMove(files, CentreOf(kBox1), 0, DROPEFFECT_COPY), DROPEFFECT_COPY);
  EXPECT_EQ(DispatchDragMove(files, CentreOf(kBox2), 0, DROPEFFECT_COPY), DROPEFFECT_COPY);
  DWORD effect = 0;
  EXPECT_EQ(DispatchDrop(0, DROPEFFECT_COPY, &effect), E_FAIL);  // the source learns the drop failed
  EXPECT_EQ(effect, DROPEFFECT_COPY);
  files->Release();
  EXPECT_EQ(Events(), (EventLog{{3, "/y.jpg"}}));
  EXPECT_FALSE(DragInProgress());
}

TEST_F(DropTest, AHandlerThatClosesTheWindowEndsTheDropThere) {
  Start({1, 0, 0, 1});
  ASSERT_TRUE(Register(kDrop2, WindowOf(kBox2)));
  // Drop object 2 closes the window on its text event: the files event that
  // would follow is not raised, and the unit outlives its drop call.
  DragAndDrop(Offer({{CF_TEXT, "t"}, {CF_HDROP, ""}}), CentreOf(kBox2));
  EXPECT_EQ(Events(), (EventLog{{0, "t"}}));
  EXPECT_EQ(WindowOf(0), 0u);
}

}  // namespace
}  // namespace dragdrop_test

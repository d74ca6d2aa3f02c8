// XDND drops from a file-manager-like drag source, through the protocol
// handling into a recording sink standing for the drag dispatcher.
// gtest before Xlib: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "platform/backends/x11/uri_list.h"
#include "platform/backends/x11/x11_connection.h"
#include "platform/backends/x11/xdnd.h"
#include "platform/files/files.h"
#include "platform/memory/global_memory.h"
#include "platform/ole/drop_files.h"
#include "xdnd_drag_source.h"
#include "xvfb_server.h"

namespace {

using namespace platform;
using namespace platform::x11;
using namespace std::chrono_literals;

// Accepts over its "box" (root x < 300) and takes a while to handle a drop,
// as the tool does while it writes its JPEG.
struct Recording {
  std::vector<std::string> files;
  std::string text;
  int moves = 0, drops = 0, leaves = 0;
  DWORD keys = 0, allowed = 0;
  std::atomic<bool> handled{false};
};

class RecordingSink : public DropSink {
 public:
  explicit RecordingSink(Recording& r) : r_(r) {}
  DWORD Move(const DragOffer& offer, POINT screen, DWORD keys, DWORD allowed) override {
    ++r_.moves;
    r_.keys = keys;
    r_.allowed = allowed;
    return screen.x < 300 && (offer.files || offer.text) ? kEffectCopy : kEffectNone;
  }
  DWORD Drop(const DroppedData& data, DWORD, DWORD) override {
    ++r_.drops;
    r_.files = data.files;
    r_.text = data.text;
    std::this_thread::sleep_for(50ms);
    r_.handled = true;
    return kEffectCopy;
  }
  void Leave() override { ++r_.leaves; }

 private:
  Recording& r_;
};

class XdndDrops : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_XVFB();
    connection_ = Connection::Open(x11_test::Server()->Display().c_str());
    ASSERT_TRUE(connection_);
    Display* d = connection_->Dpy();
    window_ = XCreateSimpleWindow(d, connection_->Root(), 100, 100, 400, 300, 0, 0, 0);
    const long version = 5;
    XChangeProperty(d, window_, connection_->Names().xdndAware, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&version), 1);
    XMapWindow(d, window_);
    XSync(d, False);
    target_ = std::make_unique<DropTarget>(*connection_, std::make_unique<RecordingSink>(record_));
  }
  void TearDown() override {
    target_.reset();
    if (connection_) XDestroyWindow(connection_->Dpy(), window_);
  }

  // Plays the drag while this thread serves the target's events.
  x11_test::DragOutcome Play(const x11_test::Drag& drag) {
    auto outcome = std::async(std::launch::async, [&] {
      return x11_test::RunDrag(x11_test::Server()->Display().c_str(), window_, drag,
                               [&] { return record_.handled.load(); });
    });
    Display* d = connection_->Dpy();
    while (outcome.wait_for(0ms) != std::future_status::ready) {
      while (XPending(d)) {
        XEvent e;
        XNextEvent(d, &e);
        target_->Handle(e);
      }
      target_->CheckTimeout();
      XFlush(d);
      pollfd p{ConnectionNumber(d), POLLIN, 0};
      poll(&p, 1, 10);
    }
    // The source has closed its connection: a round trip brings in all it sent.
    XSync(d, False);
    while (XPending(d)) {
      XEvent e;
      XNextEvent(d, &e);
      target_->Handle(e);
    }
    return outcome.get();
  }

  std::unique_ptr<Connection> connection_;
  Window window_ = 0;
  Recording record_;
  std::unique_ptr<DropTarget> target_;
};

const std::vector<std::string> kFileManagerTypes{"x-special/gnome-copied-files", "UTF8_STRING", "text/plain",
                                                 "text/uri-list"};

TEST_F(XdndDrops, FilesArriveDecodedAndFinishedFollowsTheHandledDrop) {
  struct Case {
    const char* name;
    std::vector<std::string> types;
    std::string data;
    x11_test::Serve serve;
    std::vector<std::string> files;
  };
  const std::string big(3000, 'a');
  const std::vector<Case> cases{
      {"one escaped Chinese name",
       {"text/uri-list"},
       "file:///tmp/%E7%BB%86%E8%8A%82.jpg\r\n",
       x11_test::Serve::Whole,
       {"/tmp/\xE7\xBB\x86\xE8\x8A\x82.jpg"}},
      {"two files, a type list, a comment, localhost and no final newline",
       kFileManagerTypes,
       "# from a file manager\r\nfile://localhost/p/a%20b.jpg\r\nfile:///p/\xE7\xBB\x86 c.png",
       x11_test::Serve::Whole,
       {"/p/a b.jpg", "/p/\xE7\xBB\x86 c.png"}},
      {"served by INCR",
       {"text/uri-list"},
       "file:///" + big + "\r\nfile:///x.gif\r\n",
       x11_test::Serve::Incr,
       {"/" + big, "/x.gif"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    record_.drops = record_.leaves = 0;
    record_.handled = false;
    x11_test::Drag drag{c.types, c.data, 150, 150, "XdndActionCopy", true, c.serve};
    const auto out = Play(drag);
    EXPECT_TRUE(out.awareOfVersion5);
    EXPECT_TRUE(out.accepted);
    EXPECT_EQ(out.statusAction, "XdndActionCopy");
    EXPECT_EQ(out.askedType, "text/uri-list");
    EXPECT_EQ(record_.files, c.files);
    EXPECT_EQ(record_.drops, 1);
    EXPECT_TRUE(out.finished && out.finishedAccepted && out.handledBeforeFinished);
    EXPECT_EQ(out.finishedAction, "XdndActionCopy");
  }
}

TEST_F(XdndDrops, RefusedDropsLeavesAndMovesFinishWithoutData) {
  struct Case {
    const char* name;
    int rootX;
    std::string action;
    bool drop;
    bool finished;
    std::string statusAction;
  };
  const std::vector<Case> cases{
      {"outside any box", 350, "XdndActionCopy", true, true, "None"},
      {"left without a drop", 150, "XdndActionCopy", false, false, "XdndActionCopy"},
      // A move would have the file manager delete the file: it is answered as a copy.
      {"a move asked for", 150, "XdndActionMove", true, true, "XdndActionCopy"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    record_.drops = record_.leaves = 0;
    const auto out = Play(x11_test::Drag{{"text/uri-list"}, "file:///a.jpg\r\n", c.rootX, 150, c.action, c.drop});
    EXPECT_EQ(out.statusAction, c.statusAction);
    EXPECT_EQ(out.finished, c.finished);
    const bool performed = c.statusAction != "None" && c.drop;
    EXPECT_EQ(out.finishedAccepted, performed);
    EXPECT_EQ(record_.drops, performed ? 1 : 0);
    EXPECT_EQ(record_.leaves, performed ? 0 : 1);
  }
}

TEST_F(XdndDrops, DataThatNeverComesTimesOutAndTheNextDragWorks) {
  const auto start = std::chrono::steady_clock::now();
  const auto lost = Play(
      x11_test::Drag{{"text/uri-list"}, "file:///a.jpg\r\n", 150, 150, "XdndActionCopy", true, x11_test::Serve::Never});
  EXPECT_GE(std::chrono::steady_clock::now() - start, DropTarget::kDataTimeout);
  EXPECT_TRUE(lost.finished);
  EXPECT_FALSE(lost.finishedAccepted);
  EXPECT_EQ(record_.drops, 0);
  EXPECT_EQ(record_.leaves, 1);

  const auto next = Play(x11_test::Drag{{"UTF8_STRING"}, "\xE7\xBB\x86", 150, 150});
  EXPECT_TRUE(next.finishedAccepted);
  EXPECT_EQ(record_.text, "\xE7\xBB\x86");
}

TEST(UriList, LocalFilesAreDecodedAndEverythingElseSkipped) {
  struct Case {
    const char* list;
    std::vector<std::string> files;
  };
  const std::vector<Case> cases{
      {"file:///a\r\nfile:///b\n", {"/a", "/b"}},
      {"FILE:///Upper%2fcase", {"/Upper/case"}},
      {"file://thishost/own%41\r\nfile://elsewhere/x\r\nfile://localhost/l", {"/ownA", "/l"}},
      {"#comment\r\n\r\nhttp://a/b\r\nfile:/no-slashes\r\nfile:///", {}},
      {"file:///nul%00byte\r\nfile:///bad%G1\r\nfile:///short%4\r\nfile:///end%", {}},
      {"file:///%FF%FE raw \xE7\xBB\x86", {"/\xFF\xFE raw \xE7\xBB\x86"}},
  };
  for (const Case& c : cases) EXPECT_EQ(LocalFilesFromUriList(c.list, "thishost"), c.files) << c.list;
}

// A file manager sends a name that is not UTF-8 with its raw bytes
// percent-escaped; the drop query hands the runtime the ANSI name that opens
// exactly that file.
TEST(UriList, RawGbkNamesOpenThroughTheDropQuery) {
  namespace fs = std::filesystem;
  std::string pattern = fs::temp_directory_path().string() + "/tessellon-uri-XXXXXX";
  const fs::path dir = mkdtemp(pattern.data());
  std::ofstream(dir / "gbk-\xCF\xB8\xBD\xDA.jpg") << "raw GBK";  // 细节 in GBK
  const std::vector<std::string> files =
      LocalFilesFromUriList("file://" + dir.string() + "/gbk-%CF%B8%BD%DA.jpg\r\n", "thishost");
  ASSERT_EQ(files.size(), 1u);

  const HGLOBAL drop = GlobalAllocCopy(GMEM_MOVEABLE, DropFilesBytes(files));
  const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
  std::string name(length + 1, '\0');
  name.resize(DragQueryFileA(drop, 0, name.data(), length + 1));
  GlobalFree(drop);
  // U+03F8 (CF B8 happen to be UTF-8), then BD and DA as the escapes
  // U+10FEBD and U+10FEDA, all in GB18030.
  EXPECT_EQ(name, dir.string() + "/gbk-\x81\x30\xD0\x36\xE3\x31\xF8\x33\xE3\x31\xFB\x32.jpg");

  const HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_NE(file, INVALID_HANDLE);
  char read[16] = {};
  DWORD n = 0;
  EXPECT_TRUE(ReadFile(file, read, sizeof read - 1, &n));
  EXPECT_STREQ(read, "raw GBK");
  CloseHandle(file);
  fs::remove_all(dir);
}

}  // namespace

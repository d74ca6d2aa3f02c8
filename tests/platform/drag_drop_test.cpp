// The platform's drop pieces on their own: dropped-file blocks read within
// their bounds, registered format ids, and targets called on their window's
// thread whichever thread feeds the drag.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/files/files.h"
#include "platform/memory/global_memory.h"
#include "platform/ole/clipboard_formats.h"
#include "platform/ole/data_offer.h"
#include "platform/ole/drag_dispatch.h"
#include "platform/ole/drop_files.h"
#include "platform/text/text_conversion.h"
#include "platform/windows/messages.h"
#include "platform/windows/window.h"

namespace {

using namespace platform;

std::vector<uint8_t> Block(DWORD offset, BOOL wide, const std::string& names) {
  DROPFILES header;
  header.pFiles = offset;
  header.fWide = wide;
  std::vector<uint8_t> bytes(sizeof header + names.size());
  std::memcpy(bytes.data(), &header, sizeof header);
  std::memcpy(bytes.data() + sizeof header, names.data(), names.size());
  return bytes;
}

TEST(DropFiles, BlocksAreReadWithinTheirSize) {
  using namespace std::string_literals;
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    std::vector<std::string> names;  // as DragQueryFileA gives them
  };
  const Case cases[] = {
      {"two names", Block(20, 0, "/a\0/b\0\0"s), {"/a", "/b"}},
      {"UTF-8 made ANSI", Block(20, 0, "/\xE4\xB8\xAD\0\0"s), {"/\xD6\xD0"}},
      {"not UTF-8: the byte escaped", Block(20, 0, "/x\xFF\0/y\0\0"s), {"/x\xE3\x31\xFE\x39", "/y"}},
      {"last name cut by the end", Block(20, 0, "/a\0/b"s), {"/a"}},
      {"no list end", Block(20, 0, "/a\0"s), {"/a"}},
      {"names past the end", Block(400, 0, "/a\0\0"s), {}},
      {"names inside the header", Block(4, 0, "/a\0\0"s), {}},
      {"wide names", Block(20, 1, "/\0a\0\0\0\0\0"s), {}},
      {"header cut", std::vector<uint8_t>(12, 0), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const HGLOBAL block = GlobalAllocCopy(GMEM_MOVEABLE, c.bytes);
    ASSERT_EQ(DragQueryFileA(block, kDragQueryCount, nullptr, 0), c.names.size());
    for (UINT i = 0; i < c.names.size(); ++i) {
      const UINT length = DragQueryFileA(block, i, nullptr, 0);
      EXPECT_EQ(length, c.names[i].size());
      std::string name(length + 1, '#');
      EXPECT_EQ(DragQueryFileA(block, i, name.data(), length + 1), length);
      EXPECT_EQ(name, c.names[i] + '\0');
    }
    EXPECT_EQ(DragQueryFileA(block, static_cast<UINT>(c.names.size()), nullptr, 0), 0u);
    GlobalFree(block);
  }
  // A buffer too small takes what fits and its NUL.
  const HGLOBAL block = GlobalAllocCopy(GMEM_MOVEABLE, DropFilesBytes({"/abcdef"}));
  char small[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(DragQueryFileA(block, 0, small, 4), 3u);
  EXPECT_STREQ(small, "/ab");
  GlobalFree(block);
}

TEST(TextConversion, UnitsCountedReplacedAndRefusedAsTheDesktopDoes) {
  // "a", an invalid byte, U+00E9 and U+1F600 (a surrogate pair), NUL included.
  const char utf8[] = "a\xFF\xC3\xA9\xF0\x9F\x98\x80";
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0), 6);
  WCHAR wide[6];
  ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 6), 6);
  EXPECT_EQ(std::u16string(wide, 6), (std::u16string{u'a', 0xFFFD, 0xE9, 0xD83D, 0xDE00, 0}));
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, wide, 6), 0);
  EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 5), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  // To the ANSI code page: U+00E9 has two bytes, U+1F600 four; a lone
  // surrogate becomes U+FFFD.
  const WCHAR text[] = {0xE9, 0xD83D, 0xDE00, 0xDC00};
  char ansi[16];
  ASSERT_EQ(WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, text, 4, ansi, 16, nullptr, nullptr), 10);
  EXPECT_EQ(std::string(ansi, 10), "\xA8\xA6\x94\x39\xFC\x36\x84\x31\xA4\x37");
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, 4, nullptr, 0, nullptr, nullptr), 10);
}

TEST(ClipboardFormats, NamesKeepOneIdWhateverTheirCase) {
  const UINT html = RegisterClipboardFormatA("HTML Format");
  EXPECT_GE(html, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormatA("html FORMAT"), html);
  EXPECT_EQ(GetClipboardFormatNameA(html), "HTML Format");
  const UINT url = RegisterClipboardFormatA("UniformResourceLocator");
  EXPECT_NE(url, html);
  EXPECT_EQ(RegisterClipboardFormatA(""), 0u);
  EXPECT_EQ(RegisterClipboardFormatA(nullptr), 0u);
}

// Records the thread of every call and chooses copy.
class ThreadTarget final : public IDropTarget {
 public:
  HRESULT QueryInterface(const IID&, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  uint32_t AddRef() override { return ++references; }
  uint32_t Release() override { return --references; }
  HRESULT DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override { return Note("enter", effect); }
  HRESULT DragOver(DWORD, POINTL, DWORD* effect) override { return Note("over", effect); }
  HRESULT DragLeave() override { return Note("leave", nullptr); }
  HRESULT Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override { return Note("drop", effect); }

  std::atomic<uint32_t> references{1};
  std::vector<std::string> calls;
  std::vector<std::thread::id> threads;

 private:
  HRESULT Note(const char* call, DWORD* effect) {
    calls.push_back(call);
    threads.push_back(std::this_thread::get_id());
    if (effect) *effect = DROPEFFECT_COPY;
    return S_OK;
  }
};

TEST(DragDispatch, TargetsAreCalledOnTheirWindowsThread) {
  WNDCLASSA wc;
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "DragThreadWindow";
  RegisterClassA(&wc);
  ThreadTarget target;
  std::atomic<HWND> window{0};
  std::atomic<bool> finished{false};
  std::thread::id guiThread;
  std::thread gui([&] {
    guiThread = std::this_thread::get_id();
    OleInitialize(nullptr);
    HWND hwnd = CreateWindowExA(0, "DragThreadWindow", "", WS_POPUP | WS_VISIBLE, 1500, 900, 100, 100, 0, 0, nullptr);
    EXPECT_EQ(RegisterDragDrop(hwnd, &target), S_OK);
    window = hwnd;
    MSG msg;
    while (!finished) {
      while (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    DestroyWindow(hwnd);
    OleUninitialize();
  });
  while (!window) std::this_thread::sleep_for(std::chrono::milliseconds(1));

  ComRef<DataOffer> offer = DataOffer::Create();
  DataOffer* data = offer.get();
  EXPECT_EQ(DispatchDragMove(data, POINT{1550, 950}, MK_LBUTTON, DROPEFFECT_COPY), DROPEFFECT_COPY);
  EXPECT_EQ(DispatchDragMove(data, POINT{1550, 950}, MK_LBUTTON, DROPEFFECT_COPY), DROPEFFECT_COPY);
  EXPECT_EQ(DispatchDragMove(data, POINT{10, 10}, MK_LBUTTON, DROPEFFECT_COPY), DROPEFFECT_NONE);
  EXPECT_EQ(DispatchDragMove(data, POINT{1550, 950}, MK_LBUTTON, DROPEFFECT_COPY), DROPEFFECT_COPY);
  DWORD effect = 0;
  EXPECT_EQ(DispatchDrop(0, DROPEFFECT_COPY, &effect), S_OK);
  EXPECT_EQ(effect, DROPEFFECT_COPY);
  offer.Reset();
  finished = true;
  gui.join();

  EXPECT_EQ(target.calls, (std::vector<std::string>{"enter", "over", "leave", "enter", "drop"}));
  for (std::thread::id thread : target.threads) EXPECT_EQ(thread, guiThread);
  EXPECT_EQ(target.references, 1u);  // the window's end released its registration
}

}  // namespace

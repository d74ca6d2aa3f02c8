#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include "platform/files/file_replace.h"
#include "platform/files/files.h"
#include "platform/text/ansi_text.h"

namespace {

using namespace platform;

class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/tessellon-files-XXXXXX";
    dir_ = mkdtemp(pattern.data());
    path_ = dir_ + "/f.bin";
    std::ofstream(path_) << "0123456789";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  HANDLE Open(DWORD access, DWORD share, DWORD disposition = OPEN_EXISTING) {
    return CreateFileA(path_.c_str(), access, share, disposition);
  }
  std::string dir_, path_;
};

TEST_F(Files, ShareModesConflictBetweenOpeners) {
  HANDLE reader = Open(GENERIC_READ, FILE_SHARE_READ);
  ASSERT_NE(reader, INVALID_HANDLE);
  EXPECT_EQ(Open(GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE), INVALID_HANDLE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  HANDLE second = Open(GENERIC_READ, FILE_SHARE_READ);
  EXPECT_NE(second, INVALID_HANDLE);
  CloseHandle(second);
  CloseHandle(reader);

  HANDLE writer = Open(GENERIC_WRITE, 0);
  ASSERT_NE(writer, INVALID_HANDLE);
  EXPECT_EQ(Open(GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE), INVALID_HANDLE);  // it denies readers
  CloseHandle(writer);
  // A writer that shares writing lets readers in who share it too.
  HANDLE sharing = Open(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  HANDLE alongside = Open(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  EXPECT_NE(sharing, INVALID_HANDLE);
  EXPECT_NE(alongside, INVALID_HANDLE);
  CloseHandle(sharing);
  CloseHandle(alongside);
}

TEST_F(Files, DispositionsCreateTruncateAndRefuse) {
  EXPECT_EQ(Open(GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
  HANDLE h = Open(GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS);
  EXPECT_EQ(GetFileSizeEx(h), 10);
  CloseHandle(h);
  h = Open(GENERIC_WRITE, 0, CREATE_ALWAYS);
  EXPECT_EQ(GetFileSizeEx(h), 0);
  DWORD n = 0;
  EXPECT_TRUE(WriteFile(h, "abc", 3, &n));
  EXPECT_EQ(n, 3u);
  CloseHandle(h);
  h = Open(GENERIC_READ, FILE_SHARE_READ);
  char buf[8] = {};
  EXPECT_TRUE(ReadFile(h, buf, 8, &n));
  EXPECT_EQ(n, 3u);
  EXPECT_STREQ(buf, "abc");
  CloseHandle(h);
  EXPECT_EQ(CreateFileA((dir_ + "/missing").c_str(), GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(CreateFileA(dir_.c_str(), GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE);
  EXPECT_FALSE(CloseHandle(h));  // already closed
}

TEST_F(Files, FindMatchesWildcardsWithoutRegardToCase) {
  std::ofstream(dir_ + "/Photo.JPG") << "x";
  std::ofstream(dir_ + "/photo.png") << "x";
  FindData data;
  HANDLE search = FindFirstFileA((dir_ + "/*.jpg").c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE);
  EXPECT_EQ(data.name, "Photo.JPG");
  EXPECT_EQ(data.attributes & FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_FALSE(FindNextFileA(search, &data));
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
  FindClose(search);
  // A directory named without wildcards finds itself, as the temp-path check needs.
  search = FindFirstFileA(dir_.c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE);
  EXPECT_TRUE(data.attributes & FILE_ATTRIBUTE_DIRECTORY);
  FindClose(search);
  EXPECT_EQ(FindFirstFileA((dir_ + "/ph?to.p*g").c_str(), &data) != INVALID_HANDLE, true);
}

TEST_F(Files, TempPathEndsInASeparator) {
  const char* old = std::getenv("TMPDIR");
  std::string saved = old ? old : "";
  setenv("TMPDIR", dir_.c_str(), 1);
  EXPECT_EQ(GetTempPathA(), dir_ + "/");
  setenv("TMPDIR", "", 1);
  EXPECT_EQ(GetTempPathA(), "/tmp/");
  setenv("TMPDIR", "/tmp/bad\xFF", 1);  // not UTF-8: the byte is escaped, not lost
  EXPECT_EQ(GetTempPathA(), "/tmp/bad\xE3\x31\xFE\x39/");
  if (old)
    setenv("TMPDIR", saved.c_str(), 1);
  else
    unsetenv("TMPDIR");
}

// Names as file systems hold them, UTF-8 or not: each is listed under its
// ANSI name, and that name opens, renames, deletes and links to exactly that
// file. The escapes (U+10FE00 + the byte, in GB18030) are worked out by hand.
TEST_F(Files, EveryNameAFileSystemHoldsIsReachedByItsAnsiName) {
  struct Case {
    const char* what;
    std::string os;
    std::string ansi;
  };
  const Case cases[] = {
      {"Chinese in UTF-8", "\xE7\xBB\x86\xE8\x8A\x82.jpg", "\xCF\xB8\xBD\xDA.jpg"},
      // CF B8 is valid UTF-8 (U+03F8), BD and DA are not.
      {"raw GBK bytes", "gbk-\xCF\xB8\xBD\xDA.jpg", "gbk-\x81\x30\xD0\x36\xE3\x31\xF8\x33\xE3\x31\xFB\x32.jpg"},
      {"a lone byte", "bad\xFF", "bad\xE3\x31\xFE\x39"},
      {"an escape character spelt out", "\xF4\x8F\xBA\x80",
       "\xE3\x31\xFD\x38\xE3\x31\xF3\x37\xE3\x31\xF8\x30\xE3\x31\xF2\x32"},
  };
  std::filesystem::remove(path_);
  std::set<std::string> expected;
  for (const Case& c : cases) {
    std::ofstream(dir_ + "/" + c.os) << c.what;
    expected.insert(c.ansi);
  }
  std::set<std::string> listed;
  FindData data;
  HANDLE search = FindFirstFileA((dir_ + "/*").c_str(), &data);
  for (bool more = search != INVALID_HANDLE; more; more = FindNextFileA(search, &data))
    if (!(data.attributes & FILE_ATTRIBUTE_DIRECTORY)) listed.insert(data.name);
  if (search != INVALID_HANDLE) FindClose(search);
  EXPECT_EQ(listed, expected);

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string ansi = dir_ + "/" + c.ansi;
    HANDLE file = CreateFileA(ansi.c_str(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_NE(file, INVALID_HANDLE);
    char read[64] = {};
    DWORD n = 0;
    EXPECT_TRUE(ReadFile(file, read, sizeof read - 1, &n));
    EXPECT_STREQ(read, c.what);
    CloseHandle(file);

    ASSERT_EQ(symlink(c.os.c_str(), (dir_ + "/link").c_str()), 0);
    EXPECT_EQ(ResolveLinksA((dir_ + "/link").c_str()), ansi);
    std::filesystem::remove(dir_ + "/link");

    EXPECT_TRUE(MoveFileExA(ansi.c_str(), (dir_ + "/moved-" + c.ansi).c_str(), false));
    EXPECT_TRUE(std::filesystem::exists(dir_ + "/moved-" + c.os));
    EXPECT_TRUE(DeleteFileA((dir_ + "/moved-" + c.ansi).c_str()));
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/moved-" + c.os));
  }
}

// A directory named in raw GBK bytes (程序 in GBK: no byte of it makes UTF-8)
// is entered and holds temporary files.
TEST_F(Files, ADirectoryNamedInRawGbkBytesIsEnteredAndUsed) {
  const std::string os = dir_ + "/\xB3\xCC\xD0\xF2";
  const std::string ansi = dir_ + "/\xE3\x31\xF7\x33\xE3\x31\xF9\x38\xE3\x31\xFA\x32\xE3\x31\xFD\x36";
  ASSERT_EQ(mkdir(os.c_str(), 0700), 0);
  const std::filesystem::path before = std::filesystem::current_path();
  ASSERT_TRUE(SetCurrentDirectoryA(ansi.c_str()));
  EXPECT_EQ(std::filesystem::current_path(), os);
  std::filesystem::current_path(before);

  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  setenv("TMPDIR", os.c_str(), 1);
  const std::string temp = GetTempPathA();
  if (old)
    setenv("TMPDIR", saved.c_str(), 1);
  else
    unsetenv("TMPDIR");
  EXPECT_EQ(temp, ansi + "/");
  HANDLE file = CreateFileA((temp + "x.tmp").c_str(), GENERIC_WRITE, 0, CREATE_NEW);
  EXPECT_NE(file, INVALID_HANDLE);
  CloseHandle(file);
  EXPECT_TRUE(std::filesystem::exists(os + "/x.tmp"));
}

TEST(AnsiText, Gb18030RoundTripsGbkAndTheRestOfUnicode) {
  EXPECT_EQ(*AnsiToUtf8("\xCF\xB8\xBD\xDA"), "细节");
  EXPECT_EQ(*Utf8ToAnsi("细节"), "\xCF\xB8\xBD\xDA");
  std::string emoji = "\xF0\x9F\x93\xB7";
  EXPECT_EQ(Utf8ToAnsi(emoji)->size(), 4u);
  EXPECT_EQ(*AnsiToUtf8(*Utf8ToAnsi(emoji)), emoji);
  EXPECT_FALSE(AnsiToUtf8("\x81").has_value());  // a lead byte alone
  EXPECT_FALSE(Utf8ToAnsi("\xC3").has_value());
}

}  // namespace

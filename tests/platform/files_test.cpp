#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

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
  setenv("TMPDIR", "/tmp/bad\xFF", 1);  // no ANSI name for it: never a substitute
  EXPECT_EQ(GetTempPathA(), "/tmp/");
  if (old)
    setenv("TMPDIR", saved.c_str(), 1);
  else
    unsetenv("TMPDIR");
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

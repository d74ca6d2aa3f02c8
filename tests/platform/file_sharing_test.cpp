// Opens, deletes and share modes as the runtime relies on them, between
// openers in one process and in several.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "platform/files/files.h"

namespace {

using namespace platform;
namespace fs = std::filesystem;

class FileSharing : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = fs::temp_directory_path().string() + "/tessellon-share-XXXXXX";
    dir_ = mkdtemp(pattern.data());
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }
  std::string File(const std::string& name, const char* content = "data") {
    std::string path = dir_ + "/" + name;
    std::ofstream(path) << content;
    return path;
  }
  std::string dir_;
};

using FileSharingDeathTest = FileSharing;

// A FIFO with no writer, a device and a directory: none of them may block an
// open or pass for a file. Run in a child with an alarm, so that a blocking
// open fails the test instead of hanging it.
TEST_F(FileSharingDeathTest, OnlyRegularFilesOpenAndNothingBlocks) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string fifo = dir_ + "/pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
  EXPECT_EXIT(
      {
        alarm(10);
        int opened = 0;
        for (const std::string& path : {fifo, std::string("/dev/null"), std::string("/dev/zero"), dir_}) {
          for (DWORD access : {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE}) {
            HANDLE h = CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
            if (h != INVALID_HANDLE) ++opened;
          }
        }
        _exit(opened);
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(FileSharing, DeletingRespectsOtherOpenersAndTheReadOnlyAttribute) {
  struct Case {
    const char* what;
    DWORD openerShare;  // 0xFFFFFFFF: no other opener
    bool readOnly;
    bool deleted;
    DWORD error;
  };
  const Case cases[] = {
      {"no opener", 0xFFFFFFFF, false, true, ERROR_SUCCESS},
      {"opener sharing delete", FILE_SHARE_READ | FILE_SHARE_DELETE, false, true, ERROR_SUCCESS},
      {"opener not sharing delete", FILE_SHARE_READ | FILE_SHARE_WRITE, false, false, ERROR_SHARING_VIOLATION},
      {"read-only file", 0xFFFFFFFF, true, false, ERROR_ACCESS_DENIED},
  };
  for (const Case& c : cases) {
    const std::string path = File("victim");
    if (c.readOnly) chmod(path.c_str(), 0444);
    HANDLE opener = c.openerShare == 0xFFFFFFFF ? INVALID_HANDLE
                                                : CreateFileA(path.c_str(), GENERIC_READ, c.openerShare, OPEN_EXISTING);
    EXPECT_EQ(DeleteFileA(path.c_str()) != FALSE, c.deleted) << c.what;
    if (!c.deleted) {
      EXPECT_EQ(GetLastError(), c.error) << c.what;
    }
    EXPECT_EQ(fs::exists(path), !c.deleted) << c.what;
    if (opener != INVALID_HANDLE) CloseHandle(opener);
    // Once the opener is gone, or the file is writable again, it goes.
    chmod(path.c_str(), 0644);
    if (!c.deleted) {
      EXPECT_TRUE(DeleteFileA(path.c_str())) << c.what;
    }
  }
  // A link goes as itself, whatever its target says.
  const std::string target = File("target");
  chmod(target.c_str(), 0444);
  HANDLE holder = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  const std::string link = dir_ + "/link";
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  EXPECT_TRUE(DeleteFileA(link.c_str()));
  EXPECT_TRUE(fs::exists(target));
  CloseHandle(holder);
  // An opener that does not share deleting cannot get in while a delete holds.
  const std::string held = File("held");
  HANDLE sharer = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, OPEN_EXISTING);
  ASSERT_NE(sharer, INVALID_HANDLE);
  EXPECT_TRUE(DeleteFileA(held.c_str()));
  CloseHandle(sharer);
}

// Openers in separate processes, released together, all asking for the same
// file exclusively: however they interleave, no two may hold it at once.
TEST_F(FileSharing, ExclusiveOpenersRacingInProcessesNeverBothWin) {
  const std::string path = File("contended");
  constexpr int kRounds = 40;
  constexpr int kProcesses = 4;
  int won = 0;
  for (int round = 0; round < kRounds; ++round) {
    int go[2], results[2], release[2];
    ASSERT_EQ(pipe(go), 0);
    ASSERT_EQ(pipe(results), 0);
    ASSERT_EQ(pipe(release), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < kProcesses; ++i) {
      pid_t child = fork();
      if (child == 0) {
        char c;
        (void)!read(go[0], &c, 1);
        HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
        c = h != INVALID_HANDLE ? '1' : '0';
        (void)!write(results[1], &c, 1);
        (void)!read(release[0], &c, 1);  // hold it until everyone has tried
        _exit(0);
      }
      children.push_back(child);
    }
    const std::string start(kProcesses, 'g');
    (void)!write(go[1], start.data(), start.size());
    int winners = 0;
    for (int i = 0; i < kProcesses; ++i) {
      char c = 0;
      ASSERT_EQ(read(results[0], &c, 1), 1);
      winners += c == '1';
    }
    const std::string stop(kProcesses, 's');
    (void)!write(release[1], stop.data(), stop.size());
    for (pid_t child : children) waitpid(child, nullptr, 0);
    for (int fd : {go[0], go[1], results[0], results[1], release[0], release[1]}) ::close(fd);
    ASSERT_LE(winners, 1) << "round " << round;
    won += winners;
  }
  EXPECT_GT(won, 0);  // the locks are not simply refusing everyone
}

TEST_F(FileSharing, FindPatternsAsTheDesktopReadsThem) {
  for (const char* name : {"README", "photo.jpg", "archive.tar.gz", "notes."}) File(name);
  // Not UTF-8, listed under their ANSI names (the bytes escaped); '?' stands
  // for a character or for one such byte.
  File("bad\xFFname.jpg");
  File("gbk-\xCF\xB8\xBD\xDA.jpg");
  const std::string bad = "bad\xE3\x31\xFE\x39name.jpg";
  const std::string gbk = "gbk-\x81\x30\xD0\x36\xE3\x31\xF8\x33\xE3\x31\xFB\x32.jpg";
  struct Case {
    const char* pattern;
    std::set<std::string> names;
  };
  const Case cases[] = {
      {"*.*", {"README", "photo.jpg", "archive.tar.gz", "notes.", bad, gbk}},
      {"*", {"README", "photo.jpg", "archive.tar.gz", "notes.", bad, gbk}},
      {"readme.*", {"README"}},
      {"*.jpg", {"photo.jpg", bad, gbk}},
      {"*.gz", {"archive.tar.gz"}},
      {"photo.*", {"photo.jpg"}},
      {"bad?name.jpg", {bad}},
      {"gbk-???.jpg", {gbk}},
      {"gbk-??.jpg", {}},
  };
  for (const Case& c : cases) {
    std::set<std::string> found;
    FindData data;
    HANDLE search = FindFirstFileA((dir_ + "/" + c.pattern).c_str(), &data);
    for (bool more = search != INVALID_HANDLE; more; more = FindNextFileA(search, &data))
      if (!(data.attributes & FILE_ATTRIBUTE_DIRECTORY)) found.insert(data.name);
    if (search != INVALID_HANDLE) FindClose(search);
    EXPECT_EQ(found, c.names) << c.pattern;
  }
}

}  // namespace

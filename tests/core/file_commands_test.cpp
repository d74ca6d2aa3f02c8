#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <span>

#include "platform/files/files.h"
#include "platform/text/ansi_text.h"
#include "runtime/core/memory.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/file_commands.h"
#include "runtime/core/services/find_file.h"
#include "runtime/core/services/services.h"
#include "runtime_fixture.h"

namespace {

using namespace runtime;
using namespace runtime::services;

class FileCommands : public test::RuntimeTest {
 protected:
  ArgRecord Call(CommandRoutine routine, std::vector<ArgRecord> args) {
    return Services().CallCoreCommand(routine, static_cast<int32_t>(args.size()), args.data());
  }
  std::string Ansi(const std::string& utf8) { return *platform::Utf8ToAnsi(utf8); }

  test::ScratchDir dir_;
};

TEST_F(FileCommands, WritesEveryByteArrayInOrder) {
  HeapBlock three(CopyBytes("abc", 3)), four(CopyBytes("defg", 4));
  std::string path = dir_.File("out.bin");
  ArgRecord ok = Call(&WriteFileData, {ArgRecord::Text(path.c_str()), ArgRecord::Bytes(three.Get()),
                                       ArgRecord::Bytes(EmptyBytes()), ArgRecord::Bytes(four.Get())});
  EXPECT_TRUE(ok.AsBool());
  EXPECT_EQ(test::ReadAll(path), "abcdefg");

  ArgRecord read = Call(&ReadFileData, {ArgRecord::Text(path.c_str())});
  HeapBlock bytes(read.AsPointer<void>());
  ASSERT_EQ(ByteArrayLength(bytes.Get()), 7);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(ByteArrayData(bytes.Get())), 7), "abcdefg");
}

TEST_F(FileCommands, OneEmptyArgumentTruncatesToAnEmptyFile) {
  std::string path = dir_.File("empty.bin");
  std::ofstream(path) << "old content";
  EXPECT_TRUE(Call(&WriteFileData, {ArgRecord::Text(path.c_str()), ArgRecord::Bytes(EmptyBytes())}).AsBool());
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
  // An empty file reads as the empty byte array.
  EXPECT_EQ(Call(&ReadFileData, {ArgRecord::Text(path.c_str())}).payload, 0u);
}

// The file written is made at the name itself. What stands there and is no
// regular file is replaced, never written through: a link (the file it leads
// to, here outside the folder, stays byte for byte; a dangling one makes
// nothing where it points), a link to a directory, a FIFO. A directory fails
// the write and stays.
TEST_F(FileCommands, WritingMakesAFreshFileAtTheName) {
  enum Standing { kLinkToFile, kDanglingLink, kLinkToDirectory, kFifo, kDirectory };
  struct Case {
    const char* what;
    Standing standing;
    bool written;
  };
  const Case cases[] = {
      {"link to a file outside", kLinkToFile, true},
      {"dangling link", kDanglingLink, true},
      {"link to a directory", kLinkToDirectory, true},
      {"FIFO", kFifo, true},
      {"directory", kDirectory, false},
  };
  test::ScratchDir outside;
  const std::string precious = outside.File("precious"), nowhere = outside.File("nowhere");
  std::ofstream(precious) << "precious bytes";
  HeapBlock canvas(CopyBytes("canvas", 6));
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string folder = dir_.File("case" + std::to_string(index++));
    std::filesystem::create_directory(folder);
    const std::string name = folder + "/emp.jpg";
    switch (c.standing) {
      case kLinkToFile: std::filesystem::create_symlink(precious, name); break;
      case kDanglingLink: std::filesystem::create_symlink(nowhere, name); break;
      case kLinkToDirectory: std::filesystem::create_directory_symlink(outside.path(), name); break;
      case kFifo: ASSERT_EQ(mkfifo(name.c_str(), 0644), 0); break;
      case kDirectory: std::filesystem::create_directory(name); break;
    }
    EXPECT_EQ(Call(&WriteFileData, {ArgRecord::Text(name.c_str()), ArgRecord::Bytes(canvas.Get())}).AsBool(),
              c.written);
    if (c.written) {
      const bool file = std::filesystem::is_regular_file(std::filesystem::symlink_status(name));
      EXPECT_TRUE(file);
      // Read only once it is known to be a file: a FIFO would block the read.
      if (file) {
        EXPECT_EQ(test::ReadAll(name), "canvas");
      }
    } else {
      EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::symlink_status(name)));
    }
    EXPECT_EQ(test::ReadAll(precious), "precious bytes");
    EXPECT_FALSE(std::filesystem::exists(nowhere));
  }
}

TEST_F(FileCommands, FailuresGiveEmptyResults) {
  std::string missingDir = dir_.File("no/such/dir/file");
  EXPECT_FALSE(Call(&WriteFileData, {ArgRecord::Text(missingDir.c_str()), ArgRecord::Bytes(EmptyBytes())}).AsBool());
  EXPECT_FALSE(std::filesystem::exists(dir_.File("no")));
  EXPECT_FALSE(Call(&WriteFileData, {ArgRecord::Text(EmptyText()), ArgRecord::Bytes(EmptyBytes())}).AsBool());
  EXPECT_EQ(Call(&ReadFileData, {ArgRecord::Text(EmptyText())}).payload, 0u);
  EXPECT_EQ(Call(&ReadFileData, {ArgRecord::Text(dir_.File("missing").c_str())}).payload, 0u);
  EXPECT_EQ(Call(&ReadFileData, {ArgRecord::Text(dir_.path().c_str())}).payload, 0u);  // a directory
  EXPECT_FALSE(Call(&RemoveFile, {ArgRecord::Text(EmptyText())}).AsBool());
}

TEST_F(FileCommands, RemovingTwiceSucceedsOnce) {
  std::string path = dir_.File("gone");
  std::ofstream(path) << "x";
  EXPECT_TRUE(Call(&RemoveFile, {ArgRecord::Text(path.c_str())}).AsBool());
  EXPECT_FALSE(Call(&RemoveFile, {ArgRecord::Text(path.c_str())}).AsBool());
}

TEST_F(FileCommands, AFileTooLargeForAByteArrayIsNotRead) {
  std::string path = dir_.File("huge");
  int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, (off_t{1} << 31)), 0);  // sparse: costs no disk
  ::close(fd);
  EXPECT_EQ(Call(&ReadFileData, {ArgRecord::Text(path.c_str())}).payload, 0u);
}

// A large file's bytes are held once: every copy of its byte array is a view
// of the same bytes, yet an owner that writes into its own array changes only
// that array, and a written array is copied, never shared onwards.
TEST_F(FileCommands, LargeFilesAreSharedByTheirCopiesAndWritesStayTheirOwn) {
  const size_t length = (3 << 20) + 5;  // not a whole number of pages
  std::string content(length, '\0');
  for (size_t i = 0; i < length; ++i) content[i] = static_cast<char>(i * 7 + i / 4099);
  std::string path = dir_.File("large.bin");
  std::ofstream(path, std::ios::binary) << content;

  HeapBlock read(Call(&ReadFileData, {ArgRecord::Text(path.c_str())}).AsPointer<void>());
  ASSERT_EQ(ByteArrayLength(read.Get()), static_cast<int32_t>(length));
  auto bytes = [](void* array) {
    return std::span<uint8_t>(const_cast<uint8_t*>(ByteArrayData(array)), static_cast<size_t>(ByteArrayLength(array)));
  };
  auto text = [&](void* array) { return std::string(reinterpret_cast<const char*>(bytes(array).data()), length); };
  EXPECT_EQ(text(read.Get()), content);

  HeapBlock copy(CopyBytes(ByteArrayData(read.Get()), length));
  EXPECT_NE(copy.Get(), read.Get());
  EXPECT_EQ(text(copy.Get()), content);
  EXPECT_TRUE(SameSharedBytes(bytes(read.Get()), bytes(copy.Get())));

  // Writes into the first page (next to the header) and deep inside.
  for (size_t at : {size_t{3}, size_t{2} << 20}) {
    HeapBlock written(CopyBytes(ByteArrayData(read.Get()), length));
    bytes(written.Get())[at] ^= 0xFF;
    EXPECT_EQ(text(read.Get()), content) << at;
    EXPECT_EQ(text(copy.Get()), content) << at;
    EXPECT_FALSE(SameSharedBytes(bytes(read.Get()), bytes(written.Get()))) << at;
    HeapBlock onwards(CopyBytes(ByteArrayData(written.Get()), length));
    EXPECT_EQ(bytes(onwards.Get())[at], static_cast<uint8_t>(content[at] ^ 0xFF)) << at;
    EXPECT_EQ(text(written.Get()), text(onwards.Get())) << at;
  }

  // Growing a view moves it to the heap with its bytes; freeing a view leaves
  // the others whole.
  void* grown = Reallocate(copy.Release(), kByteArrayHeader + length + 100);
  EXPECT_EQ(std::memcmp(static_cast<uint8_t*>(grown) + kByteArrayHeader, content.data(), length), 0);
  Free(grown);
  EXPECT_EQ(text(read.Get()), content);

  // A small file gets a byte array of its own, as every copy does.
  std::string small = dir_.File("small.bin");
  std::ofstream(small) << "small";
  HeapBlock one(Call(&ReadFileData, {ArgRecord::Text(small.c_str())}).AsPointer<void>());
  HeapBlock two(CopyBytes(ByteArrayData(one.Get()), 5));
  EXPECT_FALSE(SameSharedBytes(bytes(one.Get()), bytes(two.Get())));
}

TEST_F(FileCommands, ReadingAFileAnotherProcessWritesFails) {
  std::string path = dir_.File("shared");
  std::ofstream(path) << "data";
  int ready[2], release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  pid_t child = fork();
  if (child == 0) {
    platform::HANDLE h = platform::CreateFileA(path.c_str(), platform::GENERIC_WRITE, platform::FILE_SHARE_READ,
                                               platform::OPEN_EXISTING);
    char c = h != platform::INVALID_HANDLE ? '1' : '0';
    (void)!write(ready[1], &c, 1);
    (void)!read(release[0], &c, 1);
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, '1');
  EXPECT_EQ(Call(&ReadFileData, {ArgRecord::Text(path.c_str())}).payload, 0u);
  EXPECT_FALSE(Call(&WriteFileData, {ArgRecord::Text(path.c_str()), ArgRecord::Bytes(EmptyBytes())}).AsBool());
  (void)!write(release[1], "x", 1);
  int status = 0;
  waitpid(child, &status, 0);
  // Once the writer is gone the file reads again.
  HeapBlock bytes(Call(&ReadFileData, {ArgRecord::Text(path.c_str())}).AsPointer<void>());
  EXPECT_EQ(ByteArrayLength(bytes.Get()), 4);
  for (int fd : {ready[0], ready[1], release[0], release[1]}) ::close(fd);
}

TEST_F(FileCommands, ReadersShareWithReaders) {
  std::string path = dir_.File("readers");
  std::ofstream(path) << "data";
  platform::HANDLE reader =
      platform::CreateFileA(path.c_str(), platform::GENERIC_READ, platform::FILE_SHARE_READ, platform::OPEN_EXISTING);
  ASSERT_NE(reader, platform::INVALID_HANDLE);
  HeapBlock bytes(Call(&ReadFileData, {ArgRecord::Text(path.c_str())}).AsPointer<void>());
  EXPECT_EQ(ByteArrayLength(bytes.Get()), 4);
  // ...but a deny-write reader keeps writers out.
  EXPECT_FALSE(Call(&WriteFileData, {ArgRecord::Text(path.c_str()), ArgRecord::Bytes(EmptyBytes())}).AsBool());
  EXPECT_EQ(test::ReadAll(path), "data");  // refused before truncating
  platform::CloseHandle(reader);
}

TEST_F(FileCommands, ProgramDirectoryIsANewCopyEachTime) {
  ArgRecord first = Call(&GetProgramDirectory, {});
  ArgRecord second = Call(&GetProgramDirectory, {});
  ASSERT_NE(first.AsText(), nullptr);
  EXPECT_NE(first.AsText(), second.AsText());
  std::string expected = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
  EXPECT_EQ(std::string(first.AsText()), Ansi(expected));
  Free(const_cast<char*>(first.AsText()));
  EXPECT_STREQ(second.AsText(), Ansi(expected).c_str());
  Free(const_cast<char*>(second.AsText()));
  EXPECT_EQ(reinterpret_cast<const char*>(NotifyRuntime(notify::kProgramDirectory, 0, 0)), App().programDirectory);
}

TEST_F(FileCommands, GbkNamesRoundTripThroughTheFileSystem) {
  // "细节.jpg" in the ANSI code page, and a name outside GBK (an emoji),
  // which the four-byte GB18030 form carries.
  std::string gbk = dir_.path() + "/\xCF\xB8\xBD\xDA.jpg";
  std::string emoji = Ansi(dir_.path() + "/\xF0\x9F\x93\xB7.jpg");
  HeapBlock bytes(CopyBytes("xyz", 3));
  for (const std::string& name : {gbk, emoji})
    ASSERT_TRUE(Call(&WriteFileData, {ArgRecord::Text(name.c_str()), ArgRecord::Bytes(bytes.Get())}).AsBool());
  EXPECT_TRUE(std::filesystem::exists(dir_.path() + "/细节.jpg"));
  EXPECT_TRUE(std::filesystem::exists(dir_.path() + "/📷.jpg"));

  std::set<std::string> found;
  uint32_t handle = 0;
  std::string pattern = dir_.path() + "/*.jpg";
  for (char* name = FindFile(pattern.c_str(), 0, true, &handle); name; name = FindFile("", 0, true, &handle)) {
    found.insert(name);
    Free(name);
  }
  EXPECT_EQ(handle, 0u);  // closed at the end
  EXPECT_EQ(found, (std::set<std::string>{"\xCF\xB8\xBD\xDA.jpg", Ansi("📷.jpg")}));
}

TEST_F(FileCommands, FindFileFiltersByAttributes) {
  std::filesystem::create_directory(dir_.File("sub"));
  std::ofstream(dir_.File("plain.txt")) << "x";
  std::ofstream(dir_.File(".hidden")) << "x";
  auto collect = [&](uint32_t mask, bool filesOnly) {
    std::set<std::string> names;
    uint32_t handle = 0;
    std::string pattern = dir_.path() + "/*";
    for (char* n = FindFile(pattern.c_str(), mask, filesOnly, &handle); n;
         n = FindFile(nullptr, mask, filesOnly, &handle)) {
      names.insert(n);
      Free(n);
    }
    return names;
  };
  EXPECT_EQ(collect(0, true), (std::set<std::string>{"plain.txt", ".hidden"}));
  EXPECT_EQ(collect(platform::FILE_ATTRIBUTE_DIRECTORY, false), (std::set<std::string>{".", "..", "sub"}));
  EXPECT_EQ(collect(platform::FILE_ATTRIBUTE_HIDDEN, false), (std::set<std::string>{".hidden"}));
  EXPECT_EQ(collect(0x80, false), std::set<std::string>{});  // only 0x37 counts
  uint32_t handle = 0;
  EXPECT_EQ(FindFile((dir_.path() + "/nothing*").c_str(), 0x37, false, &handle), nullptr);
  EXPECT_EQ(FindFile("", 0x37, false, &handle), nullptr);
}

TEST_F(FileCommands, GetWindowHandleAsksForTheLiveObject) {
  struct FakeUnit : UnitObject {
    platform::HWND WindowHandle() const override { return 0x1234; }
  };
  static FakeUnit unit;
  InstallNotificationHandler(notify::kFindUnitObjectOrFail, [](int32_t, intptr_t w, intptr_t u) -> intptr_t {
    return (w == 0x52010001 && u == 0x1601000D) ? reinterpret_cast<intptr_t>(&unit) : 0;
  });
  ArgRecord r = Call(&GetWindowHandle, {ArgRecord::UnitRef(0x00010006, 0x52010001, 0x1601000D)});
  EXPECT_EQ(r.AsInt(), 0x1234);
}

using FileCommandsDeathTest = FileCommands;

TEST_F(FileCommandsDeathTest, GetWindowHandleOfAMissingUnitIsFatal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(Call(&GetWindowHandle, {ArgRecord::UnitRef(0x00010006, 0x52010001, 0x1601000D)}),
              testing::ExitedWithCode(255), "指定窗口或窗口组件不存在或尚未载入.*1375797249, 369164301");
}

}  // namespace

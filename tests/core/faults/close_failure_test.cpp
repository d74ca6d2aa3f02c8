// A file system may report a failed write only when the file is closed (a full
// disk or an exceeded quota on a network file system). This executable is
// linked with close() wrapped, so that a close can be made to fail for one
// chosen path; the descriptor is still released, as the OS does.
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <string>

#include "../runtime_fixture.h"
#include "platform/files/files.h"
#include "runtime/core/services/file_commands.h"
#include "runtime/core/memory.h"
#include "runtime/core/services/services.h"

extern "C" int __real_close(int fd);

namespace {

std::string failingPath;  // closes of descriptors on this file fail

std::string PathOf(int fd) {
  char link[64], target[PATH_MAX];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t n = readlink(link, target, sizeof target - 1);
  return n > 0 ? std::string(target, static_cast<size_t>(n)) : std::string();
}

}  // namespace

extern "C" int __wrap_close(int fd) {
  const bool fail = !failingPath.empty() && PathOf(fd) == failingPath;
  const int result = __real_close(fd);
  if (!fail) return result;
  errno = EIO;
  return -1;
}

namespace {

using namespace runtime;
using namespace runtime::services;

class CloseFailure : public test::RuntimeTest {
 protected:
  void TearDown() override {
    failingPath.clear();
    test::RuntimeTest::TearDown();
  }
  ArgRecord Call(CommandRoutine routine, std::vector<ArgRecord> args) {
    return Services().CallCoreCommand(routine, static_cast<int32_t>(args.size()), args.data());
  }
  test::ScratchDir dir_;
};

TEST_F(CloseFailure, IsReportedByCloseHandleAndTheFileCommands) {
  const std::string path = dir_.File("quota.bin");
  HeapBlock bytes(CopyBytes("abc", 3));
  ASSERT_TRUE(Call(&WriteFileData, {ArgRecord::Text(path.c_str()), ArgRecord::Bytes(bytes.Get())}).AsBool());
  failingPath = path;

  platform::HANDLE file = platform::CreateFileA(path.c_str(), platform::GENERIC_WRITE, 0, platform::OPEN_EXISTING);
  ASSERT_NE(file, platform::INVALID_HANDLE);
  EXPECT_FALSE(platform::CloseHandle(file));
  EXPECT_FALSE(platform::CloseHandle(file));  // the handle is gone all the same

  // The data may not have reached the disk: not a success.
  EXPECT_FALSE(Call(&WriteFileData, {ArgRecord::Text(path.c_str()), ArgRecord::Bytes(bytes.Get())}).AsBool());
  EXPECT_EQ(Call(&ReadFileData, {ArgRecord::Text(path.c_str())}).payload, 0u);

  failingPath.clear();
  HeapBlock read(Call(&ReadFileData, {ArgRecord::Text(path.c_str())}).AsPointer<void>());
  EXPECT_EQ(ByteArrayLength(read.Get()), 3);
}

}  // namespace

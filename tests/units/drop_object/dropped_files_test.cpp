// Dropped names that are not readable plain files reach the files event as
// they are, and reading them gives what any unreadable file gives: nothing,
// at once, without blocking.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "drop_fixture.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/file_commands.h"

namespace dragdrop_test {
namespace {

namespace fs = std::filesystem;
using runtime::ArgRecord;

// What ReadFileData gives for a path: its length, -1 for no data.
int32_t ReadLength(const std::string& ansiPath) {
  ArgRecord argument = ArgRecord::Text(ansiPath.c_str());
  ArgRecord result;
  runtime::services::ReadFileData(&result, 1, &argument);
  void* bytes = result.AsPointer<void>();
  const int32_t length = bytes ? runtime::ByteArrayLength(bytes) : -1;
  runtime::NotifyRuntime(runtime::notify::kFree, reinterpret_cast<intptr_t>(bytes), 0);
  return length;
}

class DroppedFiles : public DropTest {
 protected:
  void SetUp() override {
    DropTest::SetUp();
    std::string pattern = fs::temp_directory_path().string() + "/tessellon-drop-XXXXXX";
    dir_ = mkdtemp(pattern.data());
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(dir_ / "locked.jpg", fs::perms::owner_all, ignored);
    fs::remove_all(dir_, ignored);
    DropTest::TearDown();
  }
  void Write(const std::string& name) { std::ofstream(dir_ / name) << "bytes"; }

  fs::path dir_;
};

TEST_F(DroppedFiles, NamesThatAreNoReadablePlainFileReadAsNothing) {
  Start({0, 0, 0, 1});
  ASSERT_TRUE(Register(kDrop1, WindowOf(kBox1)));
  const std::string dir = dir_.string();
  Write("plain.jpg");
  Write("vanishing.jpg");
  Write("locked.jpg");
  Write("bad\xFF.jpg");
  ASSERT_EQ(mkfifo((dir + "/fifo.jpg").c_str(), 0600), 0);
  fs::permissions(dir_ / "locked.jpg", fs::perms::none);
  const bool root = geteuid() == 0;  // reads whatever its permissions say

  struct Case {
    std::string path;
    std::string text;  // of the files event
    int32_t length;    // read back from it
  };
  const Case cases[] = {
      {dir + "/plain.jpg", dir + "/plain.jpg", 5},
      {dir, dir, -1},
      {dir + "/fifo.jpg", dir + "/fifo.jpg", -1},
      {"/dev/zero", "/dev/zero", -1},
      {dir + "/vanishing.jpg", dir + "/vanishing.jpg", -1},
      {dir + "/locked.jpg", dir + "/locked.jpg", root ? 5 : -1},
      {dir + "/bad\xFF.jpg", dir + "/bad\xE3\x31\xFE\x39.jpg", 5},  // not UTF-8: the byte escaped
      {dir + "/missing.jpg", dir + "/missing.jpg", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    Events().clear();
    platform::IDataObject* files = OfferFiles({c.path});
    if (c.path.ends_with("vanishing.jpg")) fs::remove(c.path);  // between the drag and the read
    const auto start = std::chrono::steady_clock::now();
    DragAndDrop(files, CentreOf(kBox1));
    ASSERT_EQ(Events(), (EventLog{{3, c.text}}));
    EXPECT_EQ(ReadLength(Events()[0].second), c.length);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  }
}

}  // namespace
}  // namespace dragdrop_test

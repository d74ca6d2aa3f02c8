// The conversion command: argument checks, result codes, what happens to the
// destination, and that nothing temporary is left after any call.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <thread>

#include <gtest/gtest.h>

#include "jpeg_markers.h"
#include "platform/files/files.h"
#include "platform/files/side_files.h"
#include "platform/text/ansi_text.h"
#include "runtime/imageconv/codecs/jpeg_codec.h"
#include "runtime/imageconv/conversion/convert_image.h"
#include "support.h"

namespace runtime::imageconv {

using imageconv::codecs::JpegCodec;
using imageconv::codecs::JpegSaveOptions;
using imageconv::conversion::ConvertImage;
using imageconv::conversion::ImageConvNotify;
using imageconv::conversion::kBadArgument;
using imageconv::conversion::kConverted;
using imageconv::conversion::kSourceMissing;
using imageconv::conversion::kSourceUnreadable;
using imageconv::conversion::kWriteFailed;
using imageconv::conversion::LoadImageFile;
using imageconv::conversion::RuntimeNotifyEntry;

namespace {

using namespace testing;

class ConvertImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = WorkPath(::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(directory_);
    const fs::path ppm = directory_ / "canvas.ppm";
    WritePpm(ppm, SmoothPattern(40, 30));
    bmp_ = directory_ / "emp.jpg";  // a 24-bit BMP under a JPEG name, as the tool writes it
    ASSERT_TRUE(Pillow("bmp", ppm, bmp_));
    destination_ = directory_ / "out.jpg";
  }
  // Only the files a test made itself may remain: no stores, no side files.
  void TearDown() override {
    EXPECT_TRUE(StoreFiles().empty());
    for (const auto& entry : fs::directory_iterator(directory_)) {
      EXPECT_EQ(entry.path().string().find(".~"), std::string::npos) << entry.path();
    }
  }

  fs::path directory_, bmp_, destination_;
};

// Every argument is checked before the source is looked for; only a missing
// source or destination, or a number out of range, is a bad argument.
TEST_F(ConvertImageTest, ArgumentChecks) {
  const std::string bmp = bmp_.string(), missing = "/nonexistent/source.bmp";
  struct Case {
    const char* what;
    const char* source;
    const char* destination;
    int32_t quality;
    int32_t smoothing;
    int32_t result;
  };
  const char* const destination = destination_.c_str();
  const Case cases[] = {
      {"quality 0", bmp.c_str(), destination, 0, 0, kBadArgument},
      {"quality 101", bmp.c_str(), destination, 101, 0, kBadArgument},
      {"smoothing -1", bmp.c_str(), destination, 75, -1, kBadArgument},
      {"smoothing 101", bmp.c_str(), destination, 75, 101, kBadArgument},
      {"no source", nullptr, destination, 75, 0, kBadArgument},
      {"no destination", bmp.c_str(), nullptr, 75, 0, kBadArgument},
      {"empty destination", bmp.c_str(), "", 75, 0, kBadArgument},
      {"missing source, quality 0", missing.c_str(), destination, 0, 0, kBadArgument},
      {"empty source, quality 0", "", destination, 0, 0, kBadArgument},
      {"missing source", missing.c_str(), destination, 75, 0, kSourceMissing},
      {"empty source", "", destination, 75, 0, kSourceMissing},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Convert(c.source, c.destination, 0, c.quality, 1, c.smoothing), c.result);
    EXPECT_FALSE(fs::exists(destination_));
  }
  // The range ends are accepted.
  EXPECT_EQ(Convert(bmp.c_str(), destination, 0, 1, 1, 100), kConverted);
  EXPECT_EQ(Convert(bmp.c_str(), destination, 0, 100, 0, 0), kConverted);
}

TEST_F(ConvertImageTest, MissingArgumentsReadAsOmitted) {
  // Two records only: quality reads as 0, which is out of range; nothing past
  // the records passed is touched (the sanitizer run checks that).
  runtime::ArgRecord two[2] = {runtime::ArgRecord::Text(bmp_.c_str()), runtime::ArgRecord::Text(destination_.c_str())};
  runtime::ArgRecord result;
  ConvertImage(&result, 2, two);
  EXPECT_EQ(result.AsInt(), kBadArgument);
  ConvertImage(&result, 0, nullptr);
  EXPECT_EQ(result.AsInt(), kBadArgument);
  EXPECT_FALSE(fs::exists(destination_));
}

TEST_F(ConvertImageTest, SourcesThatCannotBeRead) {
  const fs::path text = directory_ / "notes.txt", bmp8 = directory_ / "eight.bmp", bmp32 = directory_ / "rgba.bmp";
  WriteBytes(text, {'h', 'e', 'l', 'l', 'o', '\n'});
  ASSERT_TRUE(RunTool(kConvert + " " + Quote(bmp_) + " -type palette BMP3:" + Quote(bmp8)));
  ASSERT_TRUE(RunTool(kConvert + " " + Quote(bmp_) + " -alpha set -define bmp:format=bmp4 BMP:" + Quote(bmp32)));
  ASSERT_EQ(ReadBytes(bmp8)[28], 8);
  ASSERT_EQ(ReadBytes(bmp32)[28], 32);

  EXPECT_EQ(Convert((directory_ / "absent.bmp").c_str(), destination_.c_str()), kSourceMissing);
  EXPECT_EQ(Convert(text.c_str(), destination_.c_str()), kSourceUnreadable);
  EXPECT_EQ(Convert(bmp8.c_str(), destination_.c_str()), kSourceUnreadable);
  EXPECT_EQ(Convert(bmp32.c_str(), destination_.c_str()), kSourceUnreadable);
  // Found, but no file of that name can be read: a directory, a wildcard.
  EXPECT_EQ(Convert(directory_.c_str(), destination_.c_str()), kSourceUnreadable);
  EXPECT_EQ(Convert((directory_ / "*.txt").c_str(), destination_.c_str()), kSourceUnreadable);
  EXPECT_FALSE(fs::exists(destination_));
}

TEST_F(ConvertImageTest, TheToolsCallWritesABaselineColourJpeg) {
  ASSERT_EQ(Convert(bmp_.c_str(), destination_.c_str(), 0, 75, 1, 0), kConverted);
  const JpegMarkers markers = ParseJpegMarkers(ReadBytes(destination_));
  EXPECT_EQ(markers.frameTypes, std::vector<uint8_t>{0xC0});
  EXPECT_EQ(markers.components, 3);
  EXPECT_EQ(markers.width, 40);
  EXPECT_EQ(markers.height, 30);
}

TEST_F(ConvertImageTest, GreyOnlyForExactlyOne) {
  EXPECT_EQ(Convert(bmp_.c_str(), destination_.c_str(), 1), kConverted);
  EXPECT_EQ(ParseJpegMarkers(ReadBytes(destination_)).components, 1);
  EXPECT_EQ(Convert(bmp_.c_str(), destination_.c_str(), 2), kConverted);
  EXPECT_EQ(ParseJpegMarkers(ReadBytes(destination_)).components, 3);
}

TEST_F(ConvertImageTest, DestinationIsJpegWhateverItsName) {
  const fs::path png = directory_ / "picture.png";
  ASSERT_EQ(Convert(bmp_.c_str(), png.c_str()), kConverted);
  const std::vector<uint8_t> bytes = ReadBytes(png);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xD8);
}

TEST_F(ConvertImageTest, FailedReadLeavesTheDestinationAlone) {
  WriteBytes(destination_, {'o', 'l', 'd'});
  const fs::path text = directory_ / "notes.txt";
  WriteBytes(text, {'x'});
  EXPECT_EQ(Convert(text.c_str(), destination_.c_str()), kSourceUnreadable);
  EXPECT_EQ(ReadBytes(destination_), (std::vector<uint8_t>{'o', 'l', 'd'}));
}

// A write that fails half-way (here: at the file size limit, set once the
// source is in memory) keeps the destination's previous content and leaves
// no partial file, also when the destination's permission bits, which the
// new file takes over at once, make it read-only.
TEST_F(ConvertImageTest, FailedWriteKeepsThePreviousDestination) {
  for (const fs::perms mode : {fs::perms(0644), fs::perms(0444)}) {
    SCOPED_TRACE(static_cast<int>(mode));
    fs::remove(destination_);
    WriteBytes(destination_, {'o', 'l', 'd'});
    fs::permissions(destination_, mode);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ImageBuffer image;
      if (LoadImageFile(bmp_.c_str(), image) != kConverted) _exit(2);
      signal(SIGXFSZ, SIG_IGN);
      struct rlimit limit {
        64, 64
      };
      setrlimit(RLIMIT_FSIZE, &limit);
      JpegCodec codec;
      const int32_t saved = codec.Save(destination_.c_str(), image, JpegSaveOptions{}, nullptr);
      image.Clear();
      _exit(saved == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the save did not fail";
    EXPECT_EQ(ReadBytes(destination_), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(directory_), fs::directory_iterator()), 3) << "a file was left";
  }
}

TEST_F(ConvertImageTest, DestinationThatCannotBeWritten) {
  // No such directory: nothing can be made beside it or in its place.
  EXPECT_EQ(Convert(bmp_.c_str(), (directory_ / "no-dir" / "out.jpg").c_str()), kWriteFailed);
  // A directory: the finished file cannot replace it, and is removed.
  const fs::path folder = directory_ / "folder.jpg";
  fs::create_directory(folder);
  EXPECT_EQ(Convert(bmp_.c_str(), folder.c_str()), kWriteFailed);
  EXPECT_TRUE(fs::is_directory(folder));
  // A link that leads back to itself leads to no file, and is not replaced.
  const fs::path loop = directory_ / "loop.jpg";
  fs::create_symlink("loop.jpg", loop);
  EXPECT_EQ(Convert(bmp_.c_str(), loop.c_str()), kWriteFailed);
  EXPECT_TRUE(fs::is_symlink(loop));
}

// The exit code of `body` run in a child process that permission bits bind;
// -1 when the child did not exit by itself.
template <typename Body>
int InChildBoundByPermissions(Body body) {
  const pid_t child = fork();
  if (child == 0) _exit(HonourPermissionBits() ? body() : 99);
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

ino_t InodeOf(const fs::path& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// The destination is never written in place: past a hundred side-file names
// that are taken (by directories, which nothing reclaims) it is still
// replaced whole by a rename, and where no side file can be made at all (a
// directory this process may not write) the conversion fails and leaves the
// old destination byte for byte.
TEST_F(ConvertImageTest, NeverWritesTheDestinationInPlace) {
  const std::vector<uint8_t> old = ReadBytes(bmp_);
  const fs::path crowded = directory_ / "crowded";
  fs::create_directory(crowded);
  const fs::path target = crowded / "out.jpg";
  WriteBytes(target, old);
  for (int n = 0; n < 100; ++n) fs::create_directory(crowded / ("out.jpg.~" + std::to_string(n) + ".tmp"));
  const ino_t before = InodeOf(target);
  ASSERT_EQ(Convert(bmp_.c_str(), target.c_str()), kConverted);
  EXPECT_NE(InodeOf(target), before) << "written in place";
  EXPECT_EQ(ParseJpegMarkers(ReadBytes(target)).width, 40);
  fs::remove_all(crowded);

  const fs::path closed = directory_ / "closed";
  fs::create_directory(closed);
  const fs::path kept = closed / "out.jpg";
  WriteBytes(kept, old);
  fs::permissions(closed, fs::perms(0555));
  EXPECT_EQ(InChildBoundByPermissions([&] { return Convert(bmp_.c_str(), kept.c_str()); }),
            static_cast<uint8_t>(kWriteFailed));
  fs::permissions(closed, fs::perms(0755));
  EXPECT_EQ(ReadBytes(kept), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(closed), fs::directory_iterator()), 1);
}

// A destination this process could not open for writing stays as it is, also
// behind a link, and the conversion fails; a writable one is replaced as
// before.
TEST_F(ConvertImageTest, DestinationsThisProcessMayNotWriteStay) {
  struct Case {
    const char* what;
    bool throughLink;
    fs::perms mode;
    int32_t result;
  };
  const Case cases[] = {
      {"read-only file", false, fs::perms(0444), kWriteFailed},
      {"link to a read-only file", true, fs::perms(0444), kWriteFailed},
      {"writable file", false, fs::perms(0644), kConverted},
      {"link to a writable file", true, fs::perms(0604), kConverted},
  };
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path base = directory_ / ("mode " + std::to_string(index++));
    fs::create_directory(base);
    const fs::path target = base / "细节.jpg", link = base / "link.jpg";
    WriteBytes(target, old);
    fs::permissions(target, c.mode);
    if (c.throughLink) fs::create_symlink(target.filename(), link);
    const std::optional<std::string> ansi = platform::Utf8ToAnsi((c.throughLink ? link : target).string());
    ASSERT_TRUE(ansi);
    EXPECT_EQ(InChildBoundByPermissions([&] { return Convert(bmp_.c_str(), ansi->c_str()); }),
              static_cast<uint8_t>(c.result));
    if (c.result == kConverted) {
      EXPECT_EQ(ParseJpegMarkers(ReadBytes(target)).width, 40);
    } else {
      EXPECT_EQ(ReadBytes(target), old);
    }
    EXPECT_EQ(fs::status(target).permissions(), c.mode);
    EXPECT_EQ(fs::is_symlink(link), c.throughLink);
    EXPECT_EQ(std::distance(fs::directory_iterator(base), fs::directory_iterator()), c.throughLink ? 2 : 1);
  }
}

// Side files that writers left when they died are removed by the next
// conversion to the same destination. Nothing else is: not a side file a
// live writer holds (in another process, or here through another opening),
// nor names that only look like side files, nor what is no regular file.
TEST_F(ConvertImageTest, StaleSideFilesAreReclaimedAndOnlyThose) {
  const fs::path beside = directory_ / "beside";
  fs::create_directory(beside);
  const fs::path target = beside / "out.jpg";
  WriteBytes(target, {'o', 'l', 'd'});
  const std::vector<std::string> stale = {"out.jpg.~0.tmp", "out.jpg.~42.tmp", "out.jpg.~18446744073709551615.tmp",
                                          "out.jpg.~7.tmp"};
  for (const std::string& name : stale) WriteBytes(beside / name, {'s', 't', 'a', 'l', 'e'});
  fs::permissions(beside / "out.jpg.~7.tmp", fs::perms(0444));  // a read-only file's side file
  const std::vector<std::string> others = {
      "out.jpg.~notes.tmp", "out.jpg.~.tmp",    "out.jpg.~3.TMP",
      "OUT.jpg.~3.tmp",     "other.jpg.~3.tmp", "xout.jpg.~3.tmp",
      "out.jpg.~3.tmp.bak", "out.jpg.~-3.tmp",  "out.jpg.~123456789012345678901.tmp",
      "out.jpg.~9.tmp"};  // held here
  for (const std::string& name : others) WriteBytes(beside / name, {'k', 'e', 'e', 'p'});
  fs::create_directory(beside / "out.jpg.~5.tmp");
  fs::create_symlink("out.jpg.~notes.tmp", beside / "out.jpg.~6.tmp");

  // Held in this process through an opening of its own, as a writer holds it.
  const platform::HANDLE heldHere =
      platform::CreateFileA((beside / "out.jpg.~9.tmp").c_str(), platform::GENERIC_READ | platform::GENERIC_WRITE, 0,
                            platform::OPEN_EXISTING);
  ASSERT_NE(heldHere, platform::INVALID_HANDLE);
  // A writer in another process, mid-way through its side file.
  int ready[2], release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  const pid_t writer = fork();
  ASSERT_GE(writer, 0);
  if (writer == 0) {
    std::string name;
    const platform::HANDLE side = platform::CreateSideFileA(target.c_str(), &name);
    platform::DWORD written = 0;
    if (side == platform::INVALID_HANDLE || !platform::WriteFile(side, "live", 4, &written)) _exit(1);
    (void)!write(ready[1], name.data(), name.size());
    char c;
    (void)!read(release[0], &c, 1);
    _exit(0);
  }
  ::close(ready[1]);
  std::string live(PATH_MAX, '\0');
  const ssize_t length = read(ready[0], live.data(), live.size());
  ASSERT_GT(length, 0);
  live.resize(static_cast<size_t>(length));

  EXPECT_EQ(Convert(bmp_.c_str(), target.c_str()), kConverted);
  EXPECT_EQ(ParseJpegMarkers(ReadBytes(target)).width, 40);
  for (const std::string& name : stale) EXPECT_FALSE(fs::exists(fs::symlink_status(beside / name))) << name;
  for (const std::string& name : others)
    EXPECT_EQ(ReadBytes(beside / name), (std::vector<uint8_t>{'k', 'e', 'e', 'p'})) << name;
  EXPECT_TRUE(fs::is_directory(beside / "out.jpg.~5.tmp"));
  EXPECT_TRUE(fs::is_symlink(beside / "out.jpg.~6.tmp"));
  EXPECT_EQ(ReadBytes(live), (std::vector<uint8_t>{'l', 'i', 'v', 'e'})) << "the live writer's side file";

  (void)!write(release[1], "x", 1);
  ASSERT_EQ(waitpid(writer, nullptr, 0), writer);
  platform::CloseHandle(heldHere);
  for (int fd : {ready[0], release[0], release[1]}) ::close(fd);

  // The destination's name in the ANSI code page finds its side files under
  // the name the file system holds.
  const fs::path detail = beside / "细节.jpg";
  WriteBytes(beside / "细节.jpg.~3.tmp", {'s'});
  const std::optional<std::string> ansi = platform::Utf8ToAnsi(detail.string());
  ASSERT_TRUE(ansi);
  EXPECT_EQ(Convert(bmp_.c_str(), ansi->c_str()), kConverted);
  EXPECT_FALSE(fs::exists(beside / "细节.jpg.~3.tmp"));
  fs::remove_all(beside);
}

// A BMP is encoded while a second thread still reads it: the file is the
// same as reading first and writing after, in colour and in grey; an encoder
// whose rows stop coming fails and leaves the old destination whole, also
// beside a hundred side-file names that are taken.
TEST_F(ConvertImageTest, RowsEncodedAsTheyAreReadMakeTheSameFile) {
  const fs::path ppm = directory_ / "large.ppm", large = directory_ / "large.bmp";
  WritePpm(ppm, SmoothPattern(640, 480));
  ASSERT_TRUE(Pillow("bmp", ppm, large));
  ImageBuffer image;
  ASSERT_EQ(LoadImageFile(large.c_str(), image), kConverted);
  for (const int32_t grey : {0, 1}) {
    const JpegSaveOptions options{.quality = 75, .colour = grey != 1, .optimize = 1, .smoothing = 0};
    const fs::path reference = directory_ / "reference.jpg";
    JpegCodec codec;
    ASSERT_EQ(codec.Save(reference.c_str(), image, options, nullptr), 1);
    ASSERT_EQ(Convert(large.c_str(), destination_.c_str(), grey), kConverted);
    EXPECT_EQ(ReadBytes(destination_), ReadBytes(reference)) << "grey " << grey;
  }

  const fs::path blockers = directory_ / "blockers";
  fs::create_directory(blockers);
  const fs::path blocked = blockers / "out.jpg";
  for (const fs::path& target : {destination_, blocked}) {
    const bool crowded = target == blocked;
    if (crowded)
      for (int n = 0; n < 100; ++n) fs::create_directory(blockers / ("out.jpg.~" + std::to_string(n) + ".tmp"));
    WriteBytes(target, {'o', 'l', 'd'});
    RowFeed feed;
    std::thread reader([&] {
      feed.Publish(image.Height() / 2);
      feed.Fail();
    });
    JpegCodec codec;
    EXPECT_EQ(codec.Save(target.c_str(), image, JpegSaveOptions{}, nullptr, &feed), 0) << "crowded " << crowded;
    reader.join();
    EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t>{'o', 'l', 'd'})) << "crowded " << crowded;
    if (crowded)
      for (int n = 0; n < 100; ++n) fs::remove(blockers / ("out.jpg.~" + std::to_string(n) + ".tmp"));
  }
  image.Clear();
}

// Replacing the destination keeps what was set up around it: a symbolic link
// stays a link and the file it leads to is replaced (or made, when the link
// dangles), and a replaced file keeps its permissions. Paths are ANSI bytes,
// also in directories and links with Chinese names.
TEST_F(ConvertImageTest, ReplacingKeepsLinksAndPermissions) {
  const mode_t mask = umask(0);
  umask(mask);
  const auto fresh = static_cast<fs::perms>(0666 & ~mask);
  enum Layout { kNew, kPlain, kAbsoluteLink, kLinkChain, kDanglingLink };
  struct Case {
    const char* what;
    Layout layout;
    bool chinese;
    fs::perms mode;  // of the file replaced
  };
  const Case cases[] = {
      {"new file", kNew, false, fresh},
      {"new file, Chinese names", kNew, true, fresh},
      {"plain file 0640", kPlain, false, fs::perms(0640)},
      {"plain file 0604, Chinese names", kPlain, true, fs::perms(0604)},
      {"absolute link", kAbsoluteLink, false, fs::perms(0640)},
      {"relative links in a chain, Chinese names", kLinkChain, true, fs::perms(0600)},
      {"dangling link", kDanglingLink, false, fresh},
      {"dangling link, Chinese names", kDanglingLink, true, fresh},
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path base = directory_ / ((c.chinese ? "细节 图片 " : "case ") + std::to_string(index++));
    const fs::path links = base / (c.chinese ? "链接" : "links"), files = base / (c.chinese ? "文件" : "files");
    fs::create_directories(links);
    fs::create_directories(files);
    const fs::path destination = links / (c.chinese ? "细节.jpg" : "out.jpg");
    fs::path target = destination;
    fs::path linkText;
    switch (c.layout) {
      case kNew: break;
      case kPlain: WriteBytes(destination, {'o', 'l', 'd'}); break;
      case kAbsoluteLink:
        target = files / "target.jpg";
        WriteBytes(target, {'o', 'l', 'd'});
        linkText = target;
        fs::create_symlink(linkText, destination);
        break;
      case kLinkChain:
        target = files / "目标.jpg";
        WriteBytes(target, {'o', 'l', 'd'});
        linkText = "hop.jpg";
        fs::create_symlink(linkText, destination);
        fs::create_symlink(fs::path("..") / files.filename() / target.filename(), links / "hop.jpg");
        break;
      case kDanglingLink:
        target = files / (c.chinese ? "新.jpg" : "new.jpg");
        linkText = fs::path("..") / files.filename() / target.filename();
        fs::create_symlink(linkText, destination);
        break;
    }
    if (fs::exists(target)) fs::permissions(target, c.mode);

    const std::optional<std::string> ansi = platform::Utf8ToAnsi(destination.string());
    ASSERT_TRUE(ansi);
    ASSERT_EQ(Convert(bmp_.c_str(), ansi->c_str()), kConverted);
    if (!linkText.empty()) {
      std::error_code notALink;
      EXPECT_EQ(fs::read_symlink(destination, notALink), linkText);
    }
    EXPECT_EQ(ParseJpegMarkers(ReadBytes(target)).width, 40);
    EXPECT_EQ(fs::status(target).permissions(), c.mode);
    for (const auto& entry : fs::recursive_directory_iterator(base)) {
      EXPECT_EQ(entry.path().string().find(".~"), std::string::npos) << entry.path();
    }
  }
}

TEST(ImageConvNotify, KeepsTheRuntimeEntryOnCodeOne) {
  auto entry = +[](int32_t, intptr_t, intptr_t) -> intptr_t { return 0; };
  EXPECT_EQ(ImageConvNotify(1, reinterpret_cast<intptr_t>(entry), 0), 0);
  EXPECT_EQ(RuntimeNotifyEntry(), entry);
  EXPECT_EQ(ImageConvNotify(6, 0, 0), -1);
  EXPECT_EQ(ImageConvNotify(2031, 1, 2), -1);
  EXPECT_EQ(RuntimeNotifyEntry(), entry);
}

}  // namespace
}  // namespace runtime::imageconv

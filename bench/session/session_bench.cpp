// A whole session: the tool started offscreen, three photographs dropped on
// its three boxes (each drop writes and converts the whole canvas), then
// closed; against one ImageMagick command that composes the same three
// photographs, stretched with a box filter, into the same background and
// writes the JPEG at quality 75 with optimised tables. Both run as child
// processes, alternately; medians, the median of each round's ratio (the
// machine's speed drifts between rounds) and each one's peak memory; on the
// samples and on a heavy set of large desktop backgrounds. Also the tool's
// peak after 30 drops against its peak after 3, and one drop of the heavy
// set's 18-megapixel photograph against djpeg and cjpeg doing its work.
//
// Then where a session's time goes: a child (this program with --split) runs
// the drop handler's steps itself on the same photographs, timing each kind
// of work.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/program.h"
#include "bench/process_run.h"
#include "platform/windows/messages.h"
#include "runtime/core/application.h"
#include "runtime/core/memory.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/file_commands.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/core/services/services.h"
#include "runtime/core/shutdown.h"
#include "runtime/forms/window_table.h"
#include "runtime/imageconv/conversion/convert_image.h"
#include "runtime/picture/table/load_picture_command.h"
#include "runtime/picture/table/picture_table.h"
#include "runtime/units/draw_panel/draw_panel_commands.h"

namespace {

namespace fs = std::filesystem;
constexpr int kRounds = 11;

struct Square {
  runtime::UnitId box;
  const char* point;
  const char* geometry;
  int32_t left, top;
};
constexpr Square kSquares[] = {{app::kPictureBox1, "115,163", "+150+355", 150, 355},
                               {app::kPictureBox2, "363,163", "+1217+355", 1217, 355},
                               {app::kPictureBox3, "115,363", "+150+1284", 150, 1284}};

std::vector<fs::path> Photos() {
  const fs::path samples = fs::path(TESSELLON_SOURCE_DIR) / "assets/samples";
  return {samples / "sample2.jpg", samples / "sample1.jpg", samples / "sample3.jpg"};
}

// Large desktop backgrounds from a Debian package (scripts/install-deps):
// 2560 x 1600, 1920 x 1280 and an 18-megapixel progressive JPEG of 16 MB.
const fs::path kBackgrounds = "/usr/share/backgrounds/mate";
std::vector<fs::path> HeavyPhotos() {
  return {kBackgrounds / "nature/LadyBird.jpg", kBackgrounds / "nature/Storm.jpg",
          kBackgrounds / "abstract/Elephants_5640x3172.jpg"};
}

std::vector<fs::path> PhotosOf(const std::string& set) { return set == "heavy" ? HeavyPhotos() : Photos(); }

std::vector<std::string> Session(const fs::path& tool, const std::vector<fs::path>& photos, int repeats) {
  std::vector<std::string> argv = {tool.string(), "--platform", "offscreen"};
  for (int r = 0; r < repeats; ++r) {
    for (size_t k = 0; k < 3; ++k) {
      argv.insert(argv.end(), {"--drop", kSquares[k].point, photos[k].string()});
    }
  }
  return argv;
}

std::vector<std::string> Magick(const fs::path& background, const std::vector<fs::path>& photos, const fs::path& out) {
  std::vector<std::string> argv = {"/usr/bin/convert", background.string()};
  for (size_t k = 0; k < 3; ++k) {
    argv.insert(argv.end(), {"(", photos[k].string(), "-filter", "box", "-resize", "815x815!", ")", "-geometry",
                             kSquares[k].geometry, "-composite"});
  }
  argv.insert(argv.end(), {"-quality", "75", "-define", "jpeg:optimize-coding=true", out.string()});
  return argv;
}

// --- the split, in a child process -----------------------------------------

using runtime::ArgRecord;
using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

void PumpMessages() {
  platform::MSG msg;
  while (platform::PeekMessageA(&msg, 0, 0, 0, platform::PM_REMOVE)) {
    platform::TranslateMessage(&msg);
    platform::DispatchMessageA(&msg);
  }
}

ArgRecord Core(runtime::CommandRoutine routine, std::vector<ArgRecord> args) {
  return runtime::services::Services().CallCoreCommand(routine, static_cast<int32_t>(args.size()), args.data());
}

struct Split {
  double start = 0, decode = 0, stretch = 0, bmp = 0, write = 0, convert = 0, boxPaint = 0, rest = 0;
};

// The files-dropped handler's steps in its order, each timed.
void Drop(const Square& square, const std::string& photo, const std::string& temporary, const std::string& output,
          Split& split) {
  const runtime::services::ServiceTable& services = runtime::services::Services();
  auto at = Clock::now();
  void* bytes = Core(&runtime::services::ReadFileData, {ArgRecord::Text(photo.c_str())}).AsPointer<void>();
  split.rest += Ms(at);

  at = Clock::now();
  services.SetProperty(app::kWindowId, square.box, 10, -1, ArgRecord::Bytes(bytes).payload);
  services.Free(bytes);
  bytes = reinterpret_cast<void*>(static_cast<uintptr_t>(services.GetProperty(app::kWindowId, square.box, 10, -1)));
  const int32_t picture = Core(&runtime::picture::table::LoadPicture, {ArgRecord::Bytes(bytes)}).AsInt();
  services.Free(bytes);
  split.decode += Ms(at);

  at = Clock::now();
  const ArgRecord panel = ArgRecord::UnitRef(0x00010008, app::kWindowId, 0x16010005);
  Core(&runtime::units::draw_panel::DrawPicture, {panel,
                                                  ArgRecord::Int(picture),
                                                  ArgRecord::Int(square.left),
                                                  ArgRecord::Int(square.top),
                                                  ArgRecord::Int(815),
                                                  ArgRecord::Int(815),
                                                  {}});
  runtime::NotifyRuntime(
      runtime::notify::kReleasePicture,
      reinterpret_cast<intptr_t>(runtime::picture::table::PictureFromHandle(static_cast<uint32_t>(picture))), 0);
  split.stretch += Ms(at);

  at = Clock::now();
  void* canvas = Core(&runtime::units::draw_panel::GetPicture, {panel, {}, {}}).AsPointer<void>();
  split.bmp += Ms(at);
  at = Clock::now();
  Core(&runtime::services::WriteFileData, {ArgRecord::Text(temporary.c_str()), ArgRecord::Bytes(canvas)});
  services.Free(canvas);
  split.write += Ms(at);

  at = Clock::now();
  ArgRecord convert[] = {ArgRecord::Text(temporary.c_str()),
                         ArgRecord::Text(output.c_str()),
                         ArgRecord::Bool(false),
                         ArgRecord::Int(75),
                         ArgRecord::Bool(true),
                         ArgRecord::Int(0)};
  const int32_t converted =
      services.CallLibraryCommand(&runtime::imageconv::conversion::ConvertImage, 2, 6, convert).AsInt();
  split.convert += Ms(at);
  if (converted != 1) std::fprintf(stderr, "ConvertImage answered %d\n", converted);

  at = Clock::now();
  Core(&runtime::services::RemoveFile, {ArgRecord::Text(temporary.c_str())});
  split.rest += Ms(at);

  at = Clock::now();
  PumpMessages();  // the box paints its new picture
  split.boxPaint += Ms(at);
}

int RunSplit(const fs::path& work, const std::string& set) {
  const auto photos = PhotosOf(set);
  const std::string temporary = (work / "emp.jpg").string(), output = (work / "out.jpg").string();
  Split split;
  auto at = Clock::now();
  runtime::ResetApplication();
  runtime::picture::table::InstallPictureTable();
  runtime::forms::InstallForms();
  runtime::services::SetProgramHeader(&app::ProgramHeader());
  runtime::services::InitialiseRuntime();
  runtime::services::Services().LoadWindow(app::kWindowId);
  PumpMessages();  // the window's first paint
  split.start = Ms(at);
  for (size_t k = 0; k < 3; ++k) Drop(kSquares[k], photos[k].string(), temporary, output, split);
  runtime::ShutdownRuntime(0);

  const double drops =
      split.decode + split.stretch + split.bmp + split.write + split.convert + split.boxPaint + split.rest;
  std::printf("where the time goes, in one process (%s set, three drops: %.0f ms)\n", set.c_str(), drops);
  std::printf("  runtime start, window load and first paint  %6.1f ms\n", split.start);
  std::printf("  decode (box's picture; LoadPicture shares)  %6.1f ms\n", split.decode);
  std::printf("  stretch to 815 x 815 (DrawPicture)          %6.1f ms\n", split.stretch);
  std::printf("  canvas as BMP bytes (GetPicture)            %6.1f ms\n", split.bmp);
  std::printf("  BMP written to \"emp.jpg\" (WriteFileData)   %6.1f ms\n", split.write);
  std::printf("  conversion (ConvertImage)                   %6.1f ms\n", split.convert);
  std::printf("  box paints at 182 x 182                     %6.1f ms\n", split.boxPaint);
  std::printf("  file read and removal                       %6.1f ms\n", split.rest);
  return 0;
}

// The tool's session against ImageMagick's one command on one set of
// photographs, alternately, then the tool's peak after 30 drops against 3.
bool CompareSet(const std::string& set, const fs::path& tool, const fs::path& work) {
  const auto photos = PhotosOf(set);
  for (const auto& photo : photos) {
    if (!fs::exists(photo)) {
      std::printf("%s set: %s is missing (scripts/install-deps installs it)\n", set.c_str(), photo.c_str());
      return true;
    }
  }
  const auto ours = Session(tool, photos, 1);
  const auto theirs = Magick(fs::path(TESSELLON_SOURCE_DIR) / "assets/background.jpg", photos, work / "magick.jpg");

  bench::Series ourSeries, theirSeries;
  std::vector<double> ratios;
  bench::Run run;
  if (!bench::Spawn(ours, &run) || !bench::Spawn(theirs, &run)) {
    std::fprintf(stderr, "a warm-up run failed\n");
    return false;
  }
  for (int round = 0; round < kRounds; ++round) {
    bench::Run mine, magick;
    // Alternating which goes first keeps a drift in speed from favouring one.
    const bool oursFirst = round % 2 == 0;
    if (!bench::Spawn(oursFirst ? ours : theirs, oursFirst ? &mine : &magick) ||
        !bench::Spawn(oursFirst ? theirs : ours, oursFirst ? &magick : &mine))
      return false;
    ourSeries.Add(mine);
    theirSeries.Add(magick);
    ratios.push_back(mine.seconds / magick.seconds);
  }
  bench::Run three, thirty;
  if (!bench::Spawn(Session(tool, photos, 1), &three) || !bench::Spawn(Session(tool, photos, 10), &thirty))
    return false;

  std::printf("%s set: %s (%ju bytes), %s (%ju bytes), %s (%ju bytes); %d rounds\n", set.c_str(),
              photos[0].filename().c_str(), static_cast<uintmax_t>(fs::file_size(photos[0])),
              photos[1].filename().c_str(), static_cast<uintmax_t>(fs::file_size(photos[1])),
              photos[2].filename().c_str(), static_cast<uintmax_t>(fs::file_size(photos[2])), kRounds);
  std::printf(
      "  tool session (3 drops)   median %.0f ms (%.0f to %.0f), CPU %.0f ms of which kernel %.0f ms (%.0f%%), "
      "peak RSS %ld KiB\n",
      ourSeries.Median() * 1e3, ourSeries.Fastest() * 1e3, ourSeries.Slowest() * 1e3, ourSeries.MedianCpu() * 1e3,
      ourSeries.MedianSystem() * 1e3, 100.0 * ourSeries.MedianSystem() / ourSeries.MedianCpu(), ourSeries.peakRssKb);
  std::printf("  ImageMagick, one command median %.0f ms (%.0f to %.0f), CPU %.0f ms, peak RSS %ld KiB\n",
              theirSeries.Median() * 1e3, theirSeries.Fastest() * 1e3, theirSeries.Slowest() * 1e3,
              theirSeries.MedianCpu() * 1e3, theirSeries.peakRssKb);
  const auto [lowest, highest] = std::minmax_element(ratios.begin(), ratios.end());
  std::printf("  time ratio               %.2f (median of the rounds' ratios, %.2f to %.2f; ratio of medians %.2f)\n",
              bench::Median(ratios), *lowest, *highest, ourSeries.Median() / theirSeries.Median());
  std::printf("  tool peak after 30 drops %ld KiB, after 3 drops %ld KiB, ratio %.2f (30 drops took %.0f ms)\n",
              thirty.maxRssKb, three.maxRssKb, static_cast<double>(thirty.maxRssKb) / three.maxRssKb,
              thirty.seconds * 1e3);
  std::fflush(stdout);
  return true;
}

// One drop of the 18-megapixel photograph (a session with that drop less a
// session with none) against decoding it with djpeg plus encoding a
// 2160 x 2160 BMP with cjpeg as the tool does, all child processes.
bool CompareOneDrop(const fs::path& tool, const fs::path& work) {
  const fs::path photo = HeavyPhotos()[2];
  if (!fs::exists(photo) || !fs::exists("/usr/bin/djpeg") || !fs::exists("/usr/bin/cjpeg")) return true;
  const std::vector<std::string> none = {tool.string(), "--platform", "offscreen"};
  const std::vector<std::string> one = {tool.string(), "--platform", "offscreen", "--drop", "115,163", photo.string()};
  // The canvas the tool wrote, as the BMP cjpeg reads.
  const fs::path canvas = work / "canvas.bmp";
  bench::Run run;
  if (!bench::Spawn(one, &run) ||
      !bench::Spawn({"/usr/bin/djpeg", "-bmp", "-outfile", canvas.string(), (work / "细节.jpg").string()}, &run))
    return false;
  const std::vector<std::string> decode = {"/usr/bin/djpeg", "-outfile", "/dev/null", photo.string()};
  const std::vector<std::string> encode = {"/usr/bin/cjpeg",          "-optimize",    "-quality", "75", "-outfile",
                                           (work / "c.jpg").string(), canvas.string()};
  std::vector<double> drop, tools, ratios;
  for (int round = 0; round < kRounds; ++round) {
    bench::Run withDrop, without, djpeg, cjpeg;
    if (!bench::Spawn(one, &withDrop) || !bench::Spawn(none, &without) || !bench::Spawn(decode, &djpeg) ||
        !bench::Spawn(encode, &cjpeg))
      return false;
    drop.push_back(withDrop.seconds - without.seconds);
    tools.push_back(djpeg.seconds + cjpeg.seconds);
    ratios.push_back(drop.back() / tools.back());
  }
  std::printf("one drop of %s: median %.0f ms; djpeg + cjpeg median %.0f ms; ratio %.2f (median of the rounds')\n",
              photo.filename().c_str(), bench::Median(drop) * 1e3, bench::Median(tools) * 1e3, bench::Median(ratios));
  std::fflush(stdout);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--split") == 0) return RunSplit(argv[2], argv[3]);

  char pattern[] = "/tmp/session-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 2;
  const fs::path work = pattern;
  setenv("TMPDIR", work.c_str(), 1);
  const fs::path tool = work / "tessellon";
  fs::copy_file(TESSELLON_EXECUTABLE, tool);
  for (const char* set : {"samples", "heavy"}) {
    if (!CompareSet(set, tool, work)) return 2;
  }
  if (!CompareOneDrop(tool, work)) return 2;
  struct rusage own {};
  getrusage(RUSAGE_SELF, &own);
  std::printf("floor                    peak RSS of the benchmark itself %ld KiB\n", own.ru_maxrss);
  std::fflush(stdout);

  // The split runs in a child so that its memory stays out of the figures above.
  for (const char* set : {"samples", "heavy"}) {
    bench::Run split;
    if (!bench::Spawn({argv[0], "--split", work.string(), set}, &split)) std::fprintf(stderr, "the split failed\n");
  }
  std::error_code error;
  fs::remove_all(work, error);
  return 0;
}

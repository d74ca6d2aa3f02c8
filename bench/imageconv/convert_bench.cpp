// The tool's conversion: a 2160 × 2160 24-bit BMP to a quality-75 JPEG with
// optimised tables, side by side with `cjpeg -quality 75 -optimize` on the
// same file. Both run the same way, as a fresh child process doing one
// conversion (this program with --convert-once for ConvertImage), timed from
// spawn to exit; each child's peak memory is its own maximum resident set as
// wait4 reports it. Linux gives a spawned child at least its parent's peak,
// so the benchmark itself converts nothing and prints its own peak as the
// floor of both figures. Prints both medians, their ratio and both peaks.
// Exits 1 when the ratio is over 1.3.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/process_run.h"
#include "runtime/core/value.h"
#include "runtime/imageconv/conversion/convert_image.h"

namespace {

namespace fs = std::filesystem;
using bench::Run;
using bench::Series;
using bench::Spawn;

constexpr int kRounds = 9;
constexpr double kAllowedRatio = 1.3;
constexpr const char* kConvertOnce = "--convert-once";

int32_t ConvertOnce(const char* source, const char* destination) {
  using runtime::ArgRecord;
  ArgRecord args[6] = {ArgRecord::Text(source), ArgRecord::Text(destination), ArgRecord::Bool(false),
                       ArgRecord::Int(75),      ArgRecord::Bool(true),        ArgRecord::Int(0)};
  ArgRecord result;
  runtime::imageconv::conversion::ConvertImage(&result, 6, args);
  return result.AsInt();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], kConvertOnce) == 0) return ConvertOnce(argv[2], argv[3]) == 1 ? 0 : 1;

  char pattern[] = "/tmp/imageconv-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 2;
  const fs::path work = pattern;
  setenv("TMPDIR", work.c_str(), 1);  // the children's pixel stores land here too
  std::string canvas = argc > 1 ? argv[1] : (work / "canvas.bmp").string();
  if (argc <= 1) {
    // A photograph-like canvas: fractal noise, softened.
    const std::string make =
        "/usr/bin/convert -seed 7 -size 2160x2160 plasma:fractal -blur 0x1.5 -type truecolor BMP3:" + canvas +
        " 2>/dev/null";
    if (std::system(make.c_str()) != 0) {
      std::fprintf(stderr, "could not make the canvas with /usr/bin/convert\n");
      return 2;
    }
  }
  std::error_code error;
  const std::string self = fs::read_symlink("/proc/self/exe", error).string();
  if (error) return 2;
  const std::string ours = (work / "ours.jpg").string(), theirs = (work / "cjpeg.jpg").string();
  const std::vector<std::string> ourCommand = {self, kConvertOnce, canvas, ours};
  const std::vector<std::string> theirCommand = {"/usr/bin/cjpeg", "-quality", "75",  "-optimize",
                                                 "-outfile",       theirs,     canvas};

  // One untimed run each warms the page cache, then the order alternates so
  // that neither always runs second.
  Series ourSeries, theirSeries;
  Run run;
  if (!Spawn(ourCommand, &run) || !Spawn(theirCommand, &run)) {
    std::fprintf(stderr, "a warm-up run failed\n");
    return 2;
  }
  for (int round = 0; round < kRounds; ++round) {
    for (int turn = 0; turn < 2; ++turn) {
      const bool oursNow = (round + turn) % 2 == 0;
      if (!Spawn(oursNow ? ourCommand : theirCommand, &run)) {
        std::fprintf(stderr, "%s failed\n", oursNow ? "ConvertImage" : "cjpeg");
        return 2;
      }
      (oursNow ? ourSeries : theirSeries).Add(run);
    }
  }
  const double ourMedian = ourSeries.Median(), theirMedian = theirSeries.Median();
  const double ratio = ourMedian / theirMedian;
  std::printf("canvas           %s (%ju bytes)\n", canvas.c_str(), static_cast<uintmax_t>(fs::file_size(canvas)));
  std::printf("ConvertImage     median %.1f ms over %d runs, peak RSS %ld KiB, output %ju bytes\n", ourMedian * 1e3,
              kRounds, ourSeries.peakRssKb, static_cast<uintmax_t>(fs::file_size(ours)));
  std::printf("cjpeg            median %.1f ms over %d runs, peak RSS %ld KiB, output %ju bytes\n", theirMedian * 1e3,
              kRounds, theirSeries.peakRssKb, static_cast<uintmax_t>(fs::file_size(theirs)));
  std::printf("ratio            %.3f (allowed %.2f)\n", ratio, kAllowedRatio);
  struct rusage own {};
  getrusage(RUSAGE_SELF, &own);
  std::printf("floor            peak RSS of the benchmark itself %ld KiB\n", own.ru_maxrss);
  fs::remove_all(work, error);
  return ratio <= kAllowedRatio ? 0 : 1;
}

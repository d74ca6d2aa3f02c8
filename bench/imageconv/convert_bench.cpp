// The tool's conversion: a 2160 × 2160 24-bit BMP to a quality-75 JPEG with
// optimised tables, timed side by side with `cjpeg -quality 75 -optimize` on
// the same file. Prints both medians, the ratio and the peak memory of each
// (maximum resident set of a process doing one conversion). Exits 1 when the
// ratio is over 1.3.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/core/value.h"
#include "runtime/imageconv/convert_image.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 9;
constexpr double kAllowedRatio = 1.3;

int32_t ConvertOnce(const std::string& source, const std::string& destination) {
  using runtime::ArgRecord;
  ArgRecord args[6] = {ArgRecord::Text(source.c_str()), ArgRecord::Text(destination.c_str()),
                       ArgRecord::Bool(false),          ArgRecord::Int(75),
                       ArgRecord::Bool(true),           ArgRecord::Int(0)};
  ArgRecord result;
  imageconv::ConvertImage(&result, 6, args);
  return result.AsInt();
}

// Runs a program and waits; its wall time in seconds and its peak memory.
bool Spawn(const std::vector<std::string>& argv, double* seconds, long* maxRssKb) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const auto start = Clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return false;
  int status = 0;
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid) return false;
  *seconds = std::chrono::duration<double>(Clock::now() - start).count();
  *maxRssKb = usage.ru_maxrss;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Peak memory of a fresh process that does one ConvertImage.
long ConvertPeakRssKb(const std::string& source, const std::string& destination) {
  pid_t pid = fork();
  if (pid == 0) _exit(ConvertOnce(source, destination) == 1 ? 0 : 1);
  int status = 0;
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return usage.ru_maxrss;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  char pattern[] = "/tmp/imageconv-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 2;
  const fs::path work = pattern;
  setenv("TMPDIR", work.c_str(), 1);
  std::string canvas = argc > 1 ? argv[1] : (work / "canvas.bmp").string();
  if (argc <= 1) {
    // A photograph-like canvas: fractal noise, softened.
    const std::string make = "/usr/bin/convert -seed 7 -size 2160x2160 plasma:fractal -blur 0x1.5 -type truecolor BMP3:" +
                             canvas + " 2>/dev/null";
    if (std::system(make.c_str()) != 0) {
      std::fprintf(stderr, "could not make the canvas with /usr/bin/convert\n");
      return 2;
    }
  }
  const std::string ours = (work / "ours.jpg").string(), theirs = (work / "cjpeg.jpg").string();

  std::vector<double> ourTimes, theirTimes;
  long theirRss = 0;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = Clock::now();
    if (ConvertOnce(canvas, ours) != 1) {
      std::fprintf(stderr, "ConvertImage failed\n");
      return 2;
    }
    ourTimes.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    double seconds = 0;
    if (!Spawn({"/usr/bin/cjpeg", "-quality", "75", "-optimize", "-outfile", theirs, canvas}, &seconds, &theirRss)) {
      std::fprintf(stderr, "cjpeg failed\n");
      return 2;
    }
    theirTimes.push_back(seconds);
  }
  const long ourRss = ConvertPeakRssKb(canvas, ours);
  const double ourMedian = Median(ourTimes), theirMedian = Median(theirTimes);
  const double ratio = ourMedian / theirMedian;
  std::printf("canvas           %s (%ju bytes)\n", canvas.c_str(), static_cast<uintmax_t>(fs::file_size(canvas)));
  std::printf("ConvertImage     median %.1f ms over %d runs, peak RSS %ld KiB, output %ju bytes\n", ourMedian * 1e3,
              kRounds, ourRss, static_cast<uintmax_t>(fs::file_size(ours)));
  std::printf("cjpeg            median %.1f ms over %d runs, peak RSS %ld KiB, output %ju bytes\n", theirMedian * 1e3,
              kRounds, theirRss, static_cast<uintmax_t>(fs::file_size(theirs)));
  std::printf("ratio            %.3f (allowed %.2f)\n", ratio, kAllowedRatio);
  std::error_code ignored;
  fs::remove_all(work, ignored);
  return ratio <= kAllowedRatio ? 0 : 1;
}

// A whole session: the tool started offscreen, three photographs dropped on
// its three boxes (each drop writes and converts the whole canvas), then
// closed; against one ImageMagick command that composes the same three
// photographs, stretched with a box filter, into the same background and
// writes the JPEG at quality 75 with optimised tables. Both run as child
// processes, alternately; medians and each one's peak memory. Also the
// tool's peak after 30 drops against its peak after 3.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/process_run.h"

namespace {

namespace fs = std::filesystem;
constexpr int kRounds = 5;

struct Square {
  const char* point;
  const char* geometry;
};
constexpr Square kSquares[] = {{"115,163", "+150+355"}, {"363,163", "+1217+355"}, {"115,363", "+150+1284"}};

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

}  // namespace

int main() {
  char pattern[] = "/tmp/session-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 2;
  const fs::path work = pattern;
  setenv("TMPDIR", work.c_str(), 1);
  const fs::path assets = fs::path(TESSELLON_SOURCE_DIR) / "assets";
  const fs::path tool = work / "tessellon";
  fs::copy_file(TESSELLON_EXECUTABLE, tool);
  const std::vector<fs::path> photos = {assets / "samples/sample2.jpg", assets / "samples/sample1.jpg",
                                        assets / "samples/sample3.jpg"};
  const auto ours = Session(tool, photos, 1);
  const auto theirs = Magick(assets / "background.jpg", photos, work / "magick.jpg");

  bench::Series ourSeries, theirSeries;
  bench::Run run;
  if (!bench::Spawn(ours, &run) || !bench::Spawn(theirs, &run)) {
    std::fprintf(stderr, "a warm-up run failed\n");
    return 2;
  }
  for (int round = 0; round < kRounds; ++round) {
    for (int turn = 0; turn < 2; ++turn) {
      const bool oursNow = (round + turn) % 2 == 0;
      if (!bench::Spawn(oursNow ? ours : theirs, &run)) return 2;
      (oursNow ? ourSeries : theirSeries).Add(run);
    }
  }
  bench::Run three, thirty;
  if (!bench::Spawn(Session(tool, photos, 1), &three) || !bench::Spawn(Session(tool, photos, 10), &thirty)) return 2;

  std::printf("photographs: %s (%ju bytes), %s (%ju bytes), %s (%ju bytes)\n", photos[0].filename().c_str(),
              static_cast<uintmax_t>(fs::file_size(photos[0])), photos[1].filename().c_str(),
              static_cast<uintmax_t>(fs::file_size(photos[1])), photos[2].filename().c_str(),
              static_cast<uintmax_t>(fs::file_size(photos[2])));
  std::printf("tool session (3 drops)  median %.0f ms, peak RSS %ld KiB\n", ourSeries.Median() * 1e3, ourSeries.peakRssKb);
  std::printf("ImageMagick, one command median %.0f ms, peak RSS %ld KiB\n", theirSeries.Median() * 1e3,
              theirSeries.peakRssKb);
  std::printf("time ratio               %.2f\n", ourSeries.Median() / theirSeries.Median());
  std::printf("tool peak after 30 drops %ld KiB, after 3 drops %ld KiB, ratio %.2f (30 drops took %.0f ms)\n",
              thirty.maxRssKb, three.maxRssKb, static_cast<double>(thirty.maxRssKb) / three.maxRssKb,
              thirty.seconds * 1e3);
  struct rusage own {};
  getrusage(RUSAGE_SELF, &own);
  std::printf("floor                    peak RSS of the benchmark itself %ld KiB\n", own.ru_maxrss);
  std::error_code error;
  fs::remove_all(work, error);
  return 0;
}

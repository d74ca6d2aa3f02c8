// The tool's draw panel at work on an 18 MP progressive photograph
// (assets/samples/sample3.jpg): one DrawPicture at 815 x 815 and one
// GetPicture of the 2160 x 2160 canvas, each against a plain libjpeg decode of
// the photograph in the same run.
//
// Also what libjpeg's scaled decode would give: its time at 1/4 and 1/8 of
// the size, and how far the 815 x 815 area average of a 1/4 decode is from
// that of the full decode (PSNR).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/program.h"
#include "platform/gdi/raster/stretch.h"
#include "runtime/core/application.h"
#include "runtime/core/memory.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/core/services/services.h"
#include "runtime/core/shutdown.h"
#include "runtime/forms/window_table.h"
#include "runtime/picture/table/load_picture_command.h"
#include "runtime/picture/table/picture_table.h"
#include "runtime/units/draw_panel/draw_panel_commands.h"

#include "plain_jpeg.h"

namespace {

using runtime::ArgRecord;
using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

// The 815 x 815 area average of bottom-up blue-green-red rows, as DrawPicture
// makes it.
std::vector<uint32_t> Shrunk(const std::vector<uint8_t>& rows, int width, int height) {
  const platform::gdi::StretchAxis ax{0, 815, width, false}, ay{0, 815, height, false};
  platform::gdi::StretchedPixels out;
  platform::gdi::StretchAreaAverageBgr(
      ax, ay, 0, 0, 815, 815,
      [&](int32_t y) { return rows.data() + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(width) * 3; },
      out);
  return {out.begin(), out.end()};
}

double Psnr(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  double squares = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    for (int shift : {0, 8, 16}) {
      const double d = static_cast<double>((a[i] >> shift) & 0xFF) - static_cast<double>((b[i] >> shift) & 0xFF);
      squares += d * d;
    }
  }
  const double mse = squares / (3.0 * static_cast<double>(a.size()));
  return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

// Median time of a plain decode at `eighths` / 8 of the size; its rows and
// size are left in the arguments.
double ScaledDecode(const std::vector<uint8_t>& photo, int eighths, int runs, std::vector<uint8_t>& rows,
                    std::pair<int, int>& size) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    size = bench::PlainJpegDecode(photo, rows, eighths);
    ms.push_back(Ms(start));
  }
  return bench::Median(ms);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::ifstream in(TESSELLON_SOURCE_DIR "/assets/samples/sample3.jpg", std::ios::binary);
  const std::vector<uint8_t> photo((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (photo.empty()) {
    std::fprintf(stderr, "assets/samples/sample3.jpg not found\n");
    return 1;
  }

  runtime::ResetApplication();
  runtime::picture::table::InstallPictureTable();
  runtime::forms::InstallForms();
  runtime::services::SetProgramHeader(&app::ProgramHeader());
  runtime::services::InitialiseRuntime();
  const runtime::services::ServiceTable& services = runtime::services::Services();
  services.LoadWindow(app::kWindowId);
  runtime::HeapBlock bytes(runtime::CopyBytes(photo.data(), photo.size()));
  ArgRecord load = ArgRecord::Bytes(bytes.Get());
  const ArgRecord handle = services.CallCoreCommand(&runtime::picture::table::LoadPicture, 1, &load);
  if (handle.AsInt() == 0) {
    std::fprintf(stderr, "the photograph did not decode\n");
    return 1;
  }
  const ArgRecord panel = ArgRecord::UnitRef(0x00010008, app::kWindowId, 0x16010005);

  std::vector<double> plain, draw, take;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    std::vector<uint8_t> pixels;
    bench::PlainJpegDecode(photo, pixels);
    plain.push_back(Ms(start));

    ArgRecord drawArgs[7] = {
        panel, handle, ArgRecord::Int(150), ArgRecord::Int(355), ArgRecord::Int(815), ArgRecord::Int(815)};
    start = Clock::now();
    services.CallCoreCommand(&runtime::units::draw_panel::DrawPicture, 7, drawArgs);
    draw.push_back(Ms(start));

    ArgRecord takeArgs[3] = {panel};
    start = Clock::now();
    const ArgRecord canvas = services.CallCoreCommand(&runtime::units::draw_panel::GetPicture, 3, takeArgs);
    take.push_back(Ms(start));
    if (runtime::ByteArrayLength(canvas.AsPointer<void>()) != 13996854) {
      std::fprintf(stderr, "GetPicture gave %d bytes\n", runtime::ByteArrayLength(canvas.AsPointer<void>()));
      return 1;
    }
    runtime::Free(canvas.AsPointer<void>());
  }
  runtime::ShutdownRuntime(0);

  std::vector<uint8_t> full, quarter, eighth;
  std::pair<int, int> fullSize, quarterSize, eighthSize;
  const double fullMs = ScaledDecode(photo, 8, runs, full, fullSize);
  const double quarterMs = ScaledDecode(photo, 2, runs, quarter, quarterSize);
  const double eighthMs = ScaledDecode(photo, 1, runs, eighth, eighthSize);
  const double psnr =
      Psnr(Shrunk(full, fullSize.first, fullSize.second), Shrunk(quarter, quarterSize.first, quarterSize.second));

  std::printf("photograph: %zu bytes; medians over %d runs\n", photo.size(), runs);
  std::printf("plain libjpeg decode: %.1f ms\n", bench::Median(plain));
  std::printf("DrawPicture 815 x 815: %.1f ms, %.3f x the decode\n", bench::Median(draw),
              bench::Median(draw) / bench::Median(plain));
  std::printf("GetPicture 2160 x 2160: %.1f ms, %.3f x the decode\n", bench::Median(take),
              bench::Median(take) / bench::Median(plain));
  std::printf("scaled plain decodes: full %d x %d %.1f ms, 1/4 %d x %d %.1f ms, 1/8 %d x %d %.1f ms\n", fullSize.first,
              fullSize.second, fullMs, quarterSize.first, quarterSize.second, quarterMs, eighthSize.first,
              eighthSize.second, eighthMs);
  std::printf("815 x 815 from the 1/4 decode against from the full one: PSNR %.1f dB\n", psnr);
  return 0;
}

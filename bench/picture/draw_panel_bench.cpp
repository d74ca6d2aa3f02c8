// The tool's draw panel at work on an 18 MP progressive photograph
// (assets/samples/sample3.jpg): one DrawPicture at 815 x 815 and one
// GetPicture of the 2160 x 2160 canvas, each against a plain libjpeg decode of
// the photograph in the same run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/program.h"
#include "runtime/core/application.h"
#include "runtime/core/lifecycle.h"
#include "runtime/core/memory.h"
#include "runtime/core/services.h"
#include "runtime/forms/window_table.h"
#include "runtime/picture/draw_panel_commands.h"
#include "runtime/picture/load_picture_command.h"
#include "runtime/picture/picture_table.h"

#include "plain_jpeg.h"

namespace {

using runtime::ArgRecord;
using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point since) { return std::chrono::duration<double, std::milli>(Clock::now() - since).count(); }

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
  runtime::picture::InstallPictureTable();
  runtime::forms::InstallForms();
  runtime::SetProgramHeader(&app::ProgramHeader());
  runtime::InitialiseRuntime();
  const runtime::ServiceTable& services = runtime::Services();
  services.LoadWindow(app::kWindowId);
  runtime::HeapBlock bytes(runtime::CopyBytes(photo.data(), photo.size()));
  ArgRecord load = ArgRecord::Bytes(bytes.Get());
  const ArgRecord handle = services.CallCoreCommand(&runtime::picture::LoadPicture, 1, &load);
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

    ArgRecord drawArgs[7] = {panel, handle, ArgRecord::Int(150), ArgRecord::Int(355), ArgRecord::Int(815),
                             ArgRecord::Int(815)};
    start = Clock::now();
    services.CallCoreCommand(&runtime::picture::DrawPicture, 7, drawArgs);
    draw.push_back(Ms(start));

    ArgRecord takeArgs[3] = {panel};
    start = Clock::now();
    const ArgRecord canvas = services.CallCoreCommand(&runtime::picture::GetPicture, 3, takeArgs);
    take.push_back(Ms(start));
    if (runtime::ByteArrayLength(canvas.AsPointer<void>()) != 13996854) {
      std::fprintf(stderr, "GetPicture gave %d bytes\n", runtime::ByteArrayLength(canvas.AsPointer<void>()));
      return 1;
    }
    runtime::Free(canvas.AsPointer<void>());
  }
  runtime::ShutdownRuntime(0);

  std::printf("photograph: %zu bytes; medians over %d runs\n", photo.size(), runs);
  std::printf("plain libjpeg decode: %.1f ms\n", bench::Median(plain));
  std::printf("DrawPicture 815 x 815: %.1f ms, %.3f x the decode\n", bench::Median(draw), bench::Median(draw) / bench::Median(plain));
  std::printf("GetPicture 2160 x 2160: %.1f ms, %.3f x the decode\n", bench::Median(take), bench::Median(take) / bench::Median(plain));
  return 0;
}

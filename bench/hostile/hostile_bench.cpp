// Files made to cost the tool time or memory, each dropped on the first box of
// an offscreen session (the other two get the usual photographs), the tool a
// child process: its wall time, its peak memory, and whether the picture it
// composed is the one expected: the one a 16-byte file of zeros gives (a file
// that is no picture leaves the box empty, however it is made) or, for a good
// JPEG with a tail, the one the JPEG alone gives. The first two rows are those
// two files themselves: the floor every other row is read against.
//
// The files: a PNG declaring 16384 x 16384 colour pixels whose megabyte of
// data inflates to all of them; a 100 x 100 PNG whose data inflates to a
// gigabyte; a GIF of 5000 one-pixel frames on a 16000 x 16000 screen; 1.5 GiB
// of zeros; a good JPEG followed by 1.5 GiB of zeros (each made before its
// run and removed after it). --small makes them a tenth the size.
// Last, what the budgets must let through: a 16320 x 12240 (200-megapixel)
// photograph, which composes.
#include <unistd.h>
#include <zlib.h>

#include <cstdio>  // before jpeglib.h, which needs FILE

#include <jpeglib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "bench/process_run.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

void BigEndian(Bytes& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(Bytes& png, const char* type, const Bytes& data) {
  BigEndian(png, static_cast<uint32_t>(data.size()));
  Bytes body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  png.insert(png.end(), body.begin(), body.end());
  BigEndian(png, static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

// A colour PNG of width x height whose one stream inflates to `inflated`
// bytes of zeros (every row filtered "none", every pixel black), deflated
// piece by piece so the bench never holds it.
Bytes InflatingPng(uint32_t width, uint32_t height, uint64_t inflated) {
  Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  Bytes header;
  BigEndian(header, width);
  BigEndian(header, height);
  header.insert(header.end(), {8, 2, 0, 0, 0});
  Chunk(png, "IHDR", header);
  z_stream z{};
  deflateInit(&z, 9);
  const Bytes zeros(1 << 20, 0);
  Bytes out(1 << 20), stream;
  for (uint64_t left = inflated;;) {
    const size_t step = static_cast<size_t>(std::min<uint64_t>(left, zeros.size()));
    left -= step;
    z.next_in = const_cast<uint8_t*>(zeros.data());
    z.avail_in = static_cast<uInt>(step);
    const int flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
    int result;
    do {
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      result = deflate(&z, flush);
      stream.insert(stream.end(), out.data(), out.data() + (out.size() - z.avail_out));
    } while (z.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
    if (left == 0) break;
  }
  deflateEnd(&z);
  for (size_t at = 0; at < stream.size(); at += 65536) {
    const auto from = stream.begin() + static_cast<ptrdiff_t>(at);
    Chunk(png, "IDAT", Bytes(from, from + static_cast<ptrdiff_t>(std::min<size_t>(65536, stream.size() - at))));
  }
  Chunk(png, "IEND", {});
  return png;
}

// A GIF of `frames` one-pixel frames, no delay, on a width x height screen.
Bytes ManyFramesGif(uint16_t width, uint16_t height, int frames) {
  Bytes gif = {'G',
               'I',
               'F',
               '8',
               '9',
               'a',
               static_cast<uint8_t>(width),
               static_cast<uint8_t>(width >> 8),
               static_cast<uint8_t>(height),
               static_cast<uint8_t>(height >> 8),
               0x00,
               0,
               0};
  const uint8_t loop[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
  gif.insert(gif.end(), std::begin(loop), std::end(loop));
  for (int i = 0; i < frames; ++i) {
    const uint8_t control[] = {0x21, 0xF9, 4, 0, 0, 0, 0, 0};
    // A 1 x 1 image with a two-colour table: clear, index 0, end in 3-bit codes.
    const uint8_t image[] = {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x80, 0xFF, 0, 0, 0, 0, 0xFF, 2, 2, 0x44, 0x01, 0};
    gif.insert(gif.end(), std::begin(control), std::end(control));
    gif.insert(gif.end(), std::begin(image), std::end(image));
  }
  gif.push_back(0x3B);
  return gif;
}

// A camera-sized photograph: width x height of gradients with fine grain,
// at quality 85, encoded row by row to the file.
bool WritePhotograph(const fs::path& path, uint32_t width, uint32_t height) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  jpeg_compress_struct c{};
  jpeg_error_mgr errors{};
  c.err = jpeg_std_error(&errors);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, out);
  c.image_width = width;
  c.image_height = height;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 85, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(size_t{width} * 3);
  uint32_t grain = 12345;
  while (c.next_scanline < height) {
    const uint32_t y = c.next_scanline;
    for (uint32_t x = 0; x < width; ++x) {
      grain = grain * 1103515245 + 12345;
      const int noise = static_cast<int>((grain >> 16) & 31) - 16;
      row[x * 3] = static_cast<uint8_t>(std::clamp(static_cast<int>(x * 255 / width) + noise, 0, 255));
      row[x * 3 + 1] = static_cast<uint8_t>(std::clamp(static_cast<int>(y * 255 / height) + noise, 0, 255));
      row[x * 3 + 2] = static_cast<uint8_t>(std::clamp(128 + noise, 0, 255));
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  return std::fclose(out) == 0;
}

bool Write(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return out.good();
}

// `prefix` followed by zeros to `size` bytes, written out: a file with a hole
// would measure the kernel filling the hole, not the tool.
bool WriteWithZeros(const fs::path& path, const Bytes& prefix, uint64_t size) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(prefix.data()), static_cast<std::streamsize>(prefix.size()));
  const std::vector<char> zeros(1 << 20, 0);
  for (uint64_t left = size - prefix.size(); left > 0 && out;) {
    const size_t step = static_cast<size_t>(std::min<uint64_t>(left, zeros.size()));
    out.write(zeros.data(), static_cast<std::streamsize>(step));
    left -= step;
  }
  out.close();
  return !out.fail();
}

Bytes ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What a case's composition must equal: the first row's, the second's, or
// nothing in particular (a picture of its own).
enum class Expect { kEmptyBox, kSampleOne, kOwnPicture };

struct Case {
  const char* name;
  Expect expect;
  std::function<bool(const fs::path&)> make;
};

}  // namespace

int main(int argc, char** argv) {
  const bool small = argc > 1 && std::strcmp(argv[1], "--small") == 0;
  const uint64_t kGiB = uint64_t{1} << 30;
  const uint64_t zerosSize = small ? kGiB * 3 / 20 : kGiB * 3 / 2;
  const fs::path samples = fs::path(TESSELLON_SOURCE_DIR) / "assets/samples";
  std::string pattern = (fs::temp_directory_path() / "tessellon-hostile-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return 1;
  const fs::path dir = pattern;
  const fs::path tool = dir / "tessellon";
  fs::copy_file(TESSELLON_EXECUTABLE, tool);

  const uint32_t side = small ? 4096 : 16384;
  const Case cases[] = {
      {"16 bytes of zeros", Expect::kEmptyBox, [](const fs::path& p) { return Write(p, Bytes(16, 0)); }},
      {"sample1.jpg", Expect::kSampleOne,
       [&](const fs::path& p) { return Write(p, ReadAll(samples / "sample1.jpg")); }},
      // Within the free budget in the small run: a black picture of its own.
      {"PNG bomb, its rows", small ? Expect::kOwnPicture : Expect::kEmptyBox,
       [&](const fs::path& p) {
         return Write(p, InflatingPng(side, side, uint64_t{side} * (1 + 3 * uint64_t{side})));
       }},
      {"PNG, 100 x 100 inflating past", Expect::kEmptyBox,
       [&](const fs::path& p) { return Write(p, InflatingPng(100, 100, small ? kGiB / 10 : kGiB)); }},
      {"GIF, 5000 frames on 16000^2", Expect::kEmptyBox,
       [](const fs::path& p) { return Write(p, ManyFramesGif(16000, 16000, 5000)); }},
      {"zeros, no picture", Expect::kEmptyBox, [&](const fs::path& p) { return WriteWithZeros(p, {}, zerosSize); }},
      {"JPEG then zeros", Expect::kSampleOne,
       [&](const fs::path& p) { return WriteWithZeros(p, ReadAll(samples / "sample1.jpg"), zerosSize); }},
      {"JPEG photograph, 200 MP", Expect::kOwnPicture,
       [&](const fs::path& p) { return small ? WritePhotograph(p, 5440, 4080) : WritePhotograph(p, 16320, 12240); }},
  };

  std::printf("%-32s %12s %9s %9s  %s\n", "file dropped on the first box", "size", "seconds", "peak MB", "picture");
  Bytes emptyBox, sampleOne;
  int faults = 0;
  for (const Case& c : cases) {
    const fs::path file = dir / "dropped";
    if (!c.make(file)) {
      std::printf("%-32s could not be made\n", c.name);
      return 1;
    }
    fs::remove(dir / "细节.jpg");
    bench::Run run;
    const bool ended =
        bench::Spawn({tool.string(), "--platform", "offscreen", "--drop", "115,163", file.string(), "--drop", "363,163",
                      (samples / "sample2.jpg").string(), "--drop", "115,363", (samples / "sample3.jpg").string()},
                     &run);
    const Bytes composed = ReadAll(dir / "细节.jpg");
    Bytes& reference = c.expect == Expect::kEmptyBox ? emptyBox : sampleOne;
    bool right = true;
    const char* verdict = "a picture of its own";
    if (c.expect == Expect::kOwnPicture) {
      right = composed != emptyBox;
      if (!right) verdict = "WRONG: an empty box";
    } else if (reference.empty()) {
      reference = composed;
      verdict = "the floor";
    } else {
      right = composed == reference;
      verdict = !right ? "WRONG" : c.expect == Expect::kEmptyBox ? "an empty box" : "the JPEG alone's";
    }
    if (!ended || composed.empty() || !right) ++faults;
    std::printf("%-32s %12llu %9.2f %9.1f  %s%s\n", c.name, static_cast<unsigned long long>(fs::file_size(file)),
                run.seconds, static_cast<double>(run.maxRssKb) / 1024.0, verdict, ended ? "" : " (did not end with 0)");
    std::fflush(stdout);
    fs::remove(file);
  }
  fs::remove_all(dir);
  return faults == 0 ? 0 : 1;
}

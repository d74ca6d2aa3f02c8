#include "support.h"

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <stdexcept>

#include <jpeglib.h>

#include "runtime/core/value.h"
#include "runtime/imageconv/conversion/convert_image.h"

namespace runtime::imageconv::testing {

using runtime::imageconv::ImageBuffer;

using runtime::imageconv::conversion::ConvertImage;
namespace {

struct TestDirectories {
  fs::path base;
  fs::path store;
  fs::path work;

  TestDirectories() {
    std::string pattern = (fs::temp_directory_path() / "imageconv-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
    base = pattern;
    store = base / "tmp";
    work = base / "work";
    fs::create_directories(store);
    fs::create_directories(work);
    setenv("TMPDIR", store.c_str(), 1);
  }
  ~TestDirectories() {
    std::error_code ignored;
    fs::remove_all(base, ignored);
  }
};

// Made before main, so that even the first pixel store sees TMPDIR.
TestDirectories& Directories() {
  static TestDirectories directories;
  return directories;
}
[[maybe_unused]] const bool kDirectoriesReady = (Directories(), true);

}  // namespace

const fs::path& StoreDirectory() { return Directories().store; }

fs::path WorkPath(const std::string& name) { return Directories().work / name; }

std::vector<std::string> StoreFiles() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(StoreDirectory())) {
    std::string name = entry.path().filename().string();
    if (name.rfind("CSWCLASS", 0) == 0) names.push_back(name);
  }
  return names;
}

size_t HeldStoreFiles() {
  const std::string directory = StoreDirectory().string() + "/";
  std::set<ino_t> files;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code gone;
    const fs::path target = fs::read_symlink(entry.path(), gone);
    struct stat st {};
    if (!gone && target.string().rfind(directory, 0) == 0 && stat(entry.path().c_str(), &st) == 0)
      files.insert(st.st_ino);
  }
  return files.size();
}

Rgb TestPattern(int width, int height) {
  Rgb image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &image.pixels[(static_cast<size_t>(y) * width + x) * 3];
      p[0] = static_cast<uint8_t>(x * 37 + y * 3);
      p[1] = static_cast<uint8_t>(y * 53 + 7);
      p[2] = static_cast<uint8_t>((x ^ y) * 29 + 101);
    }
  }
  return image;
}

Rgb SmoothPattern(int width, int height) {
  Rgb image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &image.pixels[(static_cast<size_t>(y) * width + x) * 3];
      p[0] = static_cast<uint8_t>(40 + x * 160 / width);
      p[1] = static_cast<uint8_t>(60 + y * 150 / height);
      p[2] = static_cast<uint8_t>(200 - (x + y) * 120 / (width + height));
    }
  }
  return image;
}

void WritePpm(const fs::path& path, const Rgb& image) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << image.width << " " << image.height << "\n255\n";
  out.write(reinterpret_cast<const char*>(image.pixels.data()), static_cast<std::streamsize>(image.pixels.size()));
}

Rgb ReadPnm(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int width = 0, height = 0, maxValue = 0;
  in >> magic >> width >> height >> maxValue;
  in.get();
  if ((magic != "P6" && magic != "P5") || maxValue != 255) throw std::runtime_error("not a PNM: " + path.string());
  Rgb image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
  if (magic == "P6") {
    in.read(reinterpret_cast<char*>(image.pixels.data()), static_cast<std::streamsize>(image.pixels.size()));
  } else {
    std::vector<uint8_t> grey(static_cast<size_t>(width) * height);
    in.read(reinterpret_cast<char*>(grey.data()), static_cast<std::streamsize>(grey.size()));
    for (size_t i = 0; i < grey.size(); ++i)
      image.pixels[i * 3] = image.pixels[i * 3 + 1] = image.pixels[i * 3 + 2] = grey[i];
  }
  return image;
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool RunTool(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

std::string Quote(const fs::path& path) { return "'" + path.string() + "'"; }

bool Pillow(const std::string& kind, const fs::path& in, const fs::path& out) {
  const fs::path script = fs::path(TESSELLON_TEST_DATA) / "make_sample.py";
  return RunTool(kPython + " " + Quote(script) + " " + kind + " " + Quote(in) + " " + Quote(out));
}

Rgb DecodeWithDjpeg(const fs::path& jpeg) {
  const fs::path decoded = WorkPath(jpeg.filename().string() + ".pnm");
  if (!RunTool("djpeg -pnm -outfile " + Quote(decoded) + " " + Quote(jpeg))) return {};
  return ReadPnm(decoded);
}

void WriteCmykJpeg(const fs::path& path, int width, int height, const std::vector<uint8_t>& cmyk, bool ycck,
                   bool adobeMarker) {
  if (cmyk.size() != static_cast<size_t>(width) * height * 4) throw std::runtime_error("CMYK size");
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) throw std::runtime_error("cannot write " + path.string());
  // libjpeg's own error exit ends the test program: a broken sample is loud.
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, out);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 4;
  info.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&info);
  if (ycck) jpeg_set_colorspace(&info, JCS_YCCK);
  info.write_Adobe_marker = adobeMarker ? TRUE : FALSE;
  jpeg_set_quality(&info, 100, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(&cmyk[static_cast<size_t>(info.next_scanline) * width * 4]);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(out);
}

Rgb FromBuffer(const ImageBuffer& image) {
  if (image.Depth() != 24) throw std::runtime_error("not a 24-bit buffer");
  Rgb rgb{image.Width(), image.Height(), {}};
  rgb.pixels.assign(image.Pixels(), image.Pixels() + image.Stride() * static_cast<size_t>(image.Height()));
  return rgb;
}

int32_t Convert(const char* source, const char* destination, int32_t grayscale, int32_t quality, int32_t optimize,
                int32_t smoothing) {
  using runtime::ArgRecord;
  ArgRecord args[6] = {ArgRecord::Text(source), ArgRecord::Text(destination), ArgRecord::Int(grayscale),
                       ArgRecord::Int(quality), ArgRecord::Int(optimize),     ArgRecord::Int(smoothing)};
  args[2].tag = runtime::TypeBool;
  args[4].tag = runtime::TypeBool;
  ArgRecord result{0xDEADBEEF, 0};
  ConvertImage(&result, 6, args);
  return result.AsInt();
}

bool HonourPermissionBits() {
  if (geteuid() != 0) return true;
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
  if (syscall(SYS_capget, &header, data) != 0) return false;
  for (const int power : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) data[power / 32].effective &= ~(1u << (power % 32));
  return syscall(SYS_capset, &header, data) == 0;
}

void Put16(std::vector<uint8_t>& bytes, uint16_t value) {
  bytes.push_back(static_cast<uint8_t>(value));
  bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& bytes, uint32_t value) {
  Put16(bytes, static_cast<uint16_t>(value));
  Put16(bytes, static_cast<uint16_t>(value >> 16));
}

}  // namespace runtime::imageconv::testing

// formgen PHOTOGRAPH OUTPUT
//
// Writes the form data that the program embeds: the form description of
// form_description.h with the background photograph placed in the window's and
// the draw panel's property blocks. Runs at build time; any inconsistency in
// the layout fails the build rather than the program's start-up.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "tools/form_description.h"
#include "tools/photograph_decode.h"

namespace {

using namespace formgen;

// The canvas squares of the tool are placed for a photograph of this size.
constexpr int kPhotographSide = 2160;

// Keeps every length representable as the int32 the layout stores.
constexpr size_t kMaxPhotographBytes = 64u << 20;

class ByteWriter {
 public:
  void U32(uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<uint8_t>(value >> shift));
  }
  void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
  void Raw(std::span<const uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
  void Raw(std::string_view data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
  template <typename Bytes>
  void Counted(const Bytes& data) {
    I32(static_cast<int32_t>(data.size()));
    Raw(data);
  }
  void ZeroTerminated(std::string_view text) {
    Raw(text);
    bytes_.push_back(0);
  }
  size_t size() const { return bytes_.size(); }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "formgen: %s\n", message.c_str());
  std::exit(1);
}

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

// Width and height from the first start-of-frame marker of a JPEG file.
std::optional<std::pair<int, int>> JpegSize(std::span<const uint8_t> file) {
  if (file.size() < 4 || file[0] != 0xFF || file[1] != 0xD8) return std::nullopt;
  size_t pos = 2;
  while (pos + 4 <= file.size()) {
    if (file[pos] != 0xFF) return std::nullopt;
    const uint8_t marker = file[pos + 1];
    if (marker == 0xFF) {  // fill byte
      ++pos;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length
      pos += 2;
      continue;
    }
    const size_t length = (size_t{file[pos + 2]} << 8) | file[pos + 3];
    if (length < 2 || pos + 2 + length > file.size()) return std::nullopt;
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      if (length < 7) return std::nullopt;
      const int height = (file[pos + 5] << 8) | file[pos + 6];
      const int width = (file[pos + 7] << 8) | file[pos + 8];
      return std::pair{width, height};
    }
    if (marker == 0xDA || marker == 0xD9) return std::nullopt;  // scan before any frame
    pos += 2 + length;
  }
  return std::nullopt;
}

void WriteTypeBlock(ByteWriter& out, std::span<const Field> fields, std::span<const uint8_t> photograph) {
  for (const Field& field : fields) {
    switch (field.kind) {
      case Field::Kind::kInt32: out.U32(field.value); break;
      case Field::Kind::kCountedBytes: out.Counted(field.bytes); break;
      case Field::Kind::kPhotograph: out.Counted(photograph); break;
    }
  }
}

void WriteZeroTerminated(ByteWriter& out, std::string_view text, const Unit& unit) {
  if (text.find('\0') != std::string_view::npos) Fail("unit " + Hex(unit.id) + ": a text holds a zero byte");
  out.ZeroTerminated(text);
}

std::vector<uint8_t> RecordBody(const Unit& unit, std::span<const uint8_t> photograph) {
  ByteWriter out;
  out.U32(unit.type);
  out.U32(unit.event_source);
  for (int i = 0; i < 4; ++i) out.U32(0);  // reserved
  WriteZeroTerminated(out, unit.name, unit);
  WriteZeroTerminated(out, unit.second_name, unit);
  out.U32(0);  // object slot, filled while the window is loaded
  out.I32(unit.left);
  out.I32(unit.top);
  out.I32(unit.width);
  out.I32(unit.height);
  out.U32(0);  // cursor slot, filled while the window is loaded
  out.U32(unit.parent);
  out.I32(static_cast<int32_t>(unit.children.size()));
  for (uint32_t child : unit.children) out.U32(child);
  out.Counted(unit.mouse_pointer);
  WriteZeroTerminated(out, unit.tag, unit);
  out.I32(0);  // reserved
  out.U32(unit.flags);
  out.I32(unit.tab_order);
  out.I32(static_cast<int32_t>(unit.bindings.size()));
  for (const Binding& binding : unit.bindings) {
    out.I32(binding.event);
    out.I32(binding.handler_offset);
  }
  for (int i = 0; i < 5; ++i) out.I32(0);  // reserved
  WriteTypeBlock(out, unit.type_block, photograph);
  return out.bytes();
}

// The record sizes this form must come out with. The names and the common
// part are fixed, so only the photograph and the title move them; anything
// else means the writer or the description went wrong.
size_t ExpectedRecordSize(const Unit& unit, size_t photograph_size) {
  switch (unit.type) {
    case kWindowType: return 211 + kTitle.size() + photograph_size;
    case kPictureBoxType: return 142;
    case kDrawPanelType: return 172 + photograph_size;
    case kDropObjectType: return 140;
  }
  Fail("unit " + Hex(unit.id) + ": unknown unit type " + Hex(unit.type));
}

std::vector<uint8_t> UnitList(const Window& window, std::span<const uint8_t> photograph) {
  std::vector<std::vector<uint8_t>> bodies;
  for (const Unit& unit : window.units) {
    bodies.push_back(RecordBody(unit, photograph));
    const size_t expected = ExpectedRecordSize(unit, photograph.size());
    if (bodies.back().size() != expected) {
      Fail("unit " + Hex(unit.id) + ": record of " + std::to_string(bodies.back().size()) + " bytes, expected " +
           std::to_string(expected));
    }
  }

  ByteWriter out;
  for (const Unit& unit : window.units) out.U32(unit.id);
  // Offsets count from the first byte after the offset array.
  size_t offset = 0;
  for (const auto& body : bodies) {
    out.U32(static_cast<uint32_t>(offset));
    offset += 4 + body.size();
  }
  for (const auto& body : bodies) out.Counted(std::span<const uint8_t>(body));
  return out.bytes();
}

std::vector<uint8_t> FormData(std::span<const Window> windows, std::span<const uint8_t> photograph) {
  ByteWriter out;
  out.I32(static_cast<int32_t>(8 * windows.size()));
  for (const Window& window : windows) out.U32(window.id);
  for (size_t i = 0; i < windows.size(); ++i) out.U32(0);  // object slots, filled by the reader
  for (const Window& window : windows) {
    out.I32(window.first_value);
    out.U32(window.second_value);
    out.Counted(window.first_text);
    out.Counted(window.second_text);
    out.I32(static_cast<int32_t>(window.units.size()));
    out.Counted(UnitList(window, photograph));
  }
  return out.bytes();
}

std::vector<uint8_t> ReadPhotograph(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail(std::string("cannot open ") + path);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) Fail(std::string("cannot read ") + path);
  if (bytes.size() > kMaxPhotographBytes) Fail(std::string(path) + ": too large for the form data");
  const auto size = JpegSize(bytes);
  if (!size) Fail(std::string(path) + ": not a JPEG file with a readable frame header");
  if (size->first != kPhotographSide || size->second != kPhotographSide) {
    Fail(std::string(path) + ": " + std::to_string(size->first) + " x " + std::to_string(size->second) +
         " pixels, the canvas needs " + std::to_string(kPhotographSide) + " x " + std::to_string(kPhotographSide));
  }
  // A header that reads says nothing of the scans behind it: a cut or
  // damaged file would show grey or nothing in the window and the canvas.
  const DecodeResult decoded = DecodeWholeJpeg(bytes.data(), bytes.size());
  if (!decoded.ok) {
    Fail(std::string(path) + ": the photograph does not decode whole (" + decoded.message +
         "); replace it with an intact JPEG file");
  }
  return bytes;
}

// Written beside the target and renamed over it, so a failed run never
// leaves a partial file that a later build would take as up to date.
void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::path partial = path;
  partial += ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) Fail("cannot write " + partial.string());
  }
  std::error_code error;
  std::filesystem::rename(partial, path, error);
  if (error) Fail("cannot rename " + partial.string() + " to " + path.string() + ": " + error.message());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: formgen PHOTOGRAPH OUTPUT\n");
    return 2;
  }
  const std::vector<uint8_t> photograph = ReadPhotograph(argv[1]);
  const std::vector<uint8_t> form_data = FormData(kWindows, photograph);
  if (form_data.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) Fail("form data too large");
  WriteFile(argv[2], form_data);
  return 0;
}

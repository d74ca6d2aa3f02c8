#include "runtime/picture/picture_box_block.h"

#include <cstring>

#include "platform/global_memory.h"
#include "runtime/picture/little_endian.h"

namespace runtime::picture {
namespace {

constexpr uint32_t kWrittenVersion = 2;

class BlockReader {
 public:
  explicit BlockReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  std::optional<int32_t> Int() {
    const auto value = U32(bytes_, offset_);
    if (value) offset_ += 4;
    return value ? std::optional<int32_t>(static_cast<int32_t>(*value)) : std::nullopt;
  }
  // A counted run; a count of 0 or less is an empty run.
  std::optional<std::span<const uint8_t>> Counted() {
    const auto count = Int();
    if (!count) return std::nullopt;
    if (*count <= 0) return std::span<const uint8_t>{};
    const size_t length = static_cast<size_t>(*count);
    if (length > bytes_.size() - offset_) return std::nullopt;
    const auto run = bytes_.subspan(offset_, length);
    offset_ += length;
    return run;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t offset_ = 0;
};

void PutInt(std::vector<uint8_t>& out, uint32_t value) {
  uint8_t b[4];
  PutU32(b, value);
  out.insert(out.end(), b, b + 4);
}

template <class Run>
void PutCounted(std::vector<uint8_t>& out, const Run& run) {
  PutInt(out, static_cast<uint32_t>(run.size()));
  out.insert(out.end(), run.begin(), run.end());
}

}  // namespace

std::optional<PictureBoxBlock> ReadPictureBoxBlock(std::span<const uint8_t> bytes) {
  BlockReader reader(bytes);
  const auto version = reader.Int();
  if (!version || static_cast<uint32_t>(*version) > kWrittenVersion) return std::nullopt;
  PictureBoxBlock block;
  const auto border = reader.Int();
  const auto background = reader.Int();
  const auto mode = reader.Int();
  const auto animate = reader.Int();
  const auto picture = reader.Counted();
  if (!border || !background || !mode || !animate || !picture) return std::nullopt;
  block.border = *border;
  block.background = static_cast<platform::COLORREF>(*background);
  block.displayMode = *mode;
  block.animate = *animate;
  block.picture.assign(picture->begin(), picture->end());
  if (*version == 2) {
    const auto source = reader.Counted();
    const auto column = source ? reader.Counted() : std::nullopt;
    if (!source || !column) return std::nullopt;
    block.dataSource.assign(source->begin(), source->end());
    block.dataColumn.assign(column->begin(), column->end());
  }
  return block;
}

std::vector<uint8_t> WritePictureBoxBlock(const PictureBoxBlock& block) {
  std::vector<uint8_t> out;
  out.reserve(36 + block.picture.size() + block.dataSource.size() + block.dataColumn.size());
  PutInt(out, kWrittenVersion);
  PutInt(out, static_cast<uint32_t>(block.border));
  PutInt(out, block.background);
  PutInt(out, static_cast<uint32_t>(block.displayMode));
  PutInt(out, static_cast<uint32_t>(block.animate));
  PutCounted(out, block.picture);
  PutCounted(out, block.dataSource);
  PutCounted(out, block.dataColumn);
  return out;
}

platform::HGLOBAL BytesToGlobal(std::span<const uint8_t> bytes) {
  platform::HGLOBAL memory = platform::GlobalAlloc(platform::GMEM_MOVEABLE, bytes.size());
  if (!memory) return 0;
  void* p = platform::GlobalLock(memory);
  if (!p) {
    platform::GlobalFree(memory);
    return 0;
  }
  std::memcpy(p, bytes.data(), bytes.size());
  platform::GlobalUnlock(memory);
  return memory;
}

}  // namespace runtime::picture

#include "runtime/units/picture_box/picture_box_block.h"

#include "runtime/core/type_block.h"

namespace runtime::units::picture_box {
namespace {

constexpr uint32_t kWrittenVersion = 2;

}  // namespace

std::optional<PictureBoxBlock> ReadPictureBoxBlock(std::span<const uint8_t> bytes) {
  TypeBlockReader in(bytes);
  const uint32_t version = in.U32();
  if (!in.ok() || version > kWrittenVersion) return std::nullopt;
  PictureBoxBlock block;
  in.Int(block.border);
  block.background = in.U32();
  in.Int(block.displayMode);
  in.Int(block.animate);
  in.Counted(block.picture);
  if (version == 2) {
    in.Counted(block.dataSource);
    in.Counted(block.dataColumn);
  }
  if (!in.ok()) return std::nullopt;
  return block;
}

std::vector<uint8_t> WritePictureBoxBlock(const PictureBoxBlock& block) {
  std::vector<uint8_t> out;
  out.reserve(36 + block.picture.size() + block.dataSource.size() + block.dataColumn.size());
  PutU32(out, kWrittenVersion);
  PutU32(out, static_cast<uint32_t>(block.border));
  PutU32(out, block.background);
  PutU32(out, static_cast<uint32_t>(block.displayMode));
  PutU32(out, static_cast<uint32_t>(block.animate));
  PutCounted(out, block.picture);
  PutCounted(out, block.dataSource);
  PutCounted(out, block.dataColumn);
  return out;
}

}  // namespace runtime::units::picture_box

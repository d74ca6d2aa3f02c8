#include "runtime/units/draw_panel/draw_panel_block.h"

#include "runtime/picture/little_endian.h"

namespace runtime::units::draw_panel {

using picture::PutU32;
using picture::U32;
namespace {

// The int32 fields in their stored order.
constexpr int32_t DrawPanelProperties::*kStoredFields[] = {
    &DrawPanelProperties::border,         &DrawPanelProperties::background,  &DrawPanelProperties::layout,
    &DrawPanelProperties::autoRedraw,     &DrawPanelProperties::scaleMode,   &DrawPanelProperties::penStyle,
    &DrawPanelProperties::drawMode,       &DrawPanelProperties::penWidth,    &DrawPanelProperties::penColour,
    &DrawPanelProperties::brushType,      &DrawPanelProperties::brushColour, &DrawPanelProperties::textColour,
    &DrawPanelProperties::textBackground,
};

// Reads an int32 count and that many bytes at `offset`, moving it past them.
bool ReadCounted(std::span<const uint8_t> block, size_t& offset, std::vector<uint8_t>& out) {
  const auto count = U32(block, offset);
  if (!count) return false;
  offset += 4;
  const int32_t length = static_cast<int32_t>(*count);
  if (length <= 0) {
    out.clear();
    return true;
  }
  if (block.size() - offset < static_cast<size_t>(length)) return false;
  out.assign(block.begin() + static_cast<ptrdiff_t>(offset), block.begin() + static_cast<ptrdiff_t>(offset + length));
  offset += static_cast<size_t>(length);
  return true;
}

void PutCounted(std::vector<uint8_t>& out, const std::vector<uint8_t>& bytes) {
  const size_t at = out.size();
  out.resize(at + 4);
  PutU32(out.data() + at, static_cast<uint32_t>(bytes.size()));
  out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace

std::optional<DrawPanelProperties> ReadDrawPanelBlock(std::span<const uint8_t> block) {
  const auto version = U32(block, 0);
  if (!version || *version > DrawPanelProperties::kVersion) return std::nullopt;
  DrawPanelProperties properties;
  size_t offset = 4;
  for (auto field : kStoredFields) {
    const auto value = U32(block, offset);
    if (!value) return std::nullopt;
    properties.*field = static_cast<int32_t>(*value);
    offset += 4;
  }
  if (!ReadCounted(block, offset, properties.font) || !ReadCounted(block, offset, properties.picture))
    return std::nullopt;
  return properties;
}

std::vector<uint8_t> WriteDrawPanelBlock(const DrawPanelProperties& properties) {
  std::vector<uint8_t> out(4 + 4 * std::size(kStoredFields));
  PutU32(out.data(), DrawPanelProperties::kVersion);
  size_t offset = 4;
  for (auto field : kStoredFields) {
    PutU32(out.data() + offset, static_cast<uint32_t>(properties.*field));
    offset += 4;
  }
  out.reserve(out.size() + 8 + properties.font.size() + properties.picture.size());
  PutCounted(out, properties.font);
  PutCounted(out, properties.picture);
  return out;
}

}  // namespace runtime::units::draw_panel

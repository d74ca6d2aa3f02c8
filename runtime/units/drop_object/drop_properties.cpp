#include "runtime/units/drop_object/drop_properties.h"

#include <algorithm>
#include <cstring>

namespace runtime::units::drop_object {

int32_t* DropProperties::Field(int32_t number) {
  switch (number) {
    case 0: return &acceptText;
    case 1: return &acceptHtml;
    case 2: return &acceptUrl;
    case 3: return &acceptFiles;
    default: return nullptr;
  }
}

std::optional<DropProperties> ReadDropProperties(std::span<const uint8_t> block) {
  std::array<uint8_t, kDropBlockSize> bytes{};
  std::copy_n(block.begin(), std::min(block.size(), bytes.size()), bytes.begin());
  uint32_t version;
  std::memcpy(&version, bytes.data(), 4);
  if (version > 1) return std::nullopt;
  DropProperties properties;
  for (int32_t n = 0; n < 4; ++n) std::memcpy(properties.Field(n), bytes.data() + 4 + 4 * n, 4);
  return properties;
}

std::array<uint8_t, kDropBlockSize> WriteDropProperties(const DropProperties& properties) {
  std::array<uint8_t, kDropBlockSize> bytes{};
  const int32_t values[5] = {1, properties.acceptText, properties.acceptHtml, properties.acceptUrl,
                             properties.acceptFiles};
  std::memcpy(bytes.data(), values, sizeof values);
  return bytes;
}

}  // namespace runtime::units::drop_object

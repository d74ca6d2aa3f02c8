// The drop object's four accept flags and their stored block: five
// little-endian int32 values, version first.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace runtime::units::drop_object {

struct DropProperties {
  int32_t acceptText = 0;   // property 0: CF_TEXT, event 0
  int32_t acceptHtml = 0;   // property 1: "HTML Format", event 1
  int32_t acceptUrl = 0;    // property 2: "UniformResourceLocator", event 2
  int32_t acceptFiles = 0;  // property 3: CF_HDROP, event 3

  // The flag of type-specific property `number`, null for other numbers.
  int32_t* Field(int32_t number);
};

inline constexpr size_t kDropBlockSize = 20;

// No block: all flags 0. A version above 1 (unsigned) fails. A block cut
// short reads its missing bytes as 0.
std::optional<DropProperties> ReadDropProperties(std::span<const uint8_t> block);
// Always version 1.
std::array<uint8_t, kDropBlockSize> WriteDropProperties(const DropProperties& properties);

}  // namespace runtime::units::drop_object

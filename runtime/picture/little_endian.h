// Little-endian field reads from byte spans. Callers check the span's length
// first; these never read outside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace runtime::picture {

inline uint16_t U16At(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t U32At(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
inline int16_t I16At(const uint8_t* p) { return static_cast<int16_t>(U16At(p)); }
inline int32_t I32At(const uint8_t* p) { return static_cast<int32_t>(U32At(p)); }

inline std::optional<uint16_t> U16(std::span<const uint8_t> bytes, size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < 2) return std::nullopt;
  return U16At(bytes.data() + offset);
}
inline std::optional<uint32_t> U32(std::span<const uint8_t> bytes, size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < 4) return std::nullopt;
  return U32At(bytes.data() + offset);
}

inline void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace runtime::picture

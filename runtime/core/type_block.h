// Reading and writing unit type blocks: little-endian 32-bit fields and
// counted runs (an int32 length, then the bytes). Every unit type's stored
// properties are made of these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "platform/base/types.h"

namespace runtime {

// Reads fields in order; the first read past the end makes ok() false for
// good, and every later read gives 0 or an empty run.
class TypeBlockReader {
 public:
  explicit TypeBlockReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool ok() const { return ok_; }
  uint32_t U32() {
    if (!ok_ || bytes_.size() - at_ < 4) return ok_ = false, 0;
    uint32_t v;
    std::memcpy(&v, bytes_.data() + at_, 4);
    at_ += 4;
    return v;
  }
  void Int(int32_t& out) { out = static_cast<int32_t>(U32()); }
  // A length of 0 or less reads as an empty run.
  template <class Container>
  void Counted(Container& out) {
    const auto n = static_cast<int32_t>(U32());
    out.clear();
    if (!ok_ || n <= 0) return;
    if (static_cast<size_t>(n) > bytes_.size() - at_) return void(ok_ = false);
    out.assign(bytes_.begin() + static_cast<ptrdiff_t>(at_),
               bytes_.begin() + static_cast<ptrdiff_t>(at_ + static_cast<size_t>(n)));
    at_ += static_cast<size_t>(n);
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
  bool ok_ = true;
};

inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  uint8_t b[4];
  std::memcpy(b, &v, 4);
  out.insert(out.end(), b, b + 4);
}

template <class Container>
void PutCounted(std::vector<uint8_t>& out, const Container& bytes) {
  PutU32(out, static_cast<uint32_t>(bytes.size()));
  out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace runtime

// GIF's variable-width LZW: codes of 3 to 12 bits read least significant bit
// first, a fixed table of 4096 strings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace runtime::picture::formats {

// Receives decoded indices a string at a time.
class LzwSink {
 public:
  virtual ~LzwSink() = default;
  virtual void Write(const uint8_t* indices, size_t count) = 0;
  // True once no more indices can be placed; strings are then not expanded.
  virtual bool Full() const = 0;
};

enum class LzwResult {
  Done,       // reached the end code
  BadCode,    // a first code that is no root, or a code beyond the table
  OutOfData,  // the data ended before the end code
};

class LzwDecoder {
 public:
  static constexpr int kMaxCodeBits = 12;
  static constexpr size_t kTableSize = size_t{1} << kMaxCodeBits;

  // Minimum code sizes 1 to 8 hold pixel indices of up to 8 bits.
  static bool ValidMinimumCodeSize(int bits) { return bits >= 1 && bits <= 8; }

  // `data` is the image's sub-block payloads joined together.
  LzwResult Decode(std::span<const uint8_t> data, int minimumCodeSize, LzwSink& sink);

 private:
  void Emit(uint16_t code, LzwSink& sink);

  uint16_t prefix_[kTableSize];
  uint8_t suffix_[kTableSize];
  uint8_t first_[kTableSize];
  uint16_t length_[kTableSize];
  uint8_t scratch_[kTableSize];
};

}  // namespace runtime::picture::formats

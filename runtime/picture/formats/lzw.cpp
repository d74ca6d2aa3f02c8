#include "runtime/picture/formats/lzw.h"

namespace runtime::picture::formats {

namespace {

class CodeReader {
 public:
  explicit CodeReader(std::span<const uint8_t> data) : data_(data) {}
  // False when the data runs out before `bits` more bits.
  bool Next(int bits, uint16_t* code) {
    while (held_ < bits) {
      if (at_ >= data_.size()) return false;
      buffer_ |= uint32_t{data_[at_++]} << held_;
      held_ += 8;
    }
    *code = static_cast<uint16_t>(buffer_ & ((1u << bits) - 1));
    buffer_ >>= bits;
    held_ -= bits;
    return true;
  }

 private:
  std::span<const uint8_t> data_;
  size_t at_ = 0;
  uint32_t buffer_ = 0;
  int held_ = 0;
};

}  // namespace

void LzwDecoder::Emit(uint16_t code, LzwSink& sink) {
  if (sink.Full()) return;
  // Walk the chain back to its root, filling the scratch buffer from its end.
  const uint16_t length = length_[code];
  size_t at = length;
  while (at > 0) {
    scratch_[--at] = suffix_[code];
    code = prefix_[code];
  }
  sink.Write(scratch_, length);
}

LzwResult LzwDecoder::Decode(std::span<const uint8_t> data, int minimumCodeSize, LzwSink& sink) {
  if (!ValidMinimumCodeSize(minimumCodeSize)) return LzwResult::BadCode;
  const uint16_t clear = static_cast<uint16_t>(1u << minimumCodeSize);
  const uint16_t end = clear + 1;
  for (uint16_t root = 0; root < clear; ++root) {
    prefix_[root] = 0;
    suffix_[root] = static_cast<uint8_t>(root);
    first_[root] = static_cast<uint8_t>(root);
    length_[root] = 1;
  }

  CodeReader reader(data);
  int width = minimumCodeSize + 1;
  uint16_t next = clear + 2;
  int previous = -1;  // no code since the last clear
  for (;;) {
    uint16_t code;
    if (!reader.Next(width, &code)) return LzwResult::OutOfData;
    if (code == clear) {
      width = minimumCodeSize + 1;
      next = clear + 2;
      previous = -1;
      continue;
    }
    if (code == end) return LzwResult::Done;
    if (previous < 0) {
      if (code >= clear) return LzwResult::BadCode;
      Emit(code, sink);
      previous = code;
      continue;
    }
    if (code > next || (code == next && next >= kTableSize)) return LzwResult::BadCode;
    const auto prev = static_cast<uint16_t>(previous);
    // A code equal to the next free slot stands for the previous string plus
    // its own first index.
    const uint8_t head = code < next ? first_[code] : first_[prev];
    if (next < kTableSize) {
      prefix_[next] = prev;
      suffix_[next] = head;
      first_[next] = first_[prev];
      length_[next] = static_cast<uint16_t>(length_[prev] + 1);
      ++next;
      // Once the table is full, codes stay 12 bits wide and nothing is added.
      if (next == (1u << width) && width < kMaxCodeBits) ++width;
    }
    Emit(code, sink);
    previous = code;
  }
}

}  // namespace runtime::picture::formats

// Checked access to untrusted bytes: little-endian fields inside a block that
// was read whole, and exact reads from a stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>

namespace runtime::imageconv {

// Fields of a header block; a field past the end reads as nothing.
class ByteFields {
 public:
  explicit ByteFields(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  size_t Size() const { return bytes_.size(); }
  std::optional<uint8_t> U8(size_t offset) const;
  std::optional<uint16_t> U16(size_t offset) const;
  std::optional<int16_t> I16(size_t offset) const;
  std::optional<uint32_t> U32(size_t offset) const;
  std::optional<int32_t> I32(size_t offset) const;

 private:
  std::span<const uint8_t> bytes_;
};

// True only when all `size` bytes were read.
bool ReadExact(FILE* stream, void* buffer, size_t size);
// True only when all `size` bytes at `offset` of the open file were read;
// the file's position is not used, so another stream on it is undisturbed.
bool ReadExactAt(int descriptor, void* buffer, size_t size, uint64_t offset);
// Positions the stream at an absolute offset.
bool SeekTo(FILE* stream, uint64_t offset);
// Size of the file behind the stream, or nothing.
std::optional<uint64_t> StreamFileSize(FILE* stream);

}  // namespace runtime::imageconv

#include "runtime/imageconv/byte_input.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace runtime::imageconv {

std::optional<uint8_t> ByteFields::U8(size_t offset) const {
  if (offset >= bytes_.size()) return std::nullopt;
  return bytes_[offset];
}

std::optional<uint16_t> ByteFields::U16(size_t offset) const {
  if (offset > bytes_.size() || bytes_.size() - offset < 2) return std::nullopt;
  return static_cast<uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
}

std::optional<int16_t> ByteFields::I16(size_t offset) const {
  auto v = U16(offset);
  if (!v) return std::nullopt;
  return static_cast<int16_t>(*v);
}

std::optional<uint32_t> ByteFields::U32(size_t offset) const {
  if (offset > bytes_.size() || bytes_.size() - offset < 4) return std::nullopt;
  return static_cast<uint32_t>(bytes_[offset]) | (static_cast<uint32_t>(bytes_[offset + 1]) << 8) |
         (static_cast<uint32_t>(bytes_[offset + 2]) << 16) | (static_cast<uint32_t>(bytes_[offset + 3]) << 24);
}

std::optional<int32_t> ByteFields::I32(size_t offset) const {
  auto v = U32(offset);
  if (!v) return std::nullopt;
  return static_cast<int32_t>(*v);
}

bool ReadExact(FILE* stream, void* buffer, size_t size) {
  return size == 0 || std::fread(buffer, 1, size, stream) == size;
}

bool ReadExactAt(int descriptor, void* buffer, size_t size, uint64_t offset) {
  auto* at = static_cast<uint8_t*>(buffer);
  while (size > 0) {
    if (offset > static_cast<uint64_t>(INT64_MAX)) return false;
    const ssize_t got = pread(descriptor, at, size, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    at += got;
    size -= static_cast<size_t>(got);
    offset += static_cast<uint64_t>(got);
  }
  return true;
}

bool SeekTo(FILE* stream, uint64_t offset) {
  if (offset > static_cast<uint64_t>(INT64_MAX)) return false;
  return fseeko(stream, static_cast<off_t>(offset), SEEK_SET) == 0;
}

std::optional<uint64_t> StreamFileSize(FILE* stream) {
  struct stat st {};
  if (fstat(fileno(stream), &st) != 0 || st.st_size < 0) return std::nullopt;
  return static_cast<uint64_t>(st.st_size);
}

}  // namespace runtime::imageconv

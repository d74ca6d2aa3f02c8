#include "runtime/picture/byte_source.h"

#include <algorithm>
#include <cstring>

#include "platform/files/files.h"

namespace runtime::picture {

bool ByteSource::Skip(uint64_t count) {
  const uint64_t position = Position();
  if (count > Size() - std::min(position, Size())) return false;
  return Seek(position + count);
}

size_t MemorySource::Read(void* buffer, size_t count) {
  const uint64_t left = bytes_.size() - position_;
  const size_t n = static_cast<size_t>(std::min<uint64_t>(count, left));
  if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  return n;
}

bool MemorySource::Seek(uint64_t position) {
  if (position > bytes_.size()) return false;
  position_ = position;
  return true;
}

std::optional<FileSource> FileSource::Open(const char* path) {
  if (!path || !*path) return std::nullopt;
  const platform::HANDLE file =
      platform::CreateFileA(path, platform::GENERIC_READ, platform::FILE_SHARE_READ, platform::OPEN_EXISTING);
  if (file == platform::INVALID_HANDLE || file == 0) return std::nullopt;
  const int64_t size = platform::GetFileSizeEx(file);
  if (size < 0) {
    platform::CloseHandle(file);
    return std::nullopt;
  }
  return FileSource(file, static_cast<uint64_t>(size));
}

FileSource::FileSource(FileSource&& other) noexcept
    : file_(other.file_), size_(other.size_), position_(other.position_) {
  other.file_ = platform::INVALID_HANDLE;
}

FileSource::~FileSource() {
  if (file_ != platform::INVALID_HANDLE) platform::CloseHandle(file_);
}

size_t FileSource::Read(void* buffer, size_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    const platform::DWORD chunk = static_cast<platform::DWORD>(std::min<size_t>(count - done, 1u << 30));
    platform::DWORD got = 0;
    if (!platform::ReadFile(file_, out + done, chunk, &got) || got == 0) break;
    done += got;
  }
  position_ += done;
  return done;
}

bool FileSource::Seek(uint64_t position) {
  if (position > size_) return false;
  if (platform::SetFilePointerEx(file_, static_cast<int64_t>(position), 0) < 0) return false;
  position_ = position;
  return true;
}

std::optional<WholeBytes> WholeBytes::From(ByteSource& source, uint64_t maxBytes) {
  WholeBytes whole;
  if (auto* memory = dynamic_cast<MemorySource*>(&source)) {
    whole.view_ = memory->Bytes();
    return whole;
  }
  const uint64_t size = source.Size();
  if (size > maxBytes || !source.Seek(0)) return std::nullopt;
  whole.owned_.resize(static_cast<size_t>(size));
  if (!source.ReadExact(whole.owned_.data(), whole.owned_.size())) return std::nullopt;
  whole.view_ = whole.owned_;
  return whole;
}

}  // namespace runtime::picture

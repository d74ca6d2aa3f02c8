// Where a decoder reads its bytes from: caller's memory or an open file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/base/types.h"

namespace runtime::picture {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Copies up to `count` bytes; fewer only at the end of the data or on a read
  // failure.
  virtual size_t Read(void* buffer, size_t count) = 0;
  virtual bool Seek(uint64_t position) = 0;
  virtual uint64_t Position() const = 0;
  virtual uint64_t Size() const = 0;

  // Reads exactly `count` bytes or reports failure.
  bool ReadExact(void* buffer, size_t count) { return Read(buffer, count) == count; }
  bool Skip(uint64_t count);
};

// Read-only view of bytes that stay the caller's.
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  size_t Read(void* buffer, size_t count) override;
  bool Seek(uint64_t position) override;
  uint64_t Position() const override { return position_; }
  uint64_t Size() const override { return bytes_.size(); }
  std::span<const uint8_t> Bytes() const { return bytes_; }

 private:
  std::span<const uint8_t> bytes_;
  uint64_t position_ = 0;
};

// An open file, closed with the source.
class FileSource final : public ByteSource {
 public:
  // Opens for reading with writers shut out; empty when the file cannot be
  // opened or its size cannot be read.
  static std::optional<FileSource> Open(const char* path);
  FileSource(FileSource&& other) noexcept;
  FileSource& operator=(FileSource&&) = delete;
  FileSource(const FileSource&) = delete;
  ~FileSource() override;

  size_t Read(void* buffer, size_t count) override;
  bool Seek(uint64_t position) override;
  uint64_t Position() const override { return position_; }
  uint64_t Size() const override { return size_; }

 private:
  FileSource(platform::HANDLE file, uint64_t size) : file_(file), size_(size) {}
  platform::HANDLE file_;
  uint64_t size_;
  uint64_t position_ = 0;
};

// The whole content of a source from its start: borrowed when the source is
// memory, read into an owned buffer otherwise (a short read is a failure).
class WholeBytes {
 public:
  static std::optional<WholeBytes> From(ByteSource& source, uint64_t maxBytes);
  WholeBytes() = default;
  // Moving keeps the owned buffer in place, so the view stays valid.
  WholeBytes(WholeBytes&&) = default;
  WholeBytes& operator=(WholeBytes&&) = default;
  WholeBytes(const WholeBytes&) = delete;
  WholeBytes& operator=(const WholeBytes&) = delete;
  std::span<const uint8_t> Bytes() const { return view_; }

 private:
  std::vector<uint8_t> owned_;
  std::span<const uint8_t> view_;
};

}  // namespace runtime::picture

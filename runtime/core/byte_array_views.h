// Byte arrays read from large files, held once however many owners they
// get: the bytes sit in one memory-backed mapping, and each byte array handed
// out (to the program, to a unit's property, to a decode) is a copy-on-write
// view of it. A 1.5 GB file dropped on a box then costs its size once, not
// once for the read, once for the box and once for every read-back; an owner
// that writes into its byte array changes only its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>

#include "platform/base/types.h"
#include "platform/files/file_mapping.h"

namespace runtime {

class ByteArrayViews {
 public:
  // Files from this size on are read this way.
  static constexpr size_t kSmallestShared = size_t{1} << 20;

  // `length` bytes from the current position of `file` as a new byte array
  // (the header, then the bytes); null when the system cannot make one.
  void* Read(platform::HANDLE file, size_t length);
  // Another byte array of exactly these bytes when they are one of these
  // byte arrays' whole contents, unwritten since it was made; null otherwise.
  void* Share(const void* bytes, size_t length);
  // Unmaps a byte array made here; false for any other block.
  bool Release(void* block);
  // The bytes a byte array made here spans, header included; 0 for any
  // other block.
  size_t BlockBytes(const void* block) const;
  // True when both runs are the whole, unwritten contents of byte arrays of
  // one file: equal without comparing them.
  bool Same(std::span<const uint8_t> a, std::span<const uint8_t> b) const;

 private:
  struct Section;
  struct View {
    std::shared_ptr<Section> section;
    platform::MappedView mapped;
  };
  void* Add(std::shared_ptr<Section> section, platform::MappedView mapped);
  static bool Unwritten(const View& view);
  const View* Find(const void* bytes, size_t length) const;

  mutable std::mutex mutex_;
  std::map<const void*, View> views_;  // by the byte array's address
};

}  // namespace runtime

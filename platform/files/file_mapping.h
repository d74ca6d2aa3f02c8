// Memory-mapped files shaped like the desktop OS's file mapping calls: a
// mapping object made from an open file handle, and views of it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/base/types.h"

namespace platform {

// Page protection of a mapping
inline constexpr DWORD PAGE_READONLY = 0x02;
inline constexpr DWORD PAGE_READWRITE = 0x04;
// Access of a view
inline constexpr DWORD FILE_MAP_COPY = 0x0001;
inline constexpr DWORD FILE_MAP_WRITE = 0x0002;
inline constexpr DWORD FILE_MAP_READ = 0x0004;

// A mapping of `file` (from CreateFileA) that is maximumSize bytes long, or
// as long as the file when maximumSize is 0. A read-write mapping longer than
// the file extends the file, with its blocks reserved so that writing through
// a view cannot run out of disk (ERROR_DISK_FULL here instead). Returns a
// handle for CloseHandle, or 0 on failure with GetLastError() set. The mapping
// stays usable after the file handle is closed.
// With INVALID_HANDLE for `file` the mapping is backed by memory alone,
// maximumSize bytes of zeros, read-write whatever `protect` says.
HANDLE CreateFileMappingA(HANDLE file, DWORD protect, uint64_t maximumSize);

// Copies `bytes` bytes from the current position of `file` into the mapping
// at `offset`, inside the system: no view is touched. False (last error set)
// when the file ends first or the range passes the mapping's end.
BOOL CopyFileToMapping(HANDLE file, HANDLE mapping, uint64_t offset, uint64_t bytes);

// A mapped view. It is unmapped by UnmapViewOfFile or when it goes; closing
// the mapping handle leaves it valid, as views outlive their mapping.
class MappedView {
 public:
  MappedView() = default;
  MappedView(void* address, size_t size) : address_(address), size_(size) {}
  MappedView(const MappedView&) = delete;
  MappedView& operator=(const MappedView&) = delete;
  MappedView(MappedView&& other) noexcept;
  MappedView& operator=(MappedView&& other) noexcept;
  ~MappedView();

  void* Address() const { return address_; }
  size_t Size() const { return size_; }
  explicit operator bool() const { return address_ != nullptr; }

 private:
  friend BOOL UnmapViewOfFile(MappedView& view);

  // True when no page in [address, address + bytes) of a FILE_MAP_COPY view has
  // been written since it was mapped, so it still shows its mapping's bytes.
  // False when it cannot be told (the caller then assumes it was written).
  BOOL CopyViewUnwritten(const void* address, size_t bytes);
  void* address_ = nullptr;
  size_t size_ = 0;
};

// Maps `bytes` bytes of the mapping from `offset` (a multiple of the page
// size); bytes 0 maps to the end of the mapping. A FILE_MAP_COPY view may be
// written, and its writes stay its own: neither the mapping nor other views
// see them. An empty view on failure.
MappedView MapViewOfFile(HANDLE mapping, DWORD access, uint64_t offset, size_t bytes);

// Brings the pages of [address, address + bytes) of a writable view in at
// once, ready to be written: one call instead of a fault for every page. A
// gain, not a need: false (last error set) when the system cannot, and the
// view works as before.
BOOL PrefetchViewForWriting(void* address, size_t bytes);
// Writes the view's changed pages in [address, address + bytes) to the file
// and waits for the writes. Unlike the desktop call, bytes must be given (a
// view does not know its mapping's end here); 0 fails.
BOOL FlushViewOfFile(const void* address, size_t bytes);

BOOL UnmapViewOfFile(MappedView& view);

// True when no page in [address, address + bytes) of a FILE_MAP_COPY view has
// been written since it was mapped, so it still shows its mapping's bytes.
// False when it cannot be told (the caller then assumes it was written).
BOOL CopyViewUnwritten(const void* address, size_t bytes);

}  // namespace platform

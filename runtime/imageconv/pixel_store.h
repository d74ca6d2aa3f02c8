// Pixel memory that lives in a hidden temporary file mapped into memory, so
// that large images need no large heap blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files/file_mapping.h"
#include "runtime/imageconv/scoped_handle.h"

namespace runtime::imageconv {

// Every store of the library names its file with this prefix.
inline constexpr std::string_view kStorePrefix = "CSWCLASS";

class PixelStore {
 public:
  PixelStore() = default;
  PixelStore(const PixelStore&) = delete;
  PixelStore& operator=(const PixelStore&) = delete;
  // Releases without deleting the file: owners that want it gone (the image
  // buffer always does) release with deletion first.
  ~PixelStore() { Release(false); }

  // Maps a fresh file of `size` bytes, zero-filled. Without a name the file
  // gets a temporary name of its own (prefix + number + ".tmp" in the
  // temporary directory), taken exclusively so that no other store, in this
  // process or another, can share it. A given name replaces any file of that
  // name. Size 0 releases and deletes what was held and fails. Any failure
  // leaves no file behind.
  bool Allocate(size_t size, std::string_view prefix, const char* name = nullptr);

  // Unmaps, closes, and deletes the file when asked; forgets the name.
  void Release(bool deleteFile);

  uint8_t* Data() const { return static_cast<uint8_t*>(view_.Address()); }
  size_t Size() const { return size_; }
  const std::string& FileName() const { return fileName_; }
  // Writes the whole mapped block to its file.
  bool Flush() const;

 private:
  ScopedHandle file_;
  ScopedHandle mapping_;
  platform::MappedView view_;
  std::string fileName_;
  size_t size_ = 0;
};

// The temporary directory with a trailing separator, when it names an
// existing directory.
std::optional<std::string> TemporaryDirectory();

}  // namespace runtime::imageconv

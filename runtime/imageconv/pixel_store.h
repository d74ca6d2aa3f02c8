// Pixel memory that lives in a temporary file mapped into memory, so that
// large images need no large heap blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files/file_mapping.h"
#include "runtime/imageconv/scoped_handle.h"

namespace runtime::imageconv {

// Every store of the library names its file with this prefix, where the file
// system makes it give its file a name for a moment.
inline constexpr std::string_view kStorePrefix = "CSWCLASS";

class PixelStore {
 public:
  PixelStore() = default;
  PixelStore(const PixelStore&) = delete;
  PixelStore& operator=(const PixelStore&) = delete;
  // Unmaps and closes without deleting the file: owners that want it gone
  // (the image buffer always does) release with deletion first.
  ~PixelStore() = default;

  // Maps a fresh file of `size` bytes, zero-filled. Without a name the file
  // is one without a name in the temporary directory: no other store, in this
  // process or another, can share it, and nothing of it stays behind when the
  // process is killed. A given name replaces any file of that name. Size 0
  // releases and deletes what was held and fails. Any failure leaves no file
  // behind.
  bool Allocate(size_t size, std::string_view prefix, const char* name = nullptr);

  // Unmaps, closes, and deletes the file when asked; forgets the name.
  void Release(bool deleteFile);

  uint8_t* Data() const { return static_cast<uint8_t*>(held_.view.Address()); }
  size_t Size() const { return held_.size; }
  // The given name; empty for a store without one.
  const std::string& FileName() const { return held_.fileName; }
  // Writes the whole mapped block to its file.
  bool Flush() const;

 private:
  // One allocation; as it goes, the view is unmapped first, then the mapping
  // and the file are closed.
  struct Held {
    ScopedHandle file;
    ScopedHandle mapping;
    platform::MappedView view;
    std::string fileName;
    size_t size = 0;
  };
  Held held_;
};

// Working memory for one read: a store whose file is deleted when it goes.
class ScratchStore {
 public:
  ScratchStore() = default;
  ScratchStore(const ScratchStore&) = delete;
  ScratchStore& operator=(const ScratchStore&) = delete;
  ~ScratchStore() { store_.Release(true); }

  bool Allocate(size_t bytes) { return store_.Allocate(bytes, kStorePrefix); }
  uint8_t* Data() const { return store_.Data(); }

 private:
  PixelStore store_;
};

// The temporary directory with a trailing separator, when it names an
// existing directory.
std::optional<std::string> TemporaryDirectory();

}  // namespace runtime::imageconv

// Ownership of a platform file handle, of a C stream and of what the image
// libraries hand out.
#pragma once

#include <cstdio>
#include <memory>
#include <utility>

#include "platform/files/files.h"

namespace runtime::imageconv {

class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(platform::HANDLE handle) : handle_(handle) {}
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(std::exchange(other.handle_, platform::INVALID_HANDLE)) {}
  // Taken by value: the handle held before closes as `other` goes.
  ScopedHandle& operator=(ScopedHandle other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  ~ScopedHandle() {
    if (IsValid()) platform::CloseHandle(handle_);
  }

  platform::HANDLE Get() const { return handle_; }
  bool IsValid() const { return handle_ != 0 && handle_ != platform::INVALID_HANDLE; }

 private:
  platform::HANDLE handle_ = platform::INVALID_HANDLE;
};

// Not FreedBy<std::fclose>: a standard library function may not be taken by
// address.
struct StreamCloser {
  void operator()(FILE* stream) const { std::fclose(stream); }
};
using ScopedStream = std::unique_ptr<FILE, StreamCloser>;

// An object a C interface made, freed by `Free` (which takes a T*).
template <auto Free>
struct FreedBy {
  template <typename T>
  void operator()(T* object) const {
    Free(object);
  }
};
template <typename T, auto Free>
using ScopedPointer = std::unique_ptr<T, FreedBy<Free>>;

}  // namespace runtime::imageconv

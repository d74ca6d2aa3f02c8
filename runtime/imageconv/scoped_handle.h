// Ownership of a platform file handle and of a C stream.
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
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~ScopedHandle() { Reset(); }

  platform::HANDLE Get() const { return handle_; }
  bool IsValid() const { return handle_ != 0 && handle_ != platform::INVALID_HANDLE; }
  platform::HANDLE Release() { return std::exchange(handle_, platform::INVALID_HANDLE); }
  void Reset(platform::HANDLE handle = platform::INVALID_HANDLE) {
    platform::HANDLE old = std::exchange(handle_, handle);
    if (old != 0 && old != platform::INVALID_HANDLE) platform::CloseHandle(old);
  }

 private:
  platform::HANDLE handle_ = platform::INVALID_HANDLE;
};

struct StreamCloser {
  void operator()(FILE* stream) const { std::fclose(stream); }
};
using ScopedStream = std::unique_ptr<FILE, StreamCloser>;

}  // namespace runtime::imageconv

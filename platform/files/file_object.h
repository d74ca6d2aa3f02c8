// What a file handle stands for, shared by the platform's own files code: one
// descriptor of an open regular file.
#pragma once

#include <unistd.h>

#include "platform/base/handle_table.h"

namespace platform {

class FileObject : public HandleObject {
 public:
  explicit FileObject(int fd) : fd_(fd) {}
  ~FileObject() override {
    if (fd_ >= 0) ::close(fd_);
  }
  int fd() const { return fd_; }
  // Closes now and reports whether the OS accepted the close.
  bool Close() {
    int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

}  // namespace platform

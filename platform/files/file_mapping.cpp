#include "platform/files/file_mapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <utility>

#include "platform/base/handle_table.h"
#include "platform/base/system.h"
#include "platform/files/files.h"

namespace platform {
namespace {

// Owns its own descriptor of the file, so the mapping outlives the file
// handle it was made from.
class FileMappingObject : public HandleObject {
 public:
  FileMappingObject(int fd, uint64_t size, bool writable) : fd_(fd), size_(size), writable_(writable) {}
  ~FileMappingObject() override { ::close(fd_); }
  int fd() const { return fd_; }
  uint64_t size() const { return size_; }
  bool writable() const { return writable_; }

 private:
  int fd_;
  uint64_t size_;
  bool writable_;
};

// Makes the file at least `size` bytes long with its blocks reserved.
bool ReserveFileSize(int fd, uint64_t size) {
  int e = posix_fallocate(fd, 0, static_cast<off_t>(size));
  if (e == 0) return true;
  if (e != EOPNOTSUPP && e != EINVAL) {
    SetLastError(ErrorFromErrno(e));
    return false;
  }
  // File systems without reserved allocation: a plain extension.
  if (ftruncate(fd, static_cast<off_t>(size)) != 0) {
    SetLastError(ErrorFromErrno(errno));
    return false;
  }
  return true;
}

}  // namespace

HANDLE CreateFileMappingA(HANDLE file, DWORD protect, uint64_t maximumSize) {
  if (protect != PAGE_READONLY && protect != PAGE_READWRITE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  int fileFd = FileDescriptorOf(file);
  if (fileFd < 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  struct stat st {};
  if (fstat(fileFd, &st) != 0) {
    SetLastError(ErrorFromErrno(errno));
    return 0;
  }
  const bool writable = protect == PAGE_READWRITE;
  const uint64_t fileSize = static_cast<uint64_t>(st.st_size);
  const uint64_t size = maximumSize ? maximumSize : fileSize;
  if (size == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);  // an empty mapping cannot exist
    return 0;
  }
  if (size > fileSize) {
    if (!writable) {
      SetLastError(ERROR_ACCESS_DENIED);
      return 0;
    }
    if (!ReserveFileSize(fileFd, size)) return 0;
  }
  int fd = fcntl(fileFd, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) {
    SetLastError(ErrorFromErrno(errno));
    return 0;
  }
  auto object = std::make_shared<FileMappingObject>(fd, size, writable);
  Handle handle = System::Get().Handles().Add(ObjectKind::FileMapping, object);
  if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return handle;
}

MappedView::MappedView(MappedView&& other) noexcept
    : address_(std::exchange(other.address_, nullptr)), size_(std::exchange(other.size_, 0)) {}

MappedView& MappedView::operator=(MappedView&& other) noexcept {
  if (this != &other) {
    UnmapViewOfFile(*this);
    address_ = std::exchange(other.address_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

MappedView::~MappedView() { UnmapViewOfFile(*this); }

MappedView MapViewOfFile(HANDLE mapping, DWORD access, uint64_t offset, size_t bytes) {
  auto object = System::Get().Handles().Get<FileMappingObject>(mapping, ObjectKind::FileMapping);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return {};
  }
  const bool write = access & FILE_MAP_WRITE;
  const uint64_t page = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
  if ((write && !object->writable()) || offset % page != 0 || offset >= object->size() ||
      bytes > object->size() - offset) {
    SetLastError(write && !object->writable() ? ERROR_ACCESS_DENIED : ERROR_INVALID_PARAMETER);
    return {};
  }
  const uint64_t length = bytes ? bytes : object->size() - offset;
  if (length > SIZE_MAX) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return {};
  }
  void* address = mmap(nullptr, static_cast<size_t>(length), write ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED,
                       object->fd(), static_cast<off_t>(offset));
  if (address == MAP_FAILED) {
    SetLastError(ErrorFromErrno(errno));
    return {};
  }
  return MappedView(address, static_cast<size_t>(length));
}

BOOL FlushViewOfFile(const void* address, size_t bytes) {
  if (!address || bytes == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t start = reinterpret_cast<uintptr_t>(address) & ~(page - 1);
  const uintptr_t end = reinterpret_cast<uintptr_t>(address) + bytes;
  if (msync(reinterpret_cast<void*>(start), end - start, MS_SYNC) != 0) {
    SetLastError(ErrorFromErrno(errno));
    return FALSE;
  }
  return TRUE;
}

BOOL UnmapViewOfFile(MappedView& view) {
  if (!view.address_) return TRUE;
  void* address = std::exchange(view.address_, nullptr);
  size_t size = std::exchange(view.size_, 0);
  if (munmap(address, size) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}

}  // namespace platform

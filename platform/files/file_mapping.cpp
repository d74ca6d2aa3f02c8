#include "platform/files/file_mapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <limits>
#include <memory>
#include <utility>

#include "platform/base/handle_table.h"
#include "platform/base/system.h"
#include "platform/files/files.h"
#include "platform/memory/large_blocks.h"

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

HANDLE CreateMemoryMapping(uint64_t size) {
  if (size == 0 || size > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const int fd = memfd_create("mapping", MFD_CLOEXEC);
  if (fd < 0) {
    SetLastError(ErrorFromErrno(errno));
    return 0;
  }
  if (ftruncate(fd, static_cast<off_t>(size)) != 0) {
    SetLastError(ErrorFromErrno(errno));
    ::close(fd);
    return 0;
  }
  auto object = std::make_shared<FileMappingObject>(fd, size, true);
  Handle handle = System::Get().Handles().Add(ObjectKind::FileMapping, object);
  if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return handle;
}

}  // namespace

HANDLE CreateFileMappingA(HANDLE file, DWORD protect, uint64_t maximumSize) {
  if (protect != PAGE_READONLY && protect != PAGE_READWRITE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (file == INVALID_HANDLE) return CreateMemoryMapping(maximumSize);
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
  const bool copy = access & FILE_MAP_COPY;
  const bool write = (access & FILE_MAP_WRITE) && !copy;
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
  const int protection = write || copy ? PROT_READ | PROT_WRITE : PROT_READ;
  void* address = mmap(nullptr, static_cast<size_t>(length), protection, copy ? MAP_PRIVATE : MAP_SHARED, object->fd(),
                       static_cast<off_t>(offset));
  if (address == MAP_FAILED) {
    SetLastError(ErrorFromErrno(errno));
    return {};
  }
  // Large views on huge pages where the file system has them: a 14 MB store
  // is then mapped by seven entries instead of 3,400 pages, each a fault
  // and, on a hypervisor that shadows page tables, a dear first touch.
  if (length >= kHugePageBlockFrom) madvise(address, static_cast<size_t>(length), MADV_HUGEPAGE);
  return MappedView(address, static_cast<size_t>(length));
}

BOOL CopyFileToMapping(HANDLE file, HANDLE mapping, uint64_t offset, uint64_t bytes) {
  const int from = FileDescriptorOf(file);
  auto object = System::Get().Handles().Get<FileMappingObject>(mapping, ObjectKind::FileMapping);
  if (from < 0 || !object) return Fail(ERROR_INVALID_HANDLE);
  if (offset > object->size() || bytes > object->size() - offset) return Fail(ERROR_INVALID_PARAMETER);
  auto to = static_cast<off_t>(offset);
  while (bytes > 0) {
    const size_t step = static_cast<size_t>(std::min<uint64_t>(bytes, size_t{1} << 30));
    ssize_t copied = copy_file_range(from, nullptr, object->fd(), &to, step, 0);
    if (copied < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
      // Kernels or file systems without it: through a buffer.
      char buffer[1 << 16];
      const ssize_t got = ::read(from, buffer, std::min(step, sizeof buffer));
      copied = got > 0 ? ::pwrite(object->fd(), buffer, static_cast<size_t>(got), to) : got;
      if (copied > 0) to += copied;
    }
    if (copied < 0 && errno == EINTR) continue;
    if (copied < 0) return Fail(ErrorFromErrno(errno));
    if (copied == 0) return Fail(ERROR_HANDLE_EOF);
    bytes -= static_cast<uint64_t>(copied);
  }
  return TRUE;
}

BOOL CopyViewUnwritten(const void* address, size_t bytes) {
  if (!address || bytes == 0) return FALSE;
  // The page map tells, per page, whether it is present and whether it still
  // is the mapping's own page; a written page of a copy view is anonymous.
  constexpr uint64_t kPresent = uint64_t{1} << 63, kSwapped = uint64_t{1} << 62, kFilePage = uint64_t{1} << 61;
  const int pagemap = ::open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
  if (pagemap < 0) return FALSE;
  const uint64_t page = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<uintptr_t>(address);
  uint64_t first = start / page;
  const uint64_t last = (start + bytes - 1) / page;
  bool unwritten = true;
  uint64_t entries[4096];
  while (unwritten && first <= last) {
    const size_t count = static_cast<size_t>(std::min<uint64_t>(last - first + 1, std::size(entries)));
    const ssize_t got =
        ::pread(pagemap, entries, count * sizeof entries[0], static_cast<off_t>(first * sizeof entries[0]));
    if (got != static_cast<ssize_t>(count * sizeof entries[0])) {
      unwritten = false;
      break;
    }
    for (size_t i = 0; i < count && unwritten; ++i) {
      const uint64_t e = entries[i];
      if ((e & kSwapped) || ((e & kPresent) && !(e & kFilePage))) unwritten = false;
    }
    first += count;
  }
  ::close(pagemap);
  return unwritten ? TRUE : FALSE;
}

namespace {

// `call(start, length)` over the whole pages holding [address, address +
// bytes); an empty range is refused, a failure sets the last error.
template <typename Call>
BOOL OnViewPages(const void* address, size_t bytes, Call call) {
  if (!address || bytes == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t start = reinterpret_cast<uintptr_t>(address) & ~(page - 1);
  const uintptr_t end = reinterpret_cast<uintptr_t>(address) + bytes;
  if (call(reinterpret_cast<void*>(start), end - start) != 0) {
    SetLastError(ErrorFromErrno(errno));
    return FALSE;
  }
  return TRUE;
}

#ifdef MADV_POPULATE_WRITE
constexpr int kPopulateWrite = MADV_POPULATE_WRITE;
#else
constexpr int kPopulateWrite = 23;  // C headers older than the kernel
#endif

}  // namespace

BOOL PrefetchViewForWriting(void* address, size_t bytes) {
  return OnViewPages(address, bytes, [](void* start, size_t length) { return madvise(start, length, kPopulateWrite); });
}

BOOL FlushViewOfFile(const void* address, size_t bytes) {
  return OnViewPages(address, bytes, [](void* start, size_t length) { return msync(start, length, MS_SYNC); });
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

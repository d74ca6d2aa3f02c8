#include "runtime/core/byte_array_views.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/files/files.h"
#include "runtime/core/value.h"

namespace runtime {

using namespace platform;

// The mapping that holds one file's bytes after a byte array's header.
struct ByteArrayViews::Section {
  HANDLE mapping = 0;
  size_t length = 0;
  // The bytes as read, to tell a written view from an unwritten one.
  MappedView pristine;
  ~Section() {
    if (mapping) CloseHandle(mapping);
  }
};

void* ByteArrayViews::Add(std::shared_ptr<Section> section, MappedView mapped) {
  void* block = mapped.Address();
  std::lock_guard lock(mutex_);
  views_.emplace(block, View{std::move(section), std::move(mapped)});
  return block;
}

// A view is only shared onwards while it still holds the file's bytes: an
// owner may have written into its byte array.
bool ByteArrayViews::Unwritten(const View& view) {
  const auto* block = static_cast<const uint8_t*>(view.mapped.Address());
  const auto* pristine = static_cast<const uint8_t*>(view.section->pristine.Address());
  const size_t total = kByteArrayHeader + view.section->length;
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  // The first page holds the view's own header, so it is never the
  // section's page: its bytes are compared instead.
  const size_t head = std::min(page, total);
  if (std::memcmp(block + kByteArrayHeader, pristine + kByteArrayHeader, head - kByteArrayHeader) != 0) return false;
  return total <= page || CopyViewUnwritten(block + page, total - page);
}

const ByteArrayViews::View* ByteArrayViews::Find(const void* bytes, size_t length) const {
  if (!bytes) return nullptr;
  auto it = views_.find(static_cast<const uint8_t*>(bytes) - kByteArrayHeader);
  return it != views_.end() && it->second.section->length == length ? &it->second : nullptr;
}

void* ByteArrayViews::Read(HANDLE file, size_t length) {
  if (length == 0 || length > static_cast<size_t>(INT32_MAX)) return nullptr;
  auto section = std::make_shared<Section>();
  section->length = length;
  section->mapping = CreateFileMappingA(INVALID_HANDLE, PAGE_READWRITE, kByteArrayHeader + length);
  if (!section->mapping || !CopyFileToMapping(file, section->mapping, kByteArrayHeader, length)) return nullptr;
  section->pristine = MapViewOfFile(section->mapping, FILE_MAP_READ, 0, 0);
  if (!section->pristine) return nullptr;
  MappedView view = MapViewOfFile(section->mapping, FILE_MAP_COPY, 0, 0);
  if (!view) return nullptr;
  // The header is written into this view alone; every later view gets its
  // own from Share, so the section itself never needs one.
  const int32_t header[2] = {1, static_cast<int32_t>(length)};
  std::memcpy(view.Address(), header, sizeof header);
  return Add(std::move(section), std::move(view));
}

void* ByteArrayViews::Share(const void* bytes, size_t length) {
  std::shared_ptr<Section> section;
  {
    std::lock_guard lock(mutex_);
    const View* view = Find(bytes, length);
    if (!view || !Unwritten(*view)) return nullptr;
    section = view->section;
  }
  MappedView mapped = MapViewOfFile(section->mapping, FILE_MAP_COPY, 0, 0);
  if (!mapped) return nullptr;
  const int32_t header[2] = {1, static_cast<int32_t>(length)};
  std::memcpy(mapped.Address(), header, sizeof header);
  return Add(std::move(section), std::move(mapped));
}

bool ByteArrayViews::Release(void* block) {
  View released;
  {
    std::lock_guard lock(mutex_);
    auto it = views_.find(block);
    if (it == views_.end()) return false;
    released = std::move(it->second);
    views_.erase(it);
  }
  return true;  // unmapped as `released` goes, outside the lock
}

size_t ByteArrayViews::BlockBytes(const void* block) const {
  std::lock_guard lock(mutex_);
  auto it = views_.find(block);
  return it == views_.end() ? 0 : kByteArrayHeader + it->second.section->length;
}

bool ByteArrayViews::Same(std::span<const uint8_t> a, std::span<const uint8_t> b) const {
  std::lock_guard lock(mutex_);
  const View* first = Find(a.data(), a.size());
  const View* second = Find(b.data(), b.size());
  return first && second && first->section == second->section && Unwritten(*first) && Unwritten(*second);
}

}  // namespace runtime

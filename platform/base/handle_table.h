// One table hands out every 32-bit handle of the platform: windows, files,
// GDI objects. A handle carries a generation so a stale one never reaches a
// newer object that reused its slot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/base/types.h"

namespace platform {

enum class ObjectKind : uint8_t {
  Window = 1,
  File,
  FindSearch,
  FileMapping,
  DeviceContext,
  Bitmap,
  Brush,
  Pen,
  Font,
  Palette,
  Region,
  Icon,
  Cursor,
  Menu,
  Accelerator,
  GlobalMemory,
};

class HandleObject {
 public:
  virtual ~HandleObject() = default;
};

class HandleTable {
 public:
  // Returns 0 when the table is full.
  Handle Add(ObjectKind kind, std::shared_ptr<HandleObject> object);
  // Null when the handle is stale, 0, or of another kind.
  std::shared_ptr<HandleObject> Find(Handle handle, ObjectKind kind) const;
  template <class T>
  std::shared_ptr<T> Get(Handle handle, ObjectKind kind) const {
    return std::static_pointer_cast<T>(Find(handle, kind));
  }
  std::optional<ObjectKind> KindOf(Handle handle) const;
  // Frees the slot and hands back the object (null when the handle is not live).
  std::shared_ptr<HandleObject> Remove(Handle handle, ObjectKind kind);
  size_t LiveCount(ObjectKind kind) const;

 private:
  struct Slot {
    std::shared_ptr<HandleObject> object;
    ObjectKind kind = ObjectKind::Window;
    uint16_t generation = 0;
  };
  static constexpr uint32_t kIndexBits = 20;
  static constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;
  // Keeps 0xFFFFFFFF and 0xFFFFFFFE unused: they are the invalid handle and
  // the topmost sentinels of SetWindowPos.
  static constexpr uint32_t kMaxSlots = kIndexMask - 2;

  const Slot* SlotOf(Handle handle) const;

  mutable std::mutex mutex_;
  std::vector<Slot> slots_;
  std::vector<uint32_t> free_;
};

}  // namespace platform

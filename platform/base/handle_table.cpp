#include "platform/base/handle_table.h"

namespace platform {

Handle HandleTable::Add(ObjectKind kind, std::shared_ptr<HandleObject> object) {
  if (!object) return 0;
  std::lock_guard lock(mutex_);
  uint32_t index;
  if (!free_.empty()) {
    index = free_.back();
    free_.pop_back();
  } else {
    if (slots_.size() >= kMaxSlots) return 0;
    index = static_cast<uint32_t>(slots_.size());
    slots_.emplace_back();
  }
  Slot& slot = slots_[index];
  slot.object = std::move(object);
  slot.kind = kind;
  slot.generation = static_cast<uint16_t>((slot.generation + 1) & 0xFFF);
  if (slot.generation == 0) slot.generation = 1;
  return (static_cast<uint32_t>(slot.generation) << kIndexBits) | (index + 1);
}

const HandleTable::Slot* HandleTable::SlotOf(Handle handle) const {
  uint32_t position = handle & kIndexMask;
  if (position == 0 || position > slots_.size()) return nullptr;
  const Slot& slot = slots_[position - 1];
  if (!slot.object || slot.generation != (handle >> kIndexBits)) return nullptr;
  return &slot;
}

std::shared_ptr<HandleObject> HandleTable::Find(Handle handle, ObjectKind kind) const {
  std::lock_guard lock(mutex_);
  const Slot* slot = SlotOf(handle);
  if (!slot || slot->kind != kind) return nullptr;
  return slot->object;
}

std::optional<ObjectKind> HandleTable::KindOf(Handle handle) const {
  std::lock_guard lock(mutex_);
  const Slot* slot = SlotOf(handle);
  if (!slot) return std::nullopt;
  return slot->kind;
}

std::shared_ptr<HandleObject> HandleTable::Remove(Handle handle, ObjectKind kind) {
  std::shared_ptr<HandleObject> object;
  {
    std::lock_guard lock(mutex_);
    const Slot* found = SlotOf(handle);
    if (!found || found->kind != kind) return nullptr;
    uint32_t index = (handle & kIndexMask) - 1;
    object = std::move(slots_[index].object);
    free_.push_back(index);
  }
  return object;  // destroyed outside the lock
}

size_t HandleTable::LiveCount(ObjectKind kind) const {
  std::lock_guard lock(mutex_);
  size_t n = 0;
  for (const Slot& slot : slots_)
    if (slot.object && slot.kind == kind) ++n;
  return n;
}

}  // namespace platform

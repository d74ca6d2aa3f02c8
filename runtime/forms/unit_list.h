// A window's unit list exactly as the form data stores it: c unit ids, c
// record offsets (counted from the first byte after the offset array), then
// the records, each an int32 size and a body. The bytes are kept as read, so a
// backup is a plain copy and restoring it gives back the stored properties.
// The list is untrusted input: it is checked whole when it is made, and every
// access checks again, since rewrites change it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "runtime/core/value.h"

namespace runtime::forms {

inline constexpr int32_t kNoIndex = -1;

// A valid unit id has bits in its low 24 bits and in bits 24 to 27.
constexpr bool IsValidId(uint32_t id) { return (id & 0x00FFFFFF) != 0 && (id & 0x0F000000) != 0; }
constexpr bool IsMenuItemId(uint32_t id) { return (id & 0x0F000000) == 0x06000000 && (id & 0xF0000000) == 0x20000000; }

// Common flag bits of a record.
inline constexpr uint32_t kFlagVisible = 0x1;
inline constexpr uint32_t kFlagDisabled = 0x2;
inline constexpr uint32_t kFlagTabStop = 0x4;

struct Binding {
  int32_t key;
  int32_t handler;
};

// Offsets of the fields of one record body, from the body's start.
struct RecordLayout {
  size_t name = 0;
  size_t secondName = 0;
  size_t objectSlot = 0;
  size_t rect = 0;  // left, top, width, height
  size_t cursorSlot = 0;
  size_t parent = 0;
  size_t children = 0;  // the count, then the ids
  int32_t childCount = 0;
  size_t pointer = 0;  // the counted block's length field
  size_t pointerLength = 0;
  size_t tag = 0;
  size_t tagLength = 0;  // without the terminating zero
  size_t flags = 0;
  size_t tabOrder = 0;
  size_t bindings = 0;  // the count, then the pairs
  int32_t bindingCount = 0;
  size_t typeBlock = 0;
  size_t typeBlockLength = 0;
};

class UnitList {
 public:
  UnitList() = default;
  // The list from its stored bytes; none when anything in it does not hold.
  static std::optional<UnitList> Parse(std::vector<uint8_t> bytes, int32_t count);

  int32_t Count() const { return count_; }
  bool Empty() const { return bytes_.empty(); }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

  UnitId IdAt(int32_t index) const;
  // First match of a valid id; kNoIndex when absent.
  int32_t IndexOf(UnitId id) const;
  bool IsMenuItem(int32_t index) const { return IsMenuItemId(static_cast<uint32_t>(IdAt(index))); }
  // The one handler of a menu item record; 0 for any other record.
  int32_t MenuHandler(int32_t index) const {
    auto at = IsMenuItem(index) ? MenuHandlerOffset(index) : std::nullopt;
    return at ? static_cast<int32_t>(U32(index, *at)) : 0;
  }

  // The record body; empty when the index is out of range.
  std::span<const uint8_t> Body(int32_t index) const;
  // None for a menu item record or a body that does not walk.
  std::optional<RecordLayout> Layout(int32_t index) const;

  // Fields; a record that does not walk reads as zeros and empty texts.
  uint32_t UnitType(int32_t index) const { return U32(index, 0); }
  UnitId EventSource(int32_t index) const { return static_cast<UnitId>(U32(index, 4)); }
  std::string Name(int32_t index) const;
  uint32_t ObjectSlot(int32_t index) const;
  void SetObjectSlot(int32_t index, uint32_t value);
  // 0 left, 1 top, 2 width, 3 height.
  int32_t RectField(int32_t index, int field) const;
  void SetRectField(int32_t index, int field, int32_t value);
  uint32_t CursorSlot(int32_t index) const;
  void SetCursorSlot(int32_t index, uint32_t value);
  UnitId Parent(int32_t index) const;
  std::vector<UnitId> Children(int32_t index) const;
  std::span<const uint8_t> Pointer(int32_t index) const;
  std::string Tag(int32_t index) const;
  uint32_t Flags(int32_t index) const;
  void SetFlags(int32_t index, uint32_t value);
  int32_t TabOrder(int32_t index) const;
  std::vector<Binding> Bindings(int32_t index) const;
  std::span<const uint8_t> TypeBlock(int32_t index) const;

  // Replaces `length` bytes at `offset` of record `index`'s body with `bytes`;
  // the record's size and every later offset move by the difference.
  bool Rewrite(int32_t index, size_t offset, size_t length, std::span<const uint8_t> bytes);
  bool ReplaceTag(int32_t index, std::string_view tag);
  bool ReplacePointer(int32_t index, std::span<const uint8_t> block);

  // Event bindings as the reader leaves them: every handler field rewritten
  // by `relocate` (the menu item's single handler included); false when it
  // refuses one.
  template <class Relocate>
  bool RelocateHandlers(Relocate relocate);

 private:
  std::optional<size_t> RecordStart(int32_t index) const;  // offset of the size field
  uint32_t U32(int32_t index, size_t offset) const;
  void PutU32(int32_t index, size_t offset, uint32_t value);
  std::span<uint8_t> MutableBody(int32_t index);
  // Where the menu item's handler lies, or none.
  std::optional<size_t> MenuHandlerOffset(int32_t index) const;

  std::vector<uint8_t> bytes_;
  int32_t count_ = 0;
};

template <class Relocate>
bool UnitList::RelocateHandlers(Relocate relocate) {
  for (int32_t i = 0; i < count_; ++i) {
    if (IsMenuItem(i)) {
      auto at = MenuHandlerOffset(i);
      if (!at) return false;
      auto handler = relocate(static_cast<int32_t>(U32(i, *at)));
      if (!handler) return false;
      PutU32(i, *at, static_cast<uint32_t>(*handler));
      continue;
    }
    auto layout = Layout(i);
    if (!layout) return false;
    for (int32_t b = 0; b < layout->bindingCount; ++b) {
      const size_t at = layout->bindings + 4 + static_cast<size_t>(b) * 8 + 4;
      auto handler = relocate(static_cast<int32_t>(U32(i, at)));
      if (!handler) return false;
      PutU32(i, at, static_cast<uint32_t>(*handler));
    }
  }
  return true;
}

}  // namespace runtime::forms

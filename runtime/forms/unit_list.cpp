#include "runtime/forms/unit_list.h"

#include <cstring>
#include <limits>

namespace runtime::forms {
namespace {

uint32_t LoadU32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

void StoreU32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

// A bounded walk over one record body; any step past the end stops it.
class BodyWalker {
 public:
  explicit BodyWalker(std::span<const uint8_t> body) : body_(body) {}
  bool ok() const { return ok_; }
  size_t at() const { return at_; }
  size_t Skip(size_t n) {
    const size_t start = at_;
    if (!ok_ || n > body_.size() - at_)
      ok_ = false;
    else
      at_ += n;
    return start;
  }
  int32_t I32() {
    const size_t start = Skip(4);
    return ok_ ? static_cast<int32_t>(LoadU32(body_.data() + start)) : 0;
  }
  // A zero-terminated text; returns its length without the zero.
  size_t ZeroText() {
    if (!ok_) return 0;
    const void* end = std::memchr(body_.data() + at_, 0, body_.size() - at_);
    if (!end) {
      ok_ = false;
      return 0;
    }
    const size_t length = static_cast<size_t>(static_cast<const uint8_t*>(end) - (body_.data() + at_));
    at_ += length + 1;
    return length;
  }
  // Counted bytes: the length field, then that many bytes (none when <= 0).
  size_t Counted() {
    const int32_t n = I32();
    if (n > 0) Skip(static_cast<size_t>(n));
    return n > 0 ? static_cast<size_t>(n) : 0;
  }
  // `count` entries of `size` bytes, the count taken as stored.
  void Entries(int32_t count, size_t size) {
    if (count < 0 || static_cast<uint64_t>(count) * size > body_.size() - at_)
      ok_ = false;
    else
      at_ += static_cast<size_t>(count) * size;
  }

 private:
  std::span<const uint8_t> body_;
  size_t at_ = 0;
  bool ok_ = true;
};

}  // namespace

std::optional<UnitList> UnitList::Parse(std::vector<uint8_t> bytes, int32_t count) {
  if (count < 0 || static_cast<uint64_t>(count) * 8 > bytes.size()) return std::nullopt;
  UnitList list;
  list.bytes_ = std::move(bytes);
  list.count_ = count;
  for (int32_t i = 0; i < count; ++i) {
    if (!list.RecordStart(i)) return std::nullopt;
    if (list.IsMenuItem(i) ? !list.MenuHandlerOffset(i) : !list.Layout(i)) return std::nullopt;
  }
  return list;
}

std::optional<size_t> UnitList::RecordStart(int32_t index) const {
  if (index < 0 || index >= count_) return std::nullopt;
  const size_t records = static_cast<size_t>(count_) * 8;
  const uint64_t start =
      records + LoadU32(bytes_.data() + static_cast<size_t>(count_) * 4 + static_cast<size_t>(index) * 4);
  if (start + 4 > bytes_.size()) return std::nullopt;
  const int32_t size = static_cast<int32_t>(LoadU32(bytes_.data() + start));
  if (size < 0 || start + 4 + static_cast<uint64_t>(size) > bytes_.size()) return std::nullopt;
  return static_cast<size_t>(start);
}

UnitId UnitList::IdAt(int32_t index) const {
  if (index < 0 || index >= count_) return 0;
  return static_cast<UnitId>(LoadU32(bytes_.data() + static_cast<size_t>(index) * 4));
}

int32_t UnitList::IndexOf(UnitId id) const {
  if (!IsValidId(static_cast<uint32_t>(id))) return kNoIndex;
  for (int32_t i = 0; i < count_; ++i)
    if (IdAt(i) == id) return i;
  return kNoIndex;
}

std::span<const uint8_t> UnitList::Body(int32_t index) const {
  auto start = RecordStart(index);
  if (!start) return {};
  const auto size = static_cast<size_t>(LoadU32(bytes_.data() + *start));
  return std::span<const uint8_t>(bytes_.data() + *start + 4, size);
}

std::span<uint8_t> UnitList::MutableBody(int32_t index) {
  auto body = Body(index);
  return std::span<uint8_t>(const_cast<uint8_t*>(body.data()), body.size());
}

// A menu item body: its type, five reserved words, two texts, 12 bytes, a
// third text, then the handler.
std::optional<size_t> UnitList::MenuHandlerOffset(int32_t index) const {
  BodyWalker w(Body(index));
  w.Skip(24);
  w.ZeroText();
  w.ZeroText();
  w.Skip(12);
  w.ZeroText();
  const size_t at = w.Skip(4);
  return w.ok() ? std::optional<size_t>(at) : std::nullopt;
}

std::optional<RecordLayout> UnitList::Layout(int32_t index) const {
  if (IsMenuItem(index) || !RecordStart(index)) return std::nullopt;
  const auto body = Body(index);
  BodyWalker w(body);
  RecordLayout r;
  w.Skip(24);  // unit type, event source, four reserved words
  r.name = w.at();
  w.ZeroText();
  r.secondName = w.at();
  w.ZeroText();
  r.objectSlot = w.Skip(4);
  r.rect = w.Skip(16);
  r.cursorSlot = w.Skip(4);
  r.parent = w.Skip(4);
  r.children = w.at();
  r.childCount = w.I32();
  w.Entries(r.childCount, 4);
  r.pointer = w.at();
  r.pointerLength = w.Counted();
  r.tag = w.at();
  r.tagLength = w.ZeroText();
  w.Skip(4);
  r.flags = w.Skip(4);
  r.tabOrder = w.Skip(4);
  r.bindings = w.at();
  r.bindingCount = w.I32();
  w.Entries(r.bindingCount, 8);
  w.Skip(20);
  if (!w.ok()) return std::nullopt;
  r.typeBlock = w.at();
  r.typeBlockLength = body.size() - w.at();
  return r;
}

uint32_t UnitList::U32(int32_t index, size_t offset) const {
  const auto body = Body(index);
  return offset + 4 <= body.size() ? LoadU32(body.data() + offset) : 0;
}

void UnitList::PutU32(int32_t index, size_t offset, uint32_t value) {
  auto body = MutableBody(index);
  if (offset + 4 <= body.size()) StoreU32(body.data() + offset, value);
}

std::string UnitList::Name(int32_t index) const {
  auto r = Layout(index);
  return r ? std::string(reinterpret_cast<const char*>(Body(index).data() + r->name)) : std::string();
}

uint32_t UnitList::ObjectSlot(int32_t index) const {
  auto r = Layout(index);
  return r ? U32(index, r->objectSlot) : 0;
}

void UnitList::SetObjectSlot(int32_t index, uint32_t value) {
  if (auto r = Layout(index)) PutU32(index, r->objectSlot, value);
}

int32_t UnitList::RectField(int32_t index, int field) const {
  auto r = Layout(index);
  return r && field >= 0 && field < 4 ? static_cast<int32_t>(U32(index, r->rect + 4 * static_cast<size_t>(field))) : 0;
}

void UnitList::SetRectField(int32_t index, int field, int32_t value) {
  auto r = Layout(index);
  if (r && field >= 0 && field < 4)
    PutU32(index, r->rect + 4 * static_cast<size_t>(field), static_cast<uint32_t>(value));
}

uint32_t UnitList::CursorSlot(int32_t index) const {
  auto r = Layout(index);
  return r ? U32(index, r->cursorSlot) : 0;
}

void UnitList::SetCursorSlot(int32_t index, uint32_t value) {
  if (auto r = Layout(index)) PutU32(index, r->cursorSlot, value);
}

UnitId UnitList::Parent(int32_t index) const {
  auto r = Layout(index);
  return r ? static_cast<UnitId>(U32(index, r->parent)) : 0;
}

std::vector<UnitId> UnitList::Children(int32_t index) const {
  std::vector<UnitId> children;
  if (auto r = Layout(index)) {
    for (int32_t c = 0; c < r->childCount; ++c)
      children.push_back(static_cast<UnitId>(U32(index, r->children + 4 + 4 * static_cast<size_t>(c))));
  }
  return children;
}

std::span<const uint8_t> UnitList::Pointer(int32_t index) const {
  auto r = Layout(index);
  if (!r) return {};
  return Body(index).subspan(r->pointer + 4, r->pointerLength);
}

std::string UnitList::Tag(int32_t index) const {
  auto r = Layout(index);
  return r ? std::string(reinterpret_cast<const char*>(Body(index).data() + r->tag), r->tagLength) : std::string();
}

uint32_t UnitList::Flags(int32_t index) const {
  auto r = Layout(index);
  return r ? U32(index, r->flags) : 0;
}

void UnitList::SetFlags(int32_t index, uint32_t value) {
  if (auto r = Layout(index)) PutU32(index, r->flags, value);
}

int32_t UnitList::TabOrder(int32_t index) const {
  auto r = Layout(index);
  return r ? static_cast<int32_t>(U32(index, r->tabOrder)) : 0;
}

std::vector<Binding> UnitList::Bindings(int32_t index) const {
  std::vector<Binding> bindings;
  if (auto r = Layout(index)) {
    for (int32_t b = 0; b < r->bindingCount; ++b) {
      const size_t at = r->bindings + 4 + static_cast<size_t>(b) * 8;
      bindings.push_back(Binding{static_cast<int32_t>(U32(index, at)), static_cast<int32_t>(U32(index, at + 4))});
    }
  }
  return bindings;
}

std::span<const uint8_t> UnitList::TypeBlock(int32_t index) const {
  auto r = Layout(index);
  if (!r) return {};
  return Body(index).subspan(r->typeBlock, r->typeBlockLength);
}

bool UnitList::Rewrite(int32_t index, size_t offset, size_t length, std::span<const uint8_t> bytes) {
  auto start = RecordStart(index);
  if (!start) return false;
  const size_t size = LoadU32(bytes_.data() + *start);
  if (offset > size || length > size - offset) return false;
  const int64_t delta = static_cast<int64_t>(bytes.size()) - static_cast<int64_t>(length);
  if (static_cast<int64_t>(size) + delta > std::numeric_limits<int32_t>::max()) return false;
  const size_t at = *start + 4 + offset;
  std::vector<uint8_t> rewritten;
  rewritten.reserve(bytes_.size() + bytes.size());
  rewritten.insert(rewritten.end(), bytes_.begin(), bytes_.begin() + static_cast<ptrdiff_t>(at));
  rewritten.insert(rewritten.end(), bytes.begin(), bytes.end());
  rewritten.insert(rewritten.end(), bytes_.begin() + static_cast<ptrdiff_t>(at + length), bytes_.end());
  StoreU32(rewritten.data() + *start, static_cast<uint32_t>(static_cast<int64_t>(size) + delta));
  const uint32_t own = static_cast<uint32_t>(*start - static_cast<size_t>(count_) * 8);
  for (int32_t i = 0; i < count_; ++i) {
    uint8_t* slot = rewritten.data() + static_cast<size_t>(count_) * 4 + static_cast<size_t>(i) * 4;
    const uint32_t offsetOfRecord = LoadU32(slot);
    if (offsetOfRecord > own) StoreU32(slot, static_cast<uint32_t>(static_cast<int64_t>(offsetOfRecord) + delta));
  }
  bytes_ = std::move(rewritten);
  return true;
}

bool UnitList::ReplaceTag(int32_t index, std::string_view tag) {
  auto r = Layout(index);
  if (!r) return false;
  std::vector<uint8_t> bytes(tag.begin(), tag.end());
  bytes.push_back(0);
  return Rewrite(index, r->tag, r->tagLength + 1, bytes);
}

bool UnitList::ReplacePointer(int32_t index, std::span<const uint8_t> block) {
  auto r = Layout(index);
  if (!r || block.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return false;
  std::vector<uint8_t> bytes(4 + block.size());
  StoreU32(bytes.data(), static_cast<uint32_t>(block.size()));
  if (!block.empty()) std::memcpy(bytes.data() + 4, block.data(), block.size());
  return Rewrite(index, r->pointer, 4 + r->pointerLength, bytes);
}

}  // namespace runtime::forms

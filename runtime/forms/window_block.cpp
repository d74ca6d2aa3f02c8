#include "runtime/forms/window_block.h"

#include <cstring>

namespace runtime::forms {
namespace {

class BlockReader {
 public:
  explicit BlockReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool ok() const { return ok_; }
  void Int(int32_t& out) { out = static_cast<int32_t>(U32()); }
  uint32_t U32() {
    if (!ok_ || bytes_.size() - at_ < 4) return ok_ = false, 0;
    uint32_t v;
    std::memcpy(&v, bytes_.data() + at_, 4);
    at_ += 4;
    return v;
  }
  template <class Container>
  void Counted(Container& out) {
    const auto n = static_cast<int32_t>(U32());
    out.clear();
    if (!ok_ || n <= 0) return;
    if (static_cast<size_t>(n) > bytes_.size() - at_) return void(ok_ = false);
    out.assign(bytes_.begin() + static_cast<ptrdiff_t>(at_), bytes_.begin() + static_cast<ptrdiff_t>(at_ + static_cast<size_t>(n)));
    at_ += static_cast<size_t>(n);
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
  bool ok_ = true;
};

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  uint8_t b[4];
  std::memcpy(b, &v, 4);
  out.insert(out.end(), b, b + 4);
}

template <class Container>
void PutCounted(std::vector<uint8_t>& out, const Container& bytes) {
  PutU32(out, static_cast<uint32_t>(bytes.size()));
  out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace

std::optional<WindowBlock> ReadWindowBlock(std::span<const uint8_t> bytes) {
  WindowBlock b;
  if (bytes.empty()) return b;
  BlockReader in(bytes);
  const uint32_t version = in.U32();
  if (!in.ok() || version > WindowBlock::kVersion) return std::nullopt;
  for (int32_t* field : {&b.border, &b.pictureLayout}) in.Int(*field);
  b.background = in.U32();
  for (int32_t* field : {&b.maximiseButton, &b.minimiseButton, &b.controlBox, &b.startPosition, &b.movable,
                         &b.soundMode, &b.enterMovesFocus, &b.escCloses, &b.f1Help, &b.helpContext})
    in.Int(*field);
  if (version > 1) in.Int(b.showInTaskbar);
  if (version > 2) {
    in.Int(b.dragByClient);
    in.Int(b.shape);
  }
  if (version > 3) in.Int(b.alwaysOnTop);
  if (version > 4) in.Int(b.keepTitleActive);
  if (version == 6) in.Counted(b.className);
  in.Counted(b.picture);
  in.Counted(b.icon);
  in.Counted(b.sound);
  in.Counted(b.title);
  in.Counted(b.helpFile);
  if (!in.ok()) return std::nullopt;
  return b;
}

std::vector<uint8_t> WriteWindowBlock(const WindowBlock& b) {
  std::vector<uint8_t> out;
  out.reserve(100 + b.picture.size() + b.icon.size() + b.sound.size() + b.title.size());
  PutU32(out, WindowBlock::kVersion);
  for (int32_t v : {b.border, b.pictureLayout}) PutU32(out, static_cast<uint32_t>(v));
  PutU32(out, b.background);
  for (int32_t v : {b.maximiseButton, b.minimiseButton, b.controlBox, b.startPosition, b.movable, b.soundMode,
                    b.enterMovesFocus, b.escCloses, b.f1Help, b.helpContext, b.showInTaskbar, b.dragByClient,
                    b.shape, b.alwaysOnTop, b.keepTitleActive})
    PutU32(out, static_cast<uint32_t>(v));
  PutCounted(out, b.className);
  PutCounted(out, b.picture);
  PutCounted(out, b.icon);
  PutCounted(out, b.sound);
  PutCounted(out, b.title);
  PutCounted(out, b.helpFile);
  return out;
}

}  // namespace runtime::forms

#include "runtime/units/window/window_block.h"

#include "runtime/core/type_block.h"

namespace runtime::units::window {

std::optional<WindowBlock> ReadWindowBlock(std::span<const uint8_t> bytes) {
  WindowBlock b;
  if (bytes.empty()) return b;
  TypeBlockReader in(bytes);
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
                    b.enterMovesFocus, b.escCloses, b.f1Help, b.helpContext, b.showInTaskbar, b.dragByClient, b.shape,
                    b.alwaysOnTop, b.keepTitleActive})
    PutU32(out, static_cast<uint32_t>(v));
  PutCounted(out, b.className);
  PutCounted(out, b.picture);
  PutCounted(out, b.icon);
  PutCounted(out, b.sound);
  PutCounted(out, b.title);
  PutCounted(out, b.helpFile);
  return out;
}

}  // namespace runtime::units::window

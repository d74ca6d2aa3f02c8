// The window unit (type 0x00010001): a top-level window built from its block,
// painting its background colour and picture, raising the window's events.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/base/types.h"
#include "runtime/core/program.h"
#include "runtime/forms/window_block.h"
#include "runtime/picture/gdi_scoped.h"
#include "runtime/picture/picture.h"

namespace runtime::forms {

inline constexpr uint32_t kWindowTypeCode = 0x00010001;

// Private messages the loader sends to every unit.
inline constexpr platform::UINT kUnitLoaded = 0x806F;
inline constexpr platform::UINT kWindowLoaded = 0x8004;
inline constexpr platform::UINT kUnitShown = 0x8076;

// Window events.
namespace window_event {
inline constexpr int32_t kCreated = 0;
inline constexpr int32_t kQueryClose = 1;
inline constexpr int32_t kDestroyed = 2;
inline constexpr int32_t kMoved = 3;
inline constexpr int32_t kSized = 4;
inline constexpr int32_t kIdle = 7;
inline constexpr int32_t kShown = 10;
inline constexpr int32_t kHidden = 11;
inline constexpr int32_t kClosing = 12;
inline constexpr int32_t kFocusGained = -7;
inline constexpr int32_t kFocusLost = -8;
}  // namespace window_event

class WindowUnit final : public UnitObject {
 public:
  WindowUnit(WindowId window, UnitId unit, WindowBlock block);
  ~WindowUnit() override;
  platform::HWND WindowHandle() const override { return hwnd_; }

  static UnitObject* Create(const CreateParams& params);

  WindowId Window() const { return window_; }
  UnitId Unit() const { return unit_; }
  const WindowBlock& Block() const { return block_; }
  WindowBlock& MutableBlock() { return block_; }
  // The background changed: drop what was decoded and repaint.
  void BackgroundChanged();

  bool firstShow = false;
  bool modal = false;
  // Windows this modal window disabled, with their enabled state before.
  std::vector<std::pair<platform::HWND, bool>> disabled;
  platform::HACCEL accelerators = 0;

  // Re-enables what the modal window disabled.
  void ReleaseDisabled();

 private:
  static platform::LRESULT Proc(platform::HWND hwnd, platform::UINT message, platform::WPARAM wParam,
                                platform::LPARAM lParam);
  platform::LRESULT Handle(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam);
  void Paint();
  void OnClose();
  // Raises one of the window's events; the record carries the result.
  EventRecord Raise(int32_t key);
  bool IsChild() const;
  void OnFinalDestroy();

  platform::HWND hwnd_ = 0;
  WindowId window_;
  UnitId unit_;
  WindowBlock block_;
  // The background picture, decoded once; for the stretched layout also the
  // client area's rendering, rebuilt only when the size changes.
  picture::PicturePtr picture_;
  bool pictureTried_ = false;
  picture::OwnedGdiObject rendered_;
  platform::SIZE renderedSize_{0, 0};
};

// The window type's descriptor (name, flags, 32 properties, entry).
const UnitTypeDescriptor& WindowUnitType();

}  // namespace runtime::forms

// The window unit (type 0x00010001): a top-level window built from its block,
// painting its background colour and picture, raising the window's events.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/base/types.h"
#include "platform/gdi/owners.h"
#include "runtime/core/program.h"
#include "runtime/forms/loaded_window.h"
#include "runtime/picture/picture.h"
#include "runtime/units/window/window_block.h"

namespace runtime::units::window {

inline constexpr uint32_t kWindowTypeCode = 0x00010001;

class WindowUnit final : public forms::LoadedWindow {
 public:
  WindowUnit(WindowId window, UnitId unit, WindowBlock block);
  ~WindowUnit() override;
  platform::HWND WindowHandle() const override { return hwnd_; }

  static UnitObject* Create(const CreateParams& params);

  WindowId Window() const { return window_; }
  UnitId Unit() const { return unit_; }
  const WindowBlock& Block() const { return block_; }
  WindowBlock& MutableBlock() { return block_; }
  forms::StartPosition StartsAs() const override { return static_cast<forms::StartPosition>(block_.startPosition); }
  // The background changed: drop what was decoded and repaint.
  void BackgroundChanged();

  platform::HACCEL accelerators = 0;

  // The keys the window's block gives it (Esc, Enter, Tab, F1), offered
  // before any of its units sees them.
  bool PreTranslateMessage(const void* msg) override;

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
  // window_input.cpp: what keys do, the pointer over the window and its
  // units, dragging by the client area.
  bool TakesKey(platform::UINT key, bool act);
  void MoveFocus(bool backwards);
  platform::LRESULT SetPointer(platform::HWND over);
  bool Drag(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam);
  void TakeBackground();

  platform::HWND hwnd_ = 0;
  WindowId window_;
  UnitId unit_;
  WindowBlock block_;
  // The background picture's rendering at the size it is shown at, rebuilt
  // only when that size changes. The decoded picture is kept only while a
  // frame the user can drag may ask for another size (stretched layout);
  // otherwise it is decoded again for a new rendering. Its size is known
  // once it has decoded.
  picture::PicturePtr picture_;
  bool pictureTried_ = false;
  platform::SIZE pictureSize_{0, 0};
  platform::OwnedGdiObject rendered_;
  platform::SIZE renderedSize_{0, 0};
  bool dragging_ = false;
  platform::POINT dragFrom_{0, 0};  // client point the drag holds under the pointer
};

// The window type's descriptor (name, flags, 32 properties, entry).
const UnitTypeDescriptor& WindowUnitType();

}  // namespace runtime::units::window

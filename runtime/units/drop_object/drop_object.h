// The drop object unit (type 0x00020001): a hidden child window that, once
// handed a window, takes the drops made on it through its QDropTarget.
#pragma once

#include <cstdint>

#include "platform/base/types.h"
#include "runtime/core/program.h"
#include "runtime/units/drop_object/drop_target.h"

namespace runtime::units::drop_object {

inline constexpr uint32_t kDropObjectTypeCode = 0x00020001;

class DropObject final : public UnitObject, private DropTargetOwner {
 public:
  // None when the block is unreadable or the window cannot be made.
  static UnitObject* Create(const CreateParams& params);

  platform::HWND WindowHandle() const override { return hwnd_; }
  DropProperties& Properties() { return target_.Properties(); }
  QDropTarget& Target() { return target_; }

  // Makes `window` a drop target of this unit; a unit takes one window in
  // its life, so every call after the first is false, also after a failed
  // first one.
  bool RegisterWindow(platform::HWND window);

 private:
  DropObject(const DropProperties& properties, const CreateParams& params);
  ~DropObject() override = default;

  bool Alive() const override { return !windowGone_; }
  void TargetUnused() override;

  static platform::LRESULT Proc(platform::HWND hwnd, platform::UINT message, platform::WPARAM wParam,
                                platform::LPARAM lParam);
  void Paint();
  void OnFinalDestroy();

  platform::HWND registered_ = 0;
  bool registrationHeld_ = false;  // registered_ took this unit's target
  WindowId window_;
  UnitId unit_;
  int32_t designer_;
  platform::HWND parent_;
  platform::HWND hwnd_ = 0;
  bool windowGone_ = false;
  QDropTarget target_;
};

// The unit's descriptor: name, flags 0x80008040, 12 properties, entry.
const UnitTypeDescriptor& DropObjectUnitType();

// The library's one command, the unit's method: (unit reference, window
// handle) -> boolean.
void RegisterWindowMethod(ArgRecord* result, int32_t count, ArgRecord* args);

}  // namespace runtime::units::drop_object

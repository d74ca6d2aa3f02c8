// What the loader keeps of a loaded window: the object of its window record,
// which is modal or not, remembers the windows it disabled while modal and
// whether its first show is still to come; the private messages the loader
// sends to every unit; and the window's events.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/base/types.h"
#include "runtime/core/program.h"

namespace runtime::forms {

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

// Where a window starts (its block's start position).
enum class StartPosition : int32_t { AsStored = 0, Centred = 1, Minimised = 2, Maximised = 3 };

class LoadedWindow : public UnitObject {
 public:
  virtual StartPosition StartsAs() const = 0;

  bool firstShow = false;
  bool modal = false;
  // Windows this modal window disabled, with their enabled state before.
  std::vector<std::pair<platform::HWND, bool>> disabled;

  // Re-enables what the modal window disabled.
  void ReleaseDisabled();
};

}  // namespace runtime::forms

// What the windows of all unit types share: their class, the unit object
// kept in each window and the message that asks a window for it, and the
// colours they paint.
#pragma once

#include "platform/base/types.h"
#include "platform/windows/window.h"
#include "runtime/core/program.h"

namespace runtime {

// A unit's window answers this with its UnitObject (as the result); the
// message loop asks it before dispatching.
inline constexpr platform::UINT kAskRuntimeObject = 0x8002;

// A stored colour that stands for the system's button-face colour.
inline constexpr platform::COLORREF kButtonFaceColour = 0xFF000000;

// The colour a unit paints for a stored one.
platform::COLORREF PaintColour(platform::COLORREF stored);

// Registers the window class `name` unless it exists: redrawn whole on
// resizing, double clicks, the arrow cursor, and `procedure` (units that set
// each window's own procedure at creation leave the default).
void EnsureUnitClass(const char* name, platform::WNDPROC procedure = platform::DefWindowProcA,
                     platform::HBRUSH background = 0);

// A unit object kept in its window's data, and the window's procedure set to
// `procedure`; a null unit only clears the data.
void AttachUnit(platform::HWND window, void* unit, platform::WNDPROC procedure = nullptr);
void* AttachedObject(platform::HWND window);
template <class Unit>
Unit* AttachedUnit(platform::HWND window) {
  return static_cast<Unit*>(AttachedObject(window));
}

// The answer of a unit's window to kAskRuntimeObject, and the question.
platform::LRESULT RuntimeObjectAnswer(UnitObject* object);
UnitObject* AskRuntimeObject(platform::HWND window);

}  // namespace runtime

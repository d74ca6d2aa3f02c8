// The drag dispatcher that backends feed: one drag at a time, in screen
// coordinates. It finds the registered target under each point (the deepest
// window there, then up through its parents), tells a target it was left
// when the drag moves to another, and calls every target on its window's
// thread. Callable from any thread.
#pragma once

#include "platform/ole/ole_drop.h"

namespace platform {

// The drag carrying `data` is at `screen`: enters the target there (leaving
// the one before) or moves over it. Returns the effect the target chose,
// DROPEFFECT_NONE where no target takes drops. A drag with another data
// object first ends the one in progress.
DWORD DispatchDragMove(IDataObject* data, POINT screen, DWORD keyState, DWORD allowedEffects);
// Drops on the target of the last move and ends the drag. As on the
// desktop, a target whose last answer was DROPEFFECT_NONE is left instead.
// Returns what the target's Drop returned, or DRAGDROP_S_CANCEL when no
// drop was made; `effect` (may be null) gets the effect the target chose,
// DROPEFFECT_NONE without a drop.
HRESULT DispatchDrop(DWORD keyState, DWORD allowedEffects, DWORD* effect);
// The drag left every window or was given up.
void DispatchDragLeave();
// True from the first move of a drag until its drop or leave.
bool DragInProgress();

}  // namespace platform

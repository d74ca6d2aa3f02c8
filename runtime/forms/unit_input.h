// What a window does for its units' keyboard and mouse: the order the focus
// moves in, whether a unit keeps a key for itself, and the pointer a unit
// shows.
#pragma once

#include <cstdint>

#include "platform/base/types.h"
#include "runtime/forms/window_table.h"

namespace runtime::forms {

// The record the focus moves to from the window `from` (a unit's, or any
// other) with Tab (backwards: Shift+Tab): the next unit in tab order that
// can take the focus, wrapping round; from outside the units, the first (the
// last backwards). Units take part when they are live, visible, enabled and
// marked as tab stops, and their type may hold the focus; ties in the tab
// order go by record order. kNoIndex when no unit can take it.
int32_t NextInTabOrder(const WindowTable& table, const WindowDefinition& definition, platform::HWND from,
                       bool backwards);

// True when the unit whose window is `hwnd` answers its type's key query
// with 1 for `key`.
bool UnitKeepsKey(const WindowTable& table, const WindowDefinition& definition, platform::HWND hwnd, int32_t key);

// The pointer of the unit (or the window, record 0) whose window is `hwnd`:
// its cursor slot; 0 when it has none of its own.
platform::HCURSOR UnitPointer(const WindowTable& table, const WindowDefinition& definition, platform::HWND hwnd);

}  // namespace runtime::forms

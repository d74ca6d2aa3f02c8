// Loading a window definition into live windows, showing it, and tearing it
// down again.
#pragma once

#include <cstdint>
#include <span>

#include "platform/base/types.h"
#include "runtime/core/program.h"
#include "runtime/forms/window_definition.h"

namespace runtime::forms {

// The record notify::kLoadWindow passes.
struct LoadRequest {
  WindowId window = 0;
  UnitObject* owner = nullptr;
  int32_t modal = 0;
};

// The load in its thirteen steps; false on failure (nothing is left loaded).
bool Load(WindowDefinition& definition, bool modal, platform::HWND owner);
// notify::kLoadWindow: 0 on success, -1 on failure.
intptr_t LoadFromRequest(const LoadRequest* request);
// The window show routine.
void ShowLoadedWindow(WindowDefinition& definition, bool show);
// After the window object is gone: cursors released, notify::kObjectDestroyed.
void TeardownWindow(WindowId window);

// A unit's cursor from its stored mouse pointer block; 0 for none.
platform::HCURSOR BuildCursor(std::span<const uint8_t> block);
void DestroyUnitCursor(platform::HCURSOR cursor);

}  // namespace runtime::forms

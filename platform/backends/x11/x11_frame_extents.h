// The window manager's frame around a client window: its sizes
// (_NET_FRAME_EXTENTS), asked for before the first map, and where to ask
// for a window so that the frame, not the client area, lands centred where
// the program wants it. A manager reads a requested position as the
// frame's corner.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <optional>

#include "platform/base/backend.h"

namespace platform::x11 {

struct FrameExtents {
  long left = 0, right = 0, top = 0, bottom = 0;
  bool operator==(const FrameExtents&) const = default;
};

// A window manager runs on the display (_NET_SUPPORTING_WM_CHECK on the root).
bool WindowManagerRuns(Display* display);
// The frame sizes the manager has set on `window`; none when unset or unbelievable.
std::optional<FrameExtents> ReadFrameExtents(Display* display, ::Window window);
// Asks the manager for the frame it will give `window` (not mapped yet) and
// waits up to `limit` for the answer; `lost` ends the wait early.
std::optional<FrameExtents> AskFrameExtents(Display* display, ::Window window, std::chrono::milliseconds limit,
                                            const bool& lost);

// The corner to ask for so that a frame of `extents` around a client area
// of `client` size is centred on `centredOn`.
POINT CentredFrameCorner(const RECT& centredOn, SIZE client, const FrameExtents& extents);
// Where to ask for a top-level window: without a manager's frame its own
// corner, where the program's client area is; with one, the corner that
// centres the manager's frame on the program's own frame (the two differ by
// a few pixels of caption and border, shared out on both sides).
POINT RequestedPosition(const TopLevelState& state, const std::optional<FrameExtents>& extents);

}  // namespace platform::x11

#include "platform/ole/drag_dispatch.h"

#include <functional>
#include <utility>

#include "platform/base/system.h"
#include "platform/ole/drop_registry.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/window.h"

namespace platform {
namespace {

// The nearest registered window at or above the deepest window under the
// point; 0 for none. Popups stop the walk: their owner is not a parent.
HWND TargetWindowAt(POINT screen) {
  for (HWND hwnd = WindowFromPoint(screen); hwnd;) {
    {
      DropRegistry& registry = Drops();
      std::lock_guard lock(registry.mutex);
      if (registry.targets.contains(hwnd)) return hwnd;
    }
    if (!(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) break;
    hwnd = GetParent(hwnd);
  }
  return 0;
}

// Calls the target of `window` on the window's thread, looked up there so
// that a registration ended meanwhile is not called. False when no call
// was made.
bool CallTarget(HWND window, const std::function<void(IDropTarget&)>& call) {
  std::thread::id thread;
  {
    DropRegistry& registry = Drops();
    std::lock_guard lock(registry.mutex);
    auto it = registry.targets.find(window);
    if (it == registry.targets.end()) return false;
    thread = it->second.thread;
  }
  bool called = false;
  CallOnThread(thread, [&] {
    ComRef<IDropTarget> target;  // kept alive through the call even if revoked in it
    {
      DropRegistry& registry = Drops();
      std::lock_guard lock(registry.mutex);
      auto it = registry.targets.find(window);
      if (it == registry.targets.end()) return;
      target = ComRef<IDropTarget>::Share(it->second.target.get());
    }
    call(*target.get());
    called = true;
  });
  return called;
}

// Takes the drag out of the registry, so that calls made from inside a
// target see no drag in progress.
DragSession TakeSession() {
  DropRegistry& registry = Drops();
  std::lock_guard lock(registry.mutex);
  return std::exchange(registry.drag, DragSession{});
}

// Ends `session`: its target is left, then its data released.
void Leave(DragSession session) {
  if (session.target) CallTarget(session.target, [](IDropTarget& target) { target.DragLeave(); });
}

}  // namespace

DWORD DispatchDragMove(IDataObject* data, POINT screen, DWORD keyState, DWORD allowedEffects) {
  if (!data) return DROPEFFECT_NONE;
  DragSession session = TakeSession();
  if (session.data.get() != data) {
    Leave(std::exchange(session, DragSession{}));
    session.data = ComRef<IDataObject>::Share(data);
  }
  const POINTL point{screen.x, screen.y};
  const HWND target = TargetWindowAt(screen);
  DWORD effect = allowedEffects;
  bool answered = false;
  if (target != session.target) {
    if (session.target) CallTarget(session.target, [](IDropTarget& t) { t.DragLeave(); });
    answered = target && CallTarget(target, [&](IDropTarget& t) {
                 if (FAILED(t.DragEnter(data, keyState, point, &effect))) effect = DROPEFFECT_NONE;
               });
  } else if (target) {
    answered = CallTarget(target, [&](IDropTarget& t) {
      if (FAILED(t.DragOver(keyState, point, &effect))) effect = DROPEFFECT_NONE;
    });
  }
  session.target = answered ? target : 0;
  session.effect = answered ? effect : DROPEFFECT_NONE;
  session.point = point;
  const DWORD chosen = session.effect;
  {
    DropRegistry& registry = Drops();
    std::lock_guard lock(registry.mutex);
    // A drag begun from inside a target call meanwhile gives way to this one.
    std::swap(registry.drag, session);
  }
  if (session.data) Leave(std::move(session));
  return chosen;
}

HRESULT DispatchDrop(DWORD keyState, DWORD allowedEffects, DWORD* effect) {
  DragSession session = TakeSession();
  DWORD chosen = DROPEFFECT_NONE;
  HRESULT result = DRAGDROP_S_CANCEL;
  if (session.target && session.effect != DROPEFFECT_NONE) {
    DWORD written = allowedEffects;
    if (CallTarget(session.target,
                   [&](IDropTarget& t) { result = t.Drop(session.data.get(), keyState, session.point, &written); }))
      chosen = written;
    session.target = 0;  // a target that had the drop is not left as well
  }
  Leave(std::move(session));
  if (effect) *effect = chosen;
  return result;
}

void DispatchDragLeave() { Leave(TakeSession()); }

bool DragInProgress() {
  DropRegistry& registry = Drops();
  std::lock_guard lock(registry.mutex);
  return static_cast<bool>(registry.drag.data);
}

}  // namespace platform

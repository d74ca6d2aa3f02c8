#include "runtime/core/services/message_loop.h"

#include <algorithm>
#include <vector>

#include "platform/windows/window.h"
#include "runtime/core/application.h"
#include "runtime/core/message_pump.h"
#include "runtime/core/runtime_calls.h"

namespace runtime::services {
namespace {

using namespace platform;

constexpr int32_t kIdleEventKey = 7;

struct IdleState {
  DWORD start = 0;
  std::vector<WindowId> finished;
};

// One idle step; false turns idle processing off.
bool IdleStep(int32_t count, IdleState& state) {
  if (count == 0) {
    state.start = GetTickCount();
    state.finished.clear();
  }
  if (count <= 1) return true;
  WindowRegistry* registry = InstalledWindowRegistry();
  if (!registry) return false;
  bool anyIdling = false;
  for (WindowId window : registry->LiveWindows()) {
    if (std::find(state.finished.begin(), state.finished.end(), window) != state.finished.end()) continue;
    const EventRecord record =
        Runtime().RaiseEvent(window, 0, kIdleEventKey, {static_cast<int32_t>(GetTickCount() - state.start)});
    if (record.resultFlag && record.result)
      anyIdling = true;
    else
      state.finished.push_back(window);
  }
  return anyIdling;
}

void RunIdleRoutines() {
  Application& app = App();
  for (size_t i = app.idleRoutines.size(); i-- > 0;) {
    if (i >= app.idleRoutines.size()) continue;  // a routine removed entries
    IdleEntry entry = app.idleRoutines[i];
    if (!IsWindow(entry.window)) {
      app.idleRoutines.erase(app.idleRoutines.begin() + static_cast<ptrdiff_t>(i));
      continue;
    }
    entry.routine(entry.argument);
  }
}

bool WantsIdleAgain(const MSG& msg, POINT& lastMouse) {
  if (msg.message == WM_PAINT || msg.message == WM_SYSTIMER) return false;
  if (msg.message == WM_MOUSEMOVE) {
    const POINT p = PointFromLParam(msg.lParam);
    bool moved = p.x != lastMouse.x || p.y != lastMouse.y;
    lastMouse = p;
    return moved;
  }
  return true;
}

// The normal loop, or with `modalEnded` the modal one: it returns when that
// says the modal window is gone, and leaves a WM_QUIT in the queue for the
// loop outside it.
void RunLoop(const std::function<bool()>& modalEnded) {
  Application& app = App();
  bool idle = true;
  int32_t idleCount = 0;
  IdleState state;
  POINT lastMouse{-1, -1};
  MSG msg;
  for (;;) {
    while (idle && !PeekMessageA(&msg, 0, 0, 0, PM_NOREMOVE)) {
      RunIdleRoutines();
      if (!IdleStep(idleCount++, state)) idle = false;
      if (modalEnded && modalEnded()) return;
    }
    do {
      if (modalEnded && PeekMessageA(&msg, 0, 0, 0, PM_NOREMOVE) && msg.message == WM_QUIT) return;
      bool more = GetMessageA(&msg, 0, 0, 0);
      if (!more) {
        app.lastQuitCode = static_cast<int32_t>(msg.wParam);
        return;
      }
      if (!OfferToRuntimeObjects(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      if (modalEnded && modalEnded()) return;
      if (WantsIdleAgain(msg, lastMouse)) {
        idle = true;
        idleCount = 0;
      }
    } while (PeekMessageA(&msg, 0, 0, 0, PM_NOREMOVE));
  }
}

}  // namespace

void RunMessageLoop() {
  Application& app = App();
  app.loopStarted = true;
  const WindowRegistry* registry = InstalledWindowRegistry();
  if (!registry || !registry->AnyWindowAlive()) return;
  RunLoop(nullptr);
}

void RunModalLoop(const std::function<bool()>& modalEnded) {
  if (modalEnded && !modalEnded()) RunLoop(modalEnded);
}

}  // namespace runtime::services

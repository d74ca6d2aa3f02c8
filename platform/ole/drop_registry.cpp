// OLE initialisation per thread and the drop target of each window.
#include "platform/ole/drop_registry.h"

#include "platform/windows/window_manager.h"

namespace platform {
namespace {

// Removes a window's registration and hands back its reference, released
// by the caller outside the lock: the target may call back in.
ComRef<IDropTarget> TakeRegistration(HWND window) {
  DropRegistry& registry = Drops();
  std::lock_guard lock(registry.mutex);
  auto it = registry.targets.find(window);
  if (it == registry.targets.end()) return {};
  ComRef<IDropTarget> target = std::move(it->second.target);
  registry.targets.erase(it);
  return target;
}

}  // namespace

HRESULT OleInitialize(void* /*reserved*/) {
  DropRegistry& registry = Drops();
  std::lock_guard lock(registry.mutex);
  return registry.oleInitialised[std::this_thread::get_id()]++ == 0 ? S_OK : S_FALSE;
}

void OleUninitialize() {
  DropRegistry& registry = Drops();
  std::lock_guard lock(registry.mutex);
  auto it = registry.oleInitialised.find(std::this_thread::get_id());
  if (it != registry.oleInitialised.end() && --it->second <= 0) registry.oleInitialised.erase(it);
}

HRESULT RegisterDragDrop(HWND window, IDropTarget* target) {
  if (!target) return E_INVALIDARG;
  std::thread::id thread;
  {
    auto locked = LockWindow(window);
    if (!locked || locked->destroying) return DRAGDROP_E_INVALIDHWND;
    thread = locked->thread;
  }
  DropRegistry& registry = Drops();
  {
    std::lock_guard lock(registry.mutex);
    if (!registry.oleInitialised.contains(std::this_thread::get_id())) return CO_E_NOTINITIALIZED;
    if (registry.targets.contains(window)) return DRAGDROP_E_ALREADYREGISTERED;
    // Taken before the registration is seen: a revoke on another thread
    // could otherwise release a reference not yet taken.
    registry.targets[window] = DropRegistration{ComRef<IDropTarget>::Share(target), thread};
  }
  return S_OK;
}

HRESULT RevokeDragDrop(HWND window) {
  const ComRef<IDropTarget> target = TakeRegistration(window);
  if (!target) return IsWindow(window) ? DRAGDROP_E_NOTREGISTERED : DRAGDROP_E_INVALIDHWND;
  return S_OK;
}

DropRegistry::DropRegistry() { Manager().OnWindowGone(&ForgetDropTarget); }

DropRegistry::~DropRegistry() {
  for (auto& entry : targets) static_cast<void>(entry.second.target.Detach());
  static_cast<void>(drag.data.Detach());
}

void ForgetDropTarget(HWND window) {
  TakeRegistration(window);  // released here, after the lock
}

}  // namespace platform

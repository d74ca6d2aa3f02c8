// OLE initialisation per thread and the drop target of each window.
#include "platform/ole/drop_registry.h"

#include "platform/windows/window_manager.h"

namespace platform {
namespace {


// Removes a window's registration and hands back its reference to release,
// which the caller does outside the lock: the target may call back in.
IDropTarget* TakeRegistration(HWND window) {
  DropRegistry& registry = Drops();
  std::lock_guard lock(registry.mutex);
  auto it = registry.targets.find(window);
  if (it == registry.targets.end()) return nullptr;
  IDropTarget* target = it->second.target;
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
    registry.targets[window] = DropRegistration{target, thread};
  }
  target->AddRef();
  return S_OK;
}

HRESULT RevokeDragDrop(HWND window) {
  IDropTarget* target = TakeRegistration(window);
  if (!target) return IsWindow(window) ? DRAGDROP_E_NOTREGISTERED : DRAGDROP_E_INVALIDHWND;
  target->Release();
  return S_OK;
}

DropRegistry::DropRegistry() { Manager().OnWindowGone(&ForgetDropTarget); }

void ForgetDropTarget(HWND window) {
  if (IDropTarget* target = TakeRegistration(window)) target->Release();
}

}  // namespace platform

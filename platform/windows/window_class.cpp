// Window classes: registration by case-blind name, and the calls on them.
#include <cctype>

#include "platform/base/last_error.h"
#include "platform/windows/window_manager.h"

namespace platform {
namespace {

std::string ClassKey(std::string_view name) {
  std::string key(name);
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

}  // namespace

bool WindowManager::RegisterClass(const WNDCLASSA& info) {
  std::lock_guard lock(mutex_);
  std::string key = ClassKey(info.lpszClassName);
  if (classes_.count(key)) return false;
  auto cls = std::make_shared<WindowClass>();
  cls->info = info;
  cls->name = info.lpszClassName;
  cls->info.lpszClassName = nullptr;  // the caller's pointer need not outlive this
  classes_[key] = std::move(cls);
  return true;
}

std::shared_ptr<const WindowClass> WindowManager::FindClass(const std::string& name) const {
  std::lock_guard lock(mutex_);
  auto it = classes_.find(ClassKey(name));
  return it == classes_.end() ? nullptr : it->second;
}
WORD RegisterClassA(const WNDCLASSA* wc) {
  if (!wc || !wc->lpszClassName || !*wc->lpszClassName || !wc->lpfnWndProc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!Manager().RegisterClass(*wc)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  return 0xC000;
}

BOOL GetClassInfoA(const char* className, WNDCLASSA* out) {
  if (!className) return FALSE;
  auto cls = Manager().FindClass(className);
  if (!cls) return FALSE;
  if (out) *out = cls->info;
  return TRUE;
}

}  // namespace platform

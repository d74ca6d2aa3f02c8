// Keys held and the messages a key from the display becomes.
#include "platform/windows/keyboard.h"
#include "platform/windows/message_queue.h"

#include <array>
#include <mutex>

#include "platform/base/system.h"
#include "platform/windows/native_events.h"
#include "platform/windows/window.h"

namespace platform {
namespace {

struct KeyboardState {
  std::mutex mutex;
  std::array<bool, 256> down{};  // as the display says now
  std::array<bool, 256> held{};  // as of the key messages taken so far
};

KeyboardState& Keys() { return System::Get().Part<KeyboardState>(); }

// Returns whether it was down before.
bool SetDown(UINT key, bool down) {
  KeyboardState& keys = Keys();
  std::lock_guard lock(keys.mutex);
  const bool was = keys.down[key];
  keys.down[key] = down;
  return was;
}

void SetHeld(UINT key, bool held) {
  KeyboardState& keys = Keys();
  std::lock_guard lock(keys.mutex);
  keys.held[key] = held;
}

constexpr LPARAM kAltHeld = LPARAM{1} << 29;
constexpr LPARAM kWasDown = LPARAM{1} << 30;
constexpr LPARAM kReleased = LPARAM{1} << 31;

}  // namespace

int16_t GetKeyState(int virtualKey) {
  if (virtualKey < 0 || virtualKey > 0xFF) return 0;
  KeyboardState& keys = Keys();
  std::lock_guard lock(keys.mutex);
  return keys.held[static_cast<size_t>(virtualKey)] ? static_cast<int16_t>(0x8000) : 0;
}

void KeyMessageTaken(const MSG& msg) {
  const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
  if ((down || msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) && msg.wParam <= 0xFF)
    SetHeld(static_cast<UINT>(msg.wParam), down);
}

void NativeKey(HWND hwnd, UINT virtualKey, bool pressed, std::string_view ansi) {
  // A key we have no code for may still type a character.
  if (virtualKey > 0xFF || (virtualKey == 0 && ansi.empty())) return;
  const bool wasDown = virtualKey && SetDown(virtualKey, pressed);
  if (!IsWindow(hwnd) || !IsWindowEnabled(hwnd)) {
    if (virtualKey) SetHeld(virtualKey, pressed);  // no message will say so
    return;
  }
  HWND target = GetFocus();
  if (!target || GetAncestorRoot(target) != hwnd || !IsWindowEnabled(target)) target = hwnd;
  // With Alt (and not Ctrl, which makes AltGr) keys are the system's.
  bool altDown, controlDown;
  {
    KeyboardState& keys = Keys();
    std::lock_guard lock(keys.mutex);
    altDown = keys.down[VK_MENU];
    controlDown = keys.down[VK_CONTROL];
  }
  const bool alt = altDown && !controlDown;
  const bool system = alt || virtualKey == VK_F10 || (virtualKey == VK_MENU && !controlDown);
  LPARAM flags = 1;  // one repeat
  if (alt) flags |= kAltHeld;
  if (pressed) {
    if (wasDown) flags |= kWasDown;
    if (virtualKey) PostMessageA(target, system ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey, flags);
    for (char byte : ansi) PostMessageA(target, system ? WM_SYSCHAR : WM_CHAR, static_cast<unsigned char>(byte), flags);
  } else if (virtualKey) {
    PostMessageA(target, system ? WM_SYSKEYUP : WM_KEYUP, virtualKey, flags | kWasDown | kReleased);
  }
}

}  // namespace platform

#include "platform/backends/x11/x11_keyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <array>
#include <utility>

#include "platform/text/ansi_text.h"
#include "platform/text/utf8.h"
#include "platform/windows/keyboard.h"

namespace platform::x11 {
namespace {

constexpr std::array<std::pair<KeySym, unsigned>, 44> kKeys{{
    {XK_BackSpace, VK_BACK},
    {XK_Tab, VK_TAB},
    {XK_ISO_Left_Tab, VK_TAB},
    {XK_Return, VK_RETURN},
    {XK_KP_Enter, VK_RETURN},
    {XK_Shift_L, VK_SHIFT},
    {XK_Shift_R, VK_SHIFT},
    {XK_Control_L, VK_CONTROL},
    {XK_Control_R, VK_CONTROL},
    {XK_Alt_L, VK_MENU},
    {XK_Alt_R, VK_MENU},
    {XK_Meta_L, VK_MENU},
    {XK_Pause, VK_PAUSE},
    {XK_Caps_Lock, VK_CAPITAL},
    {XK_Escape, VK_ESCAPE},
    {XK_space, VK_SPACE},
    {XK_Prior, VK_PRIOR},
    {XK_Next, VK_NEXT},
    {XK_End, VK_END},
    {XK_Home, VK_HOME},
    {XK_Left, VK_LEFT},
    {XK_Up, VK_UP},
    {XK_Right, VK_RIGHT},
    {XK_Down, VK_DOWN},
    {XK_Insert, VK_INSERT},
    {XK_Delete, VK_DELETE},
    {XK_KP_Prior, VK_PRIOR},
    {XK_KP_Next, VK_NEXT},
    {XK_KP_End, VK_END},
    {XK_KP_Home, VK_HOME},
    {XK_KP_Left, VK_LEFT},
    {XK_KP_Up, VK_UP},
    {XK_KP_Right, VK_RIGHT},
    {XK_KP_Down, VK_DOWN},
    {XK_KP_Insert, VK_INSERT},
    {XK_KP_Delete, VK_DELETE},
    {XK_KP_Multiply, VK_MULTIPLY},
    {XK_KP_Add, VK_ADD},
    {XK_KP_Subtract, VK_SUBTRACT},
    {XK_KP_Decimal, VK_DECIMAL},
    {XK_KP_Divide, VK_DIVIDE},
    {XK_ISO_Level3_Shift, VK_MENU},
    {XK_KP_Space, VK_SPACE},
    {XK_KP_Tab, VK_TAB},
}};

}  // namespace

unsigned VirtualKeyOf(KeySym sym) {
  if (sym >= XK_a && sym <= XK_z) return static_cast<unsigned>('A' + (sym - XK_a));
  if (sym >= XK_A && sym <= XK_Z) return static_cast<unsigned>('A' + (sym - XK_A));
  if (sym >= XK_0 && sym <= XK_9) return static_cast<unsigned>('0' + (sym - XK_0));
  if (sym >= XK_KP_0 && sym <= XK_KP_9) return VK_NUMPAD0 + static_cast<unsigned>(sym - XK_KP_0);
  if (sym >= XK_F1 && sym <= XK_F24) return VK_F1 + static_cast<unsigned>(sym - XK_F1);
  for (const auto& [keysym, key] : kKeys)
    if (keysym == sym) return key;
  return 0;
}

char32_t CharacterOf(KeySym sym) {
  switch (sym) {
    case XK_BackSpace: return 0x08;
    case XK_Tab:
    case XK_ISO_Left_Tab:
    case XK_KP_Tab: return 0x09;
    case XK_Return:
    case XK_KP_Enter: return 0x0D;
    case XK_Escape: return 0x1B;
    case XK_KP_Space: return 0x20;
    default: break;
  }
  if (sym >= XK_KP_0 && sym <= XK_KP_9) return U'0' + static_cast<char32_t>(sym - XK_KP_0);
  if ((sym >= 0x20 && sym <= 0x7E) || (sym >= 0xA0 && sym <= 0xFF)) return static_cast<char32_t>(sym);
  // Unicode keysyms: 0x01000000 + the code point.
  if ((sym & 0xFF000000) == 0x01000000 && (sym & 0x00FFFFFF) <= 0x10FFFF) return static_cast<char32_t>(sym & 0xFFFFFF);
  return 0;
}

void AskForPlainRepeats(Display* display) {
  Bool supported = False;
  XkbSetDetectableAutoRepeat(display, True, &supported);
}

KeyInput ReadKey(XKeyEvent& event) {
  KeyInput input;
  // The key itself names the virtual key, whatever the modifiers make of it.
  const KeySym plain = XLookupKeysym(&event, 0);
  input.virtualKey = VirtualKeyOf(plain);
  if (event.type != KeyPress) return input;
  char latin1[8];
  KeySym typed = NoSymbol;
  const int length = XLookupString(&event, latin1, sizeof latin1, &typed, nullptr);
  // With Ctrl the server's answer is the control code (Ctrl+A: 1).
  char32_t c = length == 1 ? static_cast<unsigned char>(latin1[0]) : CharacterOf(typed);
  if (c == 0) return input;
  std::string utf8;
  AppendUtf8(utf8, c);
  if (auto ansi = Utf8ToAnsi(utf8)) input.ansi = *ansi;
  return input;
}

}  // namespace platform::x11

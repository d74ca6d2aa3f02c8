// Keys from the X server: the virtual-key code of a keysym and what a key
// press types, in the forms the platform's key messages carry.
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace platform::x11 {

// The virtual-key code of an unshifted keysym; 0 for a key we have none for.
unsigned VirtualKeyOf(KeySym sym);

// The character a typed keysym stands for (Latin-1 and the Unicode keysyms,
// with Return, Tab, BackSpace and Escape as their control codes); 0 for none.
char32_t CharacterOf(KeySym sym);

struct KeyInput {
  unsigned virtualKey = 0;
  std::string ansi;  // what the press types, in the ANSI code page
};

// A key held down repeats as presses alone, without a release before each,
// so a repeat reads as one (where the server's keyboard extension allows).
void AskForPlainRepeats(Display* display);

// A KeyPress or KeyRelease as the platform takes it.
KeyInput ReadKey(XKeyEvent& event);

}  // namespace platform::x11

#include "find_window.h"

namespace x11_test {
namespace {

bool HasTitle(Display* display, Window window, Atom name, const std::string& title) {
  Atom type;
  int format;
  unsigned long length, after;
  unsigned char* data = nullptr;
  const bool match = XGetWindowProperty(display, window, name, 0, 1024, False, AnyPropertyType, &type, &format, &length,
                                        &after, &data) == Success &&
                     data && std::string(reinterpret_cast<char*>(data), length) == title;
  if (data) XFree(data);
  return match;
}

// Depth first: a reparenting window manager puts the client inside its frame.
Window FindBelow(Display* display, Window parentWindow, Atom name, const std::string& title) {
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, parentWindow, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && !found; ++i)
    found = HasTitle(display, children[i], name, title) ? children[i] : FindBelow(display, children[i], name, title);
  if (children) XFree(children);
  return found;
}

}  // namespace

Window FindWindowByTitle(Display* display, const std::string& title) {
  return FindBelow(display, DefaultRootWindow(display), XInternAtom(display, "_NET_WM_NAME", False), title);
}

}  // namespace x11_test

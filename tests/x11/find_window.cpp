#include "find_window.h"

namespace x11_test {

Window FindWindowByTitle(Display* display, const std::string& title) {
  const Atom name = XInternAtom(display, "_NET_WM_NAME", False);
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    Atom type;
    int format;
    unsigned long length, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, children[i], name, 0, 1024, False, AnyPropertyType, &type, &format, &length, &after,
                           &data) == Success &&
        data && std::string(reinterpret_cast<char*>(data), length) == title)
      found = children[i];
    if (data) XFree(data);
  }
  if (children) XFree(children);
  return found;
}

}  // namespace x11_test

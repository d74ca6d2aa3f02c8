// A drag source on the command line, for trying drops on a running tool by
// hand: drags FILEs onto client point X,Y of the window titled TITLE.
//   xdnd_drag_source TITLE X,Y FILE...
#include <X11/Xlib.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "../find_window.h"
#include "../xdnd_drag_source.h"

namespace {

// file:// with every byte outside the unreserved set escaped.
std::string FileUri(const std::string& path) {
  std::string uri = "file://";
  for (unsigned char c : std::filesystem::absolute(path).string()) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      uri += static_cast<char>(c);
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      uri += escaped;
    }
  }
  return uri;
}

}  // namespace

int main(int argc, char** argv) {
  int x = 0, y = 0;
  if (argc < 4 || std::sscanf(argv[2], "%d,%d", &x, &y) != 2) {
    std::fputs("usage: xdnd_drag_source TITLE X,Y FILE...\n", stderr);
    return 2;
  }
  const char* name = std::getenv("DISPLAY");
  std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(name), XCloseDisplay);
  if (!display) return 2;
  const Window target = x11_test::FindWindowByTitle(display.get(), argv[1]);
  if (!target) {
    std::fprintf(stderr, "no window titled '%s'\n", argv[1]);
    return 1;
  }
  int rootX = 0, rootY = 0;
  Window child;
  XTranslateCoordinates(display.get(), target, DefaultRootWindow(display.get()), x, y, &rootX, &rootY, &child);
  x11_test::Drag drag;
  drag.types = {"text/uri-list", "UTF8_STRING", "text/plain", "x-special/gnome-copied-files"};
  for (int i = 3; i < argc; ++i) drag.data += FileUri(argv[i]) + "\r\n";
  drag.rootX = rootX;
  drag.rootY = rootY;
  const auto out = x11_test::RunDrag(name ? name : "", target, drag, [] { return true; });
  std::printf("status %s %s; finished %s %s\n", out.accepted ? "accepted" : "refused", out.statusAction.c_str(),
              out.finished ? (out.finishedAccepted ? "performed" : "not performed") : "never",
              out.finishedAction.c_str());
  return out.finishedAccepted ? 0 : 1;
}

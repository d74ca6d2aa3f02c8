#include "platform/backends/x11/x11_message_box.h"

#include <X11/Xatom.h>
#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include "platform/backends/x11/x11_frame_extents.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace platform::x11 {
namespace {

constexpr int kMargin = 16;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;
constexpr int kMinTextWidth = 240;
constexpr unsigned long kFaceColour = 0xF0F0F0;
constexpr unsigned long kButtonColour = 0xE1E1E1;
constexpr unsigned long kButtonEdge = 0xADADAD;
// The stop sign: a red disc with a white cross, left of the text.
constexpr int kIconSize = 32;
constexpr int kIconGap = 12;
constexpr unsigned long kStopRed = 0xD0342C;
constexpr unsigned long kStopCross = 0xFFFFFF;
// How long a window manager is given to say how large its frame will be.
constexpr auto kFrameExtentsWait = std::chrono::milliseconds(250);
// Any font that covers Chinese; fontconfig picks the best installed one.
constexpr const char* kFontPattern = "sans-serif:lang=zh-cn:pixelsize=15";

struct DisplayCloser {
  void operator()(Display* d) const { XCloseDisplay(d); }
};

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

// The box's drawing resources, released together.
class BoxPainter {
 public:
  BoxPainter(Display* display, ::Window window) : display_(display), window_(window) {
    const int screen = DefaultScreen(display);
    visual_ = DefaultVisual(display, screen);
    colormap_ = DefaultColormap(display, screen);
    font_ = XftFontOpenName(display, screen, kFontPattern);
    draw_ = XftDrawCreate(display, window, visual_, colormap_);
    XRenderColor black{0, 0, 0, 0xFFFF};
    colourOk_ = XftColorAllocValue(display, visual_, colormap_, &black, &ink_);
    gc_ = XCreateGC(display, window, 0, nullptr);
  }
  ~BoxPainter() {
    XFreeGC(display_, gc_);
    if (colourOk_) XftColorFree(display_, visual_, colormap_, &ink_);
    if (draw_) XftDrawDestroy(draw_);
    if (font_) XftFontClose(display_, font_);
  }
  BoxPainter(const BoxPainter&) = delete;
  BoxPainter& operator=(const BoxPainter&) = delete;

  bool Ready() const { return font_ && draw_ && colourOk_; }
  int LineHeight() const { return font_->ascent + font_->descent + 2; }
  int TextWidth(const std::string& utf8) const {
    XGlyphInfo extents{};
    XftTextExtentsUtf8(display_, font_, reinterpret_cast<const FcChar8*>(utf8.data()), static_cast<int>(utf8.size()),
                       &extents);
    return extents.xOff;
  }
  void Text(int x, int baseline, const std::string& utf8) {
    XftDrawStringUtf8(draw_, &ink_, font_, x, baseline, reinterpret_cast<const FcChar8*>(utf8.data()),
                      static_cast<int>(utf8.size()));
  }
  void Paint(const std::vector<std::string>& lines, int width, int height, bool stop) {
    XSetForeground(display_, gc_, kFaceColour);
    XFillRectangle(display_, window_, gc_, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (stop) StopSign(kMargin, kMargin);
    const int textLeft = TextLeft(stop);
    int baseline = kMargin + font_->ascent;
    for (const std::string& line : lines) {
      Text(textLeft, baseline, line);
      baseline += LineHeight();
    }
    const RECT button = OkButtonRect(width, height);
    XSetForeground(display_, gc_, kButtonColour);
    XFillRectangle(display_, window_, gc_, button.left, button.top, static_cast<unsigned>(button.Width()),
                   static_cast<unsigned>(button.Height()));
    XSetForeground(display_, gc_, kButtonEdge);
    XDrawRectangle(display_, window_, gc_, button.left, button.top, static_cast<unsigned>(button.Width() - 1),
                   static_cast<unsigned>(button.Height() - 1));
    const std::string label = "OK";
    Text(button.left + (button.Width() - TextWidth(label)) / 2,
         button.top + (button.Height() + font_->ascent - font_->descent) / 2, label);
    XFlush(display_);
  }

  static int TextLeft(bool stop) { return stop ? kMargin + kIconSize + kIconGap : kMargin; }

 private:
  void StopSign(int x, int y) {
    XSetForeground(display_, gc_, kStopRed);
    XFillArc(display_, window_, gc_, x, y, kIconSize, kIconSize, 0, 360 * 64);
    XSetForeground(display_, gc_, kStopCross);
    XSetLineAttributes(display_, gc_, 4, LineSolid, CapRound, JoinRound);
    const int in = kIconSize / 3, out = kIconSize - in;
    XDrawLine(display_, window_, gc_, x + in, y + in, x + out, y + out);
    XDrawLine(display_, window_, gc_, x + out, y + in, x + in, y + out);
    XSetLineAttributes(display_, gc_, 0, LineSolid, CapButt, JoinMiter);
  }

  Display* display_;
  ::Window window_;
  Visual* visual_;
  Colormap colormap_;
  XftFont* font_ = nullptr;
  XftDraw* draw_ = nullptr;
  XftColor ink_{};
  bool colourOk_ = false;
  GC gc_;
};

// An X window destroyed with its scope.
struct BoxWindow {
  Display* display;
  ::Window id;
  ~BoxWindow() { XDestroyWindow(display, id); }
};

void SetDialogHints(Display* display, ::Window window, std::string_view caption, ::Window owner, POINT at, SIZE size) {
  auto atom = [&](const char* name) { return XInternAtom(display, name, False); };
  const Atom utf8 = atom("UTF8_STRING");
  const auto* bytes = reinterpret_cast<const unsigned char*>(caption.data());
  XChangeProperty(display, window, atom("_NET_WM_NAME"), utf8, 8, PropModeReplace, bytes,
                  static_cast<int>(caption.size()));
  XChangeProperty(display, window, XA_WM_NAME, utf8, 8, PropModeReplace, bytes, static_cast<int>(caption.size()));
  Atom close = atom("WM_DELETE_WINDOW");
  XSetWMProtocols(display, window, &close, 1);
  const Atom type = atom("_NET_WM_WINDOW_TYPE_DIALOG");
  XChangeProperty(display, window, atom("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&type), 1);
  const Atom modal = atom("_NET_WM_STATE_MODAL");
  XChangeProperty(display, window, atom("_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&modal), 1);
  if (owner) XSetTransientForHint(display, window, owner);
  if (XSizeHints* hints = XAllocSizeHints()) {
    // Placed by the program: the position is the manager's frame's corner.
    hints->flags = USPosition | PPosition | PMinSize | PMaxSize | PWinGravity;
    hints->x = at.x;
    hints->y = at.y;
    hints->min_width = hints->max_width = size.cx;
    hints->min_height = hints->max_height = size.cy;
    hints->win_gravity = NorthWestGravity;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
  }
}

// The box centred on its owner's client area, or the screen without one,
// kept on the screen.
RECT PlaceBox(Display* display, int screen, ::Window owner, int width, int height) {
  const int screenWidth = DisplayWidth(display, screen), screenHeight = DisplayHeight(display, screen);
  RECT over{0, 0, screenWidth, screenHeight};
  XWindowAttributes attributes{};
  int x = 0, y = 0;
  ::Window child;
  if (owner && XGetWindowAttributes(display, owner, &attributes) &&
      XTranslateCoordinates(display, owner, RootWindow(display, screen), 0, 0, &x, &y, &child))
    over = RECT{x, y, x + attributes.width, y + attributes.height};
  const int left = std::clamp<int>((over.left + over.right - width) / 2, 0, std::max(0, screenWidth - width));
  const int top = std::clamp<int>((over.top + over.bottom - height) / 2, 0, std::max(0, screenHeight - height));
  return RECT{left, top, left + width, top + height};
}

}  // namespace

RECT OkButtonRect(int boxWidth, int boxHeight) {
  const int left = (boxWidth - kButtonWidth) / 2, top = boxHeight - kMargin - kButtonHeight;
  return RECT{left, top, left + kButtonWidth, top + kButtonHeight};
}

void RunModalMessageBox(const char* displayName, std::string_view caption, const std::string& text, unsigned long owner,
                        bool stop) {
  std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(displayName));
  if (!display) return;
  Display* d = display.get();
  const int screen = DefaultScreen(d);
  // Made at 1 × 1 first: measuring the text needs the font, the font a window.
  BoxWindow window{d, XCreateSimpleWindow(d, RootWindow(d, screen), 0, 0, 1, 1, 0, 0, kFaceColour)};
  BoxPainter painter(d, window.id);
  if (!painter.Ready()) return;  // standard error already has the text
  const std::vector<std::string> lines = SplitLines(text);
  int textWidth = kMinTextWidth;
  for (const std::string& line : lines) textWidth = std::max(textWidth, painter.TextWidth(line));
  const int width = std::min(BoxPainter::TextLeft(stop) + textWidth + kMargin, DisplayWidth(d, screen));
  const int textHeight = static_cast<int>(lines.size()) * painter.LineHeight();
  const int height = kMargin + std::max(textHeight, stop ? kIconSize : 0) + kMargin + kButtonHeight + kMargin;
  const RECT placed = PlaceBox(d, screen, owner, width, height);
  XResizeWindow(d, window.id, static_cast<unsigned>(width), static_cast<unsigned>(height));
  POINT at{placed.left, placed.top};
  SetDialogHints(d, window.id, caption, owner, at, SIZE{width, height});
  // Under a window manager its frame, not the box's corner, is centred there.
  const bool lost = false;
  if (WindowManagerRuns(d)) {
    if (auto extents = AskFrameExtents(d, window.id, kFrameExtentsWait, lost)) {
      at = CentredFrameCorner(placed, SIZE{width, height}, *extents);
      SetDialogHints(d, window.id, caption, owner, at, SIZE{width, height});
    }
  }
  XMoveWindow(d, window.id, at.x, at.y);
  XSelectInput(d, window.id, ExposureMask | ButtonPressMask | ButtonReleaseMask | KeyPressMask);
  XMapRaised(d, window.id);

  const RECT button = OkButtonRect(width, height);
  const Atom protocols = XInternAtom(d, "WM_PROTOCOLS", False), close = XInternAtom(d, "WM_DELETE_WINDOW", False);
  bool pressed = false;
  for (;;) {
    XEvent event;
    XNextEvent(d, &event);  // blocks: a waiting box takes no CPU
    switch (event.type) {
      case Expose:
        if (event.xexpose.count == 0) painter.Paint(lines, width, height, stop);
        break;
      case ButtonPress:
        pressed = event.xbutton.button == Button1 && button.Contains(event.xbutton.x, event.xbutton.y);
        break;
      case ButtonRelease:
        if (pressed && button.Contains(event.xbutton.x, event.xbutton.y)) return;
        pressed = false;
        break;
      case KeyPress: {
        const KeySym key = XLookupKeysym(&event.xkey, 0);
        if (key == XK_Return || key == XK_KP_Enter || key == XK_Escape || key == XK_space) return;
        break;
      }
      case ClientMessage:
        if (event.xclient.message_type == protocols &&
            (static_cast<unsigned long>(event.xclient.data.l[0]) & 0xFFFFFFFFul) == close)
          return;
        break;
      default: break;
    }
  }
}

}  // namespace platform::x11

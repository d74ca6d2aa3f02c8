#include "xdnd_drag_source.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <memory>

namespace x11_test {
namespace {

struct Closer {
  void operator()(Display* d) const { XCloseDisplay(d); }
};

class Source {
 public:
  Source(Display* display, Window target) : d_(display), target_(target) {
    window_ = XCreateSimpleWindow(d_, DefaultRootWindow(d_), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(d_, window_, PropertyChangeMask);
  }
  ~Source() { XDestroyWindow(d_, window_); }

  Atom A(const char* name) { return XInternAtom(d_, name, False); }
  std::string Name(Atom atom) {
    if (atom == None) return "None";
    char* name = XGetAtomName(d_, atom);
    std::string out = name ? name : "";
    if (name) XFree(name);
    return out;
  }

  void Send(const char* type, long l1, long l2, long l3, long l4) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = target_;
    e.xclient.message_type = A(type);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(window_);
    e.xclient.data.l[1] = l1;
    e.xclient.data.l[2] = l2;
    e.xclient.data.l[3] = l3;
    e.xclient.data.l[4] = l4;
    XSendEvent(d_, target_, False, NoEventMask, &e);
    XFlush(d_);
  }

  // The next event that `want` takes, other events handled by `other`.
  bool Next(std::chrono::milliseconds limit, const std::function<bool(XEvent&)>& want) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
      while (XPending(d_)) {
        XEvent e;
        XNextEvent(d_, &e);
        if (want(e)) return true;
      }
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      pollfd p{ConnectionNumber(d_), POLLIN, 0};
      poll(&p, 1, static_cast<int>(left.count()));
    }
  }

  Display* d_;
  Window target_;
  Window window_;
};

}  // namespace

DragOutcome RunDrag(const std::string& display, Window target, const Drag& drag, const std::function<bool()>& handled) {
  using namespace std::chrono_literals;
  DragOutcome out;
  std::unique_ptr<Display, Closer> connection(XOpenDisplay(display.c_str()));
  if (!connection) return out;
  Source s(connection.get(), target);
  Display* d = connection.get();

  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, target, s.A("XdndAware"), 0, 1, False, XA_ATOM, &type, &format, &count, &after, &data) ==
          Success &&
      data && count == 1)
    out.awareOfVersion5 = *reinterpret_cast<unsigned long*>(data) == 5;
  if (data) XFree(data);

  std::vector<Atom> types;
  for (const std::string& t : drag.types) types.push_back(s.A(t.c_str()));
  const bool many = types.size() > 3;
  if (many)
    XChangeProperty(d, s.window_, s.A("XdndTypeList"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(types.data()), static_cast<int>(types.size()));
  XSetSelectionOwner(d, s.A("XdndSelection"), s.window_, CurrentTime);
  auto typeAt = [&](size_t i) { return i < types.size() ? static_cast<long>(types[i]) : 0L; };
  s.Send("XdndEnter", (5L << 24) | (many ? 1 : 0), typeAt(0), typeAt(1), typeAt(2));
  s.Send("XdndPosition", 0, (static_cast<long>(drag.rootX) << 16) | drag.rootY, CurrentTime,
         static_cast<long>(s.A(drag.action.c_str())));
  out.statusSeen = s.Next(3s, [&](XEvent& e) {
    if (e.type != ClientMessage || e.xclient.message_type != s.A("XdndStatus")) return false;
    out.accepted = e.xclient.data.l[1] & 1;
    out.statusAction = s.Name(static_cast<Atom>(e.xclient.data.l[4] & 0xFFFFFFFF));
    return true;
  });
  if (!drag.drop) {
    s.Send("XdndLeave", 0, 0, 0, 0);
    return out;
  }
  s.Send("XdndDrop", 0, CurrentTime, 0, 0);

  // INCR: what is left to send, sent each time the target deletes the property.
  Window requestor = 0;
  Atom property = None, asked = None;
  size_t sent = 0;
  bool incrOpen = false;
  constexpr size_t kChunk = 1000;
  s.Next(10s, [&](XEvent& e) {
    if (e.type == SelectionRequest && drag.serve != Serve::Never) {
      const XSelectionRequestEvent& r = e.xselectionrequest;
      requestor = r.requestor;
      property = r.property;
      asked = r.target;
      out.askedType = s.Name(asked);
      if (drag.serve == Serve::Incr) {
        XSelectInput(d, requestor, PropertyChangeMask);
        const long size = static_cast<long>(drag.data.size());
        XChangeProperty(d, requestor, property, s.A("INCR"), 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&size), 1);
        incrOpen = true;
      } else {
        XChangeProperty(d, requestor, property, asked, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(drag.data.data()), static_cast<int>(drag.data.size()));
      }
      XEvent n{};
      n.xselection.type = SelectionNotify;
      n.xselection.requestor = requestor;
      n.xselection.selection = r.selection;
      n.xselection.target = asked;
      n.xselection.property = property;
      n.xselection.time = r.time;
      XSendEvent(d, requestor, False, NoEventMask, &n);
      XFlush(d);
      return false;
    }
    if (e.type == PropertyNotify && incrOpen && e.xproperty.window == requestor && e.xproperty.atom == property &&
        e.xproperty.state == PropertyDelete) {
      const size_t n = std::min(kChunk, drag.data.size() - sent);
      XChangeProperty(d, requestor, property, asked, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(drag.data.data() + sent), static_cast<int>(n));
      XFlush(d);
      sent += n;
      if (n == 0) incrOpen = false;  // the empty chunk ends it
      return false;
    }
    if (e.type == ClientMessage && e.xclient.message_type == s.A("XdndFinished")) {
      out.finished = true;
      out.handledBeforeFinished = handled();
      out.finishedAccepted = e.xclient.data.l[1] & 1;
      out.finishedAction = s.Name(static_cast<Atom>(e.xclient.data.l[2] & 0xFFFFFFFF));
      return true;
    }
    return false;
  });
  return out;
}

}  // namespace x11_test

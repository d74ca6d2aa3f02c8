#include "platform/backends/x11/xdnd.h"

#include <X11/Xatom.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>

#include "platform/backends/x11/uri_list.h"

namespace platform::x11 {
namespace {

constexpr int kOurVersion = 5;
constexpr int kOldestVersion = 3;

// On 64-bit Xlib the 32-bit fields arrive sign-extended.
unsigned long Field(const XClientMessageEvent& message, int index) {
  return static_cast<unsigned long>(message.data.l[index]) & 0xFFFFFFFFul;
}

std::string HostName() {
  std::array<char, HOST_NAME_MAX + 1> name{};
  if (gethostname(name.data(), name.size() - 1) != 0) return {};
  return name.data();
}

// A property's bytes, read (and deleted) in pieces; false when it is not a
// format-8 property or is larger than `limit` with what was read before.
struct PropertyRead {
  ::Atom type = None;
  bool ok = false;
};

PropertyRead ReadProperty(Display* display, ::Window window, ::Atom property, std::string& out, size_t limit) {
  PropertyRead result;
  long offset = 0;  // in 32-bit units, as the protocol counts
  for (;;) {
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* bytes = nullptr;
    constexpr long kPieceLongs = 1 << 16;  // 256 KiB a request
    if (XGetWindowProperty(display, window, property, offset, kPieceLongs, True, AnyPropertyType, &result.type, &format,
                           &count, &after, &bytes) != Success)
      return result;
    // Any format-8 type will do: some sources label a uri-list UTF8_STRING.
    const bool fits = format == 8 && count <= limit - std::min(limit, out.size());
    if (fits && bytes) out.append(reinterpret_cast<const char*>(bytes), count);
    if (bytes) XFree(bytes);
    if (!fits) return result;  // INCR (format 32), a foreign format, or too much
    if (after == 0) break;
    offset += static_cast<long>(count / 4);
  }
  result.ok = true;
  return result;
}

}  // namespace

DropTarget::DropTarget(Connection& connection, std::unique_ptr<DropSink> sink)
    : connection_(connection), sink_(sink ? std::move(sink) : MakeDispatcherSink()) {}

DropTarget::~DropTarget() {
  if (stage_ != Stage::Idle) Abandon();
}

bool DropTarget::Handle(const XEvent& event) {
  const Atoms& names = connection_.Names();
  if (event.type == ClientMessage && event.xclient.format == 32) {
    const XClientMessageEvent& message = event.xclient;
    const ::Atom type = message.message_type;
    if (type == names.xdndEnter)
      OnEnter(message);
    else if (type == names.xdndPosition)
      OnPosition(message);
    else if (type == names.xdndDrop)
      OnDrop(message);
    else if (type == names.xdndLeave) {
      if (stage_ == Stage::Hovering && Field(message, 0) == source_) {
        sink_->Leave();
        Reset();
      }
    } else {
      return false;
    }
    return true;
  }
  if (event.type == SelectionNotify && event.xselection.requestor == target_ &&
      event.xselection.selection == names.xdndSelection) {
    OnSelection(event.xselection);
    return true;
  }
  if (event.type == PropertyNotify && stage_ == Stage::ReadingIncr && event.xproperty.window == target_ &&
      event.xproperty.atom == names.dropProperty && event.xproperty.state == PropertyNewValue) {
    OnIncrChunk();
    return true;
  }
  return false;
}

void DropTarget::OnEnter(const XClientMessageEvent& message) {
  const Atoms& names = connection_.Names();
  const int version = static_cast<int>(Field(message, 1) >> 24);
  // A newer source than us is ignored; so is one too old to speak this protocol.
  if (version > kOurVersion || version < kOldestVersion) return;
  if (stage_ == Stage::AwaitingData || stage_ == Stage::ReadingIncr) return;  // a drop is still being read
  if (stage_ == Stage::Hovering) sink_->Leave();
  Reset();
  source_ = Field(message, 0);
  target_ = message.window;
  version_ = version;

  std::vector<::Atom> types;
  if (Field(message, 1) & 1) {
    ::Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(connection_.Dpy(), source_, names.xdndTypeList, 0, 1024, False, XA_ATOM, &type, &format,
                           &count, &after, &data) == Success &&
        data && format == 32) {
      const auto* atoms = reinterpret_cast<const unsigned long*>(data);
      for (unsigned long i = 0; i < count; ++i) types.push_back(atoms[i] & 0xFFFFFFFFul);
    }
    if (data) XFree(data);
  } else {
    for (int i = 2; i <= 4; ++i)
      if (Field(message, i) != None) types.push_back(Field(message, i));
  }
  ::Atom text = None;
  for (::Atom type : types) {
    if (type == names.uriList) offer_.files = true;
    if (type == names.textPlainUtf8 || type == names.utf8String) {
      offer_.text = true;
      if (text == None) text = type;
    }
  }
  wanted_ = offer_.files ? names.uriList : text;
  stage_ = Stage::Hovering;
}

void DropTarget::OnPosition(const XClientMessageEvent& message) {
  if (stage_ != Stage::Hovering || Field(message, 0) != source_) return;
  const unsigned long at = Field(message, 2);
  const POINT screen{static_cast<LONG>((at >> 16) & 0xFFFF), static_cast<LONG>(at & 0xFFFF)};
  allowed_ = AllowedFor(Field(message, 4));
  keys_ = KeysNow();
  lastEffect_ = wanted_ != None ? sink_->Move(offer_, screen, keys_, allowed_) : kEffectNone;
  SendStatus(lastEffect_ != kEffectNone, ActionFor(lastEffect_));
}

void DropTarget::OnDrop(const XClientMessageEvent& message) {
  if (stage_ != Stage::Hovering || Field(message, 0) != source_) return;
  if (lastEffect_ == kEffectNone || wanted_ == None) {
    Abandon();
    return;
  }
  Display* display = connection_.Dpy();
  // INCR transfers arrive as property changes on our window.
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display, target_, &attributes))
    XSelectInput(display, target_, attributes.your_event_mask | PropertyChangeMask);
  XDeleteProperty(display, target_, connection_.Names().dropProperty);
  XConvertSelection(display, connection_.Names().xdndSelection, wanted_, connection_.Names().dropProperty, target_,
                    version_ >= 1 ? Field(message, 2) : CurrentTime);
  XFlush(display);
  data_.clear();
  stage_ = Stage::AwaitingData;
  deadline_ = std::chrono::steady_clock::now() + kDataTimeout;
}

void DropTarget::OnSelection(const XSelectionEvent& selection) {
  if (stage_ != Stage::AwaitingData) return;
  if (selection.property == None) {  // the source refused
    Abandon();
    return;
  }
  const PropertyRead read = ReadProperty(connection_.Dpy(), target_, selection.property, data_, kMaxDataBytes);
  if (read.type == connection_.Names().incr) {
    data_.clear();
    stage_ = Stage::ReadingIncr;
    deadline_ = std::chrono::steady_clock::now() + kDataTimeout;
    return;
  }
  if (!read.ok) {
    Abandon();
    return;
  }
  Deliver();
}

void DropTarget::OnIncrChunk() {
  const size_t before = data_.size();
  const PropertyRead read =
      ReadProperty(connection_.Dpy(), target_, connection_.Names().dropProperty, data_, kMaxDataBytes);
  if (!read.ok) {
    Abandon();
    return;
  }
  if (data_.size() == before) {  // the empty chunk ends the transfer
    Deliver();
    return;
  }
  deadline_ = std::chrono::steady_clock::now() + kDataTimeout;
}

void DropTarget::Deliver() {
  DroppedData dropped;
  if (wanted_ == connection_.Names().uriList)
    dropped.files = LocalFilesFromUriList(data_, HostName());
  else
    dropped.text = data_;
  DWORD effect = kEffectNone;
  if (!dropped.files.empty() || !dropped.text.empty())
    effect = sink_->Drop(dropped, keys_, allowed_);
  else
    sink_->Leave();
  SendFinished(effect != kEffectNone, ActionFor(effect));
  Reset();
}

bool DropTarget::CheckTimeout() {
  if (stage_ != Stage::AwaitingData && stage_ != Stage::ReadingIncr) return false;
  if (std::chrono::steady_clock::now() < deadline_) return false;
  Abandon();
  return true;
}

void DropTarget::Forget(::Window window) {
  if (stage_ == Stage::Idle || window != target_) return;
  Abandon();
}

void DropTarget::Abandon() {
  if (stage_ == Stage::AwaitingData || stage_ == Stage::ReadingIncr || stage_ == Stage::Hovering) {
    sink_->Leave();
    SendFinished(false, None);
  }
  Reset();
}

void DropTarget::Reset() {
  stage_ = Stage::Idle;
  source_ = target_ = 0;
  version_ = 0;
  wanted_ = None;
  offer_ = DragOffer{};
  lastEffect_ = allowed_ = kEffectNone;
  keys_ = 0;
  data_.clear();
}

void DropTarget::SendToSource(::Atom type, long l1, long l2, long l3, long l4) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = source_;
  event.xclient.message_type = type;
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(target_);
  event.xclient.data.l[1] = l1;
  event.xclient.data.l[2] = l2;
  event.xclient.data.l[3] = l3;
  event.xclient.data.l[4] = l4;
  XSendEvent(connection_.Dpy(), source_, False, NoEventMask, &event);
  XFlush(connection_.Dpy());
}

void DropTarget::SendStatus(bool accept, ::Atom action) {
  // No rectangle: the boxes under the pointer change, so every move counts.
  SendToSource(connection_.Names().xdndStatus, accept ? 1 : 0, 0, 0, accept ? static_cast<long>(action) : None);
}

void DropTarget::SendFinished(bool performed, ::Atom action) {
  if (!source_) return;
  SendToSource(connection_.Names().xdndFinished, performed ? 1 : 0, performed ? static_cast<long>(action) : None, 0, 0);
}

::Atom DropTarget::ActionFor(DWORD effect) const {
  if (effect == kEffectNone) return None;
  // A move would have the source delete its files: a viewer only ever copies.
  if (effect == kEffectLink) return connection_.Names().xdndActionLink;
  return connection_.Names().xdndActionCopy;
}

DWORD DropTarget::AllowedFor(::Atom action) const {
  const Atoms& names = connection_.Names();
  if (action == names.xdndActionMove) return kEffectMove | kEffectCopy;
  if (action == names.xdndActionLink) return kEffectLink;
  if (action == names.xdndActionAsk) return kEffectCopy | kEffectMove | kEffectLink;
  return kEffectCopy;
}

DWORD DropTarget::KeysNow() const {
  ::Window root, child;
  int rootX, rootY, x, y;
  unsigned mask = 0;
  if (!XQueryPointer(connection_.Dpy(), connection_.Root(), &root, &child, &rootX, &rootY, &x, &y, &mask)) return 0;
  return static_cast<DWORD>(KeyStateOf(mask));
}

}  // namespace platform::x11

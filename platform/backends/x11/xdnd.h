// XDND version 5, the target side: XdndAware top-levels take enter,
// position, leave and drop from a drag source, fetch the data through the
// XdndSelection and answer with XdndStatus and XdndFinished.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <memory>
#include <string>

#include "platform/backends/x11/drop_sink.h"
#include "platform/backends/x11/x11_connection.h"

namespace platform::x11 {

class DropTarget {
 public:
  // Without a sink, the platform's drag dispatcher.
  explicit DropTarget(Connection& connection, std::unique_ptr<DropSink> sink = nullptr);
  ~DropTarget();
  DropTarget(const DropTarget&) = delete;
  DropTarget& operator=(const DropTarget&) = delete;

  // True when the event belonged to a drag (and may have run a drop).
  bool Handle(const XEvent& event);
  // Gives up a drop whose data has not come in time; true when it did.
  bool CheckTimeout();
  // Data is awaited: the caller should not sleep past the deadline.
  bool Waiting() const { return stage_ == Stage::AwaitingData; }
  // `window` is going away: a drag over it ends.
  void Forget(::Window window);

  static constexpr std::chrono::seconds kDataTimeout{5};
  static constexpr size_t kMaxDataBytes = 16u << 20;

 private:
  enum class Stage { Idle, Hovering, AwaitingData, ReadingIncr };

  void OnEnter(const XClientMessageEvent& message);
  void OnPosition(const XClientMessageEvent& message);
  void OnDrop(const XClientMessageEvent& message);
  void OnSelection(const XSelectionEvent& selection);
  void OnIncrChunk();
  void Deliver();
  // A client message to the source with our window in l0.
  void SendToSource(::Atom type, long l1, long l2, long l3, long l4);
  void SendStatus(bool accept, ::Atom action);
  void SendFinished(bool performed, ::Atom action);
  void Abandon();
  void Reset();
  ::Atom ActionFor(DWORD effect) const;
  DWORD AllowedFor(::Atom action) const;
  DWORD KeysNow() const;

  Connection& connection_;
  std::unique_ptr<DropSink> sink_;
  Stage stage_ = Stage::Idle;
  ::Window source_ = 0;
  ::Window target_ = 0;  // our XdndAware window the drag is over
  int version_ = 0;
  ::Atom wanted_ = 0;  // the data type we will ask for
  DragOffer offer_;
  DWORD lastEffect_ = kEffectNone;
  DWORD allowed_ = kEffectNone;
  DWORD keys_ = 0;
  std::string data_;
  std::chrono::steady_clock::time_point deadline_;
};

}  // namespace platform::x11

// A drag source speaking XDND version 5 as a file manager does, on its own
// connection: it owns XdndSelection, offers its types (XdndTypeList when
// more than three), sends enter and position, waits for the status, then
// drops or leaves, serves the data (whole or by INCR, or never) and waits
// for XdndFinished.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <string>
#include <vector>

namespace x11_test {

enum class Serve { Whole, Incr, Never };

struct Drag {
  std::vector<std::string> types;  // offered, in order
  std::string data;                // served for whichever type is asked
  int rootX = 0, rootY = 0;
  std::string action = "XdndActionCopy";
  bool drop = true;  // false: leave instead
  Serve serve = Serve::Whole;
};

struct DragOutcome {
  bool awareOfVersion5 = false;
  bool statusSeen = false;
  bool accepted = false;
  std::string statusAction;
  bool finished = false;
  bool finishedAccepted = false;
  std::string finishedAction;
  bool handledBeforeFinished = false;  // `handled()` was true when XdndFinished came
  std::string askedType;               // the type the target converted to
};

// Runs one whole drag onto `target`. `handled` is read when XdndFinished arrives.
DragOutcome RunDrag(const std::string& display, Window target, const Drag& drag, const std::function<bool()>& handled);

}  // namespace x11_test

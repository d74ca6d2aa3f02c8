// What the drag-and-drop calls keep, owned by System: OLE initialisation per
// thread, the drop target of each window, the registered clipboard format
// names and the one drag in progress. Internal to the platform.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/system.h"
#include "platform/ole/ole_drop.h"

namespace platform {

struct DropRegistration {
  ComRef<IDropTarget> target;
  std::thread::id thread;  // the window's thread: the target is called there
};

// The drag the dispatcher is feeding targets with.
struct DragSession {
  ComRef<IDataObject> data;        // held while a drag is on
  HWND target = 0;                 // the registered window the drag is over, 0 for none
  DWORD effect = DROPEFFECT_NONE;  // what that target chose last
  POINTL point;
};

// A reference held here is moved out under the lock and released after
// it: the object may call back in.
struct DropRegistry {
  // Hooks the window tree, so a window's registration ends with the window.
  DropRegistry();
  // At process exit: what is still registered is let go without a call, as
  // the targets and the units around them may be gone already.
  ~DropRegistry();

  std::mutex mutex;
  std::map<std::thread::id, int> oleInitialised;
  std::map<HWND, DropRegistration> targets;
  std::vector<std::string> formatNames;  // format 0xC000 + i
  DragSession drag;
};

// Ends the registration of a window that is being destroyed.
void ForgetDropTarget(HWND window);

// The drag-and-drop state of the process, owned by System.
inline DropRegistry& Drops() { return System::Get().Part<DropRegistry>(); }

}  // namespace platform

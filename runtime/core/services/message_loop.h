// The runtime's message loop with its idle processing: the window event 7
// and the idle routines of notify::kAddIdleRoutine.
#pragma once

#include <functional>

namespace runtime::services {

// Returns when the loop has ended (at once when no runtime window is alive).
void RunMessageLoop();
// The modal form of the loop: runs until `modalEnded` answers true (checked
// after every message and idle step); a WM_QUIT stays queued for the loop
// outside.
void RunModalLoop(const std::function<bool()>& modalEnded);

}  // namespace runtime::services

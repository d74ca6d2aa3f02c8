// Taking and dispatching what waits in the queue, each message offered first
// to the runtime objects of its window and the windows above it.
#pragma once

#include "platform/windows/messages.h"

namespace runtime {

// True when the runtime object of the message's window, or of a window above
// it up to its top-level window, consumed the message.
bool OfferToRuntimeObjects(const platform::MSG& msg);

// Takes and dispatches every waiting message until the queue is empty or the
// next one is WM_QUIT, which stays queued (notify::kProcessMessages).
void ProcessPendingMessages();

}  // namespace runtime

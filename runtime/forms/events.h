// Event dispatch: the handler a unit's event is bound to, found through the
// unit's record (and its event source), called with the event's arguments.
#pragma once

#include <cstdint>

#include "runtime/core/program.h"

namespace runtime::forms {

// notify::kRaiseEvent and notify::kRaiseEventEx: 1 when a handler ran.
intptr_t RaiseEvent(EventRecord& record);
intptr_t RaiseEventEx(EventRecordEx& record);
// notify::kCurrentEvent: the current event's window and unit into two words.
intptr_t CurrentEvent(int32_t* words);

}  // namespace runtime::forms

// The library's one link to the core: the notification function the core
// hands over with code 1. Every call into the core goes through it.
#pragma once

#include <cstdint>

#include "runtime/core/runtime_calls.h"

namespace runtime::units::drop_object {

// The library's notification entry: code 1 stores the core's function
// (argument 1) and answers 0; every other code answers -1.
intptr_t DragDropNotify(int32_t code, intptr_t arg1, intptr_t arg2);

// Requests through the stored core function; they answer 0 while none is stored.
RuntimeCalls Core();

}  // namespace runtime::units::drop_object

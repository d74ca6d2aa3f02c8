// The runtime's notification entry: how units and libraries reach the runtime.
#pragma once

#include <cstdint>

#include "runtime/core/notification.h"

namespace runtime {

intptr_t NotifyRuntime(int32_t code, intptr_t arg1, intptr_t arg2);

void InstallNotificationHandler(int32_t code, NotifyRoutine handler);

}  // namespace runtime

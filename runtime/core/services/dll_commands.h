// Commands bound to routines of other shared libraries.
#pragma once

#include <cstdint>

namespace runtime::services {

// The routine of DLL command `index`, resolved once and cached; a routine
// that cannot be found is a fatal error.
void* ResolveDllCommand(int32_t index);

}  // namespace runtime::services

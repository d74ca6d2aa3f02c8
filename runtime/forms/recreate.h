// Re-creating a unit from its saved properties, after a property change its
// type cannot apply to the live window.
#pragma once

#include <cstdint>

#include "runtime/forms/window_definition.h"

namespace runtime::forms {

// Record `index` (above 0) of a loaded window. Events are suppressed by the
// caller while it runs.
void RecreateUnit(WindowDefinition& definition, int32_t index);

}  // namespace runtime::forms

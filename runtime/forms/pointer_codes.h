// Mouse pointer codes as units exchange them, and the system cursor ids the
// stored pointer blocks hold.
#pragma once

#include <cstdint>

namespace runtime::forms {

// Codes 0 to 14 to their cursor ids; other values stay as they are.
int32_t PointerCodeToCursorId(int32_t code);
// A cursor id of the table back to its code; other values stay as they are.
int32_t CursorIdToPointerCode(int32_t id);

}  // namespace runtime::forms

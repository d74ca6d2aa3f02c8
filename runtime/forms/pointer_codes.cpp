#include "runtime/forms/pointer_codes.h"

#include <iterator>

namespace runtime::forms {
namespace {

// Index: the pointer code.
constexpr int32_t kCursorIds[] = {0,     32512, 32515, 32513, 32514, 32651, 32650, 32648,
                                  32646, 32643, 32645, 32642, 32644, 32516, 32649};

}  // namespace

int32_t PointerCodeToCursorId(int32_t code) {
  return code >= 0 && code < static_cast<int32_t>(std::size(kCursorIds)) ? kCursorIds[code] : code;
}

int32_t CursorIdToPointerCode(int32_t id) {
  if (id == 0) return 0;
  for (int32_t code = 1; code < static_cast<int32_t>(std::size(kCursorIds)); ++code)
    if (kCursorIds[code] == id) return code;
  return id;
}

}  // namespace runtime::forms

// The one path every failure of the runtime itself takes: a message box
// captioned "错误", then the end of the process with exit code -1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/core/value.h"

namespace runtime {

// `message` is ANSI. Does not return.
[[noreturn]] void FatalError(std::string_view message, int32_t code, WindowId window, UnitId unit);
// The error of code 1 to 11 with its message (the RaiseRuntimeError service).
[[noreturn]] void RaiseRuntimeError(int32_t code, WindowId window, UnitId unit);

// The box text, ANSI, with CR LF line ends.
std::string FatalErrorText(std::string_view message, int32_t code, WindowId window, UnitId unit);
// The message of a runtime error code, ANSI; empty outside 1 to 11.
std::string RuntimeErrorMessage(int32_t code);

}  // namespace runtime

// The two conversions the runtime offers on any value.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/core/value.h"

namespace runtime {

// Numeric values only; anything else is the fatal error "欲转换数据类型不是数值".
int32_t ValueToInteger(const ArgRecord& value);

// The value as an ANSI text.
std::string ValueToText(const ArgRecord& value);

// A calendar date and time of day from an automation date (whole days since
// 30 December 1899, fraction = time of day), to the nearest second.
struct CivilDateTime {
  int32_t year, month, day, hour, minute, second;
};
CivilDateTime DateTimeFromAutomationDate(double value);

}  // namespace runtime

#include "runtime/core/value_convert.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "runtime/core/ansi.h"
#include "runtime/core/fatal_error.h"

namespace runtime {
namespace {

// As the processor converts: NaN and values beyond 64 bits give the
// "indefinite" integer, whose low 32 bits are 0.
int64_t TruncateToInt64(double v) {
  if (!(v > -9223372036854775808.0 && v < 9223372036854775808.0)) return INT64_MIN;
  return static_cast<int64_t>(v);
}

std::string Format(const char* format, double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, v);
  return buffer;
}

// Six significant decimal digits, half away from zero, so that a float such
// as 0.1f prints as 0.1.
double RoundToSixDigits(double v) {
  if (v == 0 || !std::isfinite(v)) return v;
  int exponent = static_cast<int>(std::floor(std::log10(std::fabs(v))));
  double scale = std::pow(10.0, 5 - exponent);
  double rounded = std::round(v * scale) / scale;
  return std::isfinite(rounded) ? rounded : v;
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(int64_t z, int32_t* year, int32_t* month, int32_t* day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  *year = static_cast<int32_t>(yoe + era * 400 + (m <= 2));
  *month = static_cast<int32_t>(m);
  *day = static_cast<int32_t>(d);
}

}  // namespace

int32_t ValueToInteger(const ArgRecord& value) {
  switch (value.tag) {
    case TypeByte: return static_cast<uint8_t>(value.payload);
    case TypeShort: return static_cast<int16_t>(value.payload);
    case TypeInt: return value.AsInt();
    case TypeInt64: return static_cast<int32_t>(static_cast<uint32_t>(value.payload));
    case TypeFloat: return static_cast<int32_t>(static_cast<uint64_t>(TruncateToInt64(value.AsFloat())));
    case TypeDouble: return static_cast<int32_t>(static_cast<uint64_t>(TruncateToInt64(value.AsDouble())));
    default: FatalError(Ansi("欲转换数据类型不是数值"), 0, 0, 0);
  }
}

CivilDateTime DateTimeFromAutomationDate(double value) {
  if (!std::isfinite(value) || std::fabs(value) > 3.0e6) value = 0;  // outside any calendar we print
  // The whole part counts days (negative before 1899-12-30); the fraction's
  // magnitude is the time of day in either direction.
  double whole = std::trunc(value);
  int64_t seconds = std::llround(std::fabs(value - whole) * 86400.0);
  int64_t days = static_cast<int64_t>(whole);
  if (seconds >= 86400) {
    seconds -= 86400;
    days += value < 0 ? -1 : 1;
  }
  CivilDateTime t{};
  CivilFromDays(days - 25569, &t.year, &t.month, &t.day);  // 25569 days from 1899-12-30 to 1970-01-01
  t.hour = static_cast<int32_t>(seconds / 3600);
  t.minute = static_cast<int32_t>(seconds / 60 % 60);
  t.second = static_cast<int32_t>(seconds % 60);
  return t;
}

std::string ValueToText(const ArgRecord& value) {
  char buffer[64];
  switch (value.tag) {
    case TypeByte:
      std::snprintf(buffer, sizeof buffer, "%u", static_cast<unsigned>(static_cast<uint8_t>(value.payload)));
      return buffer;
    case TypeShort:
      std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(static_cast<int16_t>(value.payload)));
      return buffer;
    case TypeInt: std::snprintf(buffer, sizeof buffer, "%d", value.AsInt()); return buffer;
    case TypeInt64:
      std::snprintf(buffer, sizeof buffer, "%" PRId64, static_cast<int64_t>(value.payload));
      return buffer;
    case TypeFloat: return Format("%.6g", RoundToSixDigits(value.AsFloat()));
    case TypeDouble: return Format("%.13g", value.AsDouble());
    case TypeBool: return Ansi(value.AsBool() ? "真" : "假");
    case TypeDateTime: {
      CivilDateTime t = DateTimeFromAutomationDate(value.AsDouble());
      std::string text;
      std::snprintf(buffer, sizeof buffer, Ansi("%d年%d月%d日").c_str(), t.year, t.month, t.day);
      text = buffer;
      if (t.second != 0)
        std::snprintf(buffer, sizeof buffer, Ansi("%d时%d分%d秒").c_str(), t.hour, t.minute, t.second);
      else if (t.minute != 0)
        std::snprintf(buffer, sizeof buffer, Ansi("%d时%d分").c_str(), t.hour, t.minute);
      else if (t.hour != 0)
        std::snprintf(buffer, sizeof buffer, Ansi("%d时").c_str(), t.hour);
      else
        buffer[0] = 0;
      return text + buffer;
    }
    case TypeText: return std::string(TextView(value.AsText()));
    default: return std::string();
  }
}

}  // namespace runtime

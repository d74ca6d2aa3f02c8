#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/core/ansi.h"
#include "runtime/core/value_convert.h"

namespace {

using runtime::Ansi;
using runtime::ArgRecord;
using runtime::ValueToInteger;
using runtime::ValueToText;

TEST(ValueToInteger, ConvertsEveryNumericType) {
  EXPECT_EQ(ValueToInteger(ArgRecord::Byte(200)), 200);  // zero-extended
  EXPECT_EQ(ValueToInteger(ArgRecord::Short(-2)), -2);   // sign-extended
  EXPECT_EQ(ValueToInteger(ArgRecord::Int(-123456)), -123456);
  EXPECT_EQ(ValueToInteger(ArgRecord::Int64(0x100000005LL)), 5);  // low 32 bits
  EXPECT_EQ(ValueToInteger(ArgRecord::Double(-2.7)), -2);         // toward zero
  EXPECT_EQ(ValueToInteger(ArgRecord::Float(2.9f)), 2);
  // Through 64 bits: 2^32 + 7 keeps its low word.
  EXPECT_EQ(ValueToInteger(ArgRecord::Double(4294967303.0)), 7);
}

TEST(ValueToInteger, PayloadBitsAboveTheTypeAreIgnored) {
  ArgRecord byte{0xFFFFFF80ull, runtime::TypeByte};
  EXPECT_EQ(ValueToInteger(byte), 0x80);
  ArgRecord shortValue{0x12348000ull, runtime::TypeShort};
  EXPECT_EQ(ValueToInteger(shortValue), -32768);
}

TEST(ValueToInteger, OutOfRangeFloatsGiveTheIndefiniteIntegerNotUndefinedBehaviour) {
  EXPECT_EQ(ValueToInteger(ArgRecord::Double(std::nan(""))), 0);
  EXPECT_EQ(ValueToInteger(ArgRecord::Double(1e300)), 0);
  EXPECT_EQ(ValueToInteger(ArgRecord::Float(-std::numeric_limits<float>::infinity())), 0);
}

TEST(ValueToIntegerDeathTest, TextIsAFatalErrorWithItsMessage) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(ValueToInteger(ArgRecord::Text("12")), testing::ExitedWithCode(255),
              "错误.*运行时出错!.*错误信息：欲转换数据类型不是数值");
}

TEST(ValueToText, IntegersAndBooleans) {
  EXPECT_EQ(ValueToText(ArgRecord::Byte(255)), "255");
  EXPECT_EQ(ValueToText(ArgRecord::Short(-32768)), "-32768");
  EXPECT_EQ(ValueToText(ArgRecord::Int(-7)), "-7");
  EXPECT_EQ(ValueToText(ArgRecord::Int64(-9000000000LL)), "-9000000000");
  EXPECT_EQ(ValueToText(ArgRecord::Bool(true)), Ansi("真"));
  EXPECT_EQ(ValueToText(ArgRecord{2, runtime::TypeBool}), Ansi("真"));  // any non-zero is true
  EXPECT_EQ(ValueToText(ArgRecord::Bool(false)), Ansi("假"));
  EXPECT_EQ(ValueToText(ArgRecord{}), "");
  EXPECT_EQ(ValueToText(ArgRecord::Text(nullptr)), "");
  EXPECT_EQ(ValueToText(ArgRecord::Text("abc")), "abc");
}

TEST(ValueToText, FloatsAreRoundedToSixDigitsBeforePrinting) {
  EXPECT_EQ(ValueToText(ArgRecord::Float(0.1f)), "0.1");
  EXPECT_EQ(ValueToText(ArgRecord::Float(1.0f / 3.0f)), "0.333333");
  EXPECT_EQ(ValueToText(ArgRecord::Float(2.5f)), "2.5");
  // Half away from zero at the sixth digit: 1.0000005 -> 1.00000|05 -> 1.000001.
  EXPECT_EQ(ValueToText(ArgRecord::Float(123456.5f)), "123457");
  EXPECT_EQ(ValueToText(ArgRecord::Float(-123456.5f)), "-123457");
  EXPECT_EQ(ValueToText(ArgRecord::Float(1.5e20f)), "1.5e+20");
  EXPECT_EQ(ValueToText(ArgRecord::Float(0.0f)), "0");
}

TEST(ValueToText, DoublesUseThirteenSignificantDigits) {
  EXPECT_EQ(ValueToText(ArgRecord::Double(1.0 / 3.0)), "0.3333333333333");
  EXPECT_EQ(ValueToText(ArgRecord::Double(0.1)), "0.1");
  EXPECT_EQ(ValueToText(ArgRecord::Double(1e15)), "1e+15");
}

TEST(ValueToText, DateTimesShowOnlyTheTimePartsThatAreNotZero) {
  // 45000 is 2023-03-15 (45000 days after 1899-12-30).
  EXPECT_EQ(ValueToText(ArgRecord::DateTime(45000.0)), Ansi("2023年3月15日"));
  EXPECT_EQ(ValueToText(ArgRecord::DateTime(45000.0 + 13.0 / 24)), Ansi("2023年3月15日13时"));
  EXPECT_EQ(ValueToText(ArgRecord::DateTime(45000.0 + (13 * 60 + 5) / 1440.0)), Ansi("2023年3月15日13时5分"));
  EXPECT_EQ(ValueToText(ArgRecord::DateTime(45000.0 + (13 * 3600 + 5 * 60 + 7) / 86400.0)),
            Ansi("2023年3月15日13时5分7秒"));
  // Seconds but no minutes still print the minute: "0分".
  EXPECT_EQ(ValueToText(ArgRecord::DateTime(45000.0 + 9 / 86400.0)), Ansi("2023年3月15日0时0分9秒"));
  EXPECT_EQ(ValueToText(ArgRecord::DateTime(0.0)), Ansi("1899年12月30日"));
  EXPECT_EQ(ValueToText(ArgRecord::DateTime(60.0)), Ansi("1900年2月28日"));
  EXPECT_EQ(ValueToText(ArgRecord::DateTime(61.0)), Ansi("1900年3月1日"));
  // Before the epoch the fraction still counts forward within the day.
  EXPECT_EQ(ValueToText(ArgRecord::DateTime(-1.25)), Ansi("1899年12月29日6时"));
  // A time that rounds up to the next day carries into the date.
  EXPECT_EQ(ValueToText(ArgRecord::DateTime(45000.0 + 86399.9 / 86400.0)), Ansi("2023年3月16日"));
}

}  // namespace

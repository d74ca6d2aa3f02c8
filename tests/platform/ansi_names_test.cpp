// File names between the OS and the ANSI code page: UTF-8 names as text,
// every other byte as one escape character, and back exactly.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/text/ansi_text.h"

namespace {

using namespace platform;

// The GB18030 form of the escape for a byte, U+10FE00 + the byte, worked out
// by hand: above the BMP GB18030 counts on from 90 30 81 30, so index
// 0x10FE80 - 0x10000 = 1048192 gives E3 31 F2 32 and each byte after 0x80
// one further.
std::string Escape(unsigned char byte) {
  const unsigned n = 1048192 + (byte - 0x80u);
  return {'\xE3', '\x31', static_cast<char>(0x81 + n / 10 % 126), static_cast<char>(0x30 + n % 10)};
}

TEST(AnsiNames, ValidUtf8IsTextAndEveryOtherByteOneEscape) {
  struct Case {
    const char* what;
    std::string os;    // as the file system holds it
    std::string ansi;  // as the runtime holds it
  };
  const Case cases[] = {
      {"plain", "photo.jpg", "photo.jpg"},
      {"UTF-8: GBK text as always", "\xE7\xBB\x86\xE8\x8A\x82.jpg", "\xCF\xB8\xBD\xDA.jpg"},
      {"above the BMP as always", "\xF0\x9F\x93\xB7", "\x94\x39\xE2\x31"},
      // CF B8 happens to be valid UTF-8 (U+03F8); BD and DA are not.
      {"raw GBK bytes", "gbk-\xCF\xB8\xBD\xDA.jpg", "gbk-\x81\x30\xD0\x36" + Escape(0xBD) + Escape(0xDA) + ".jpg"},
      {"lowest and highest byte", "\x80/\xFF", "\xE3\x31\xF2\x32/\xE3\x31\xFE\x39"},
      {"cut short", "\xE7\xBB", Escape(0xE7) + Escape(0xBB)},
      {"overlong slash", "\xC0\xAF", Escape(0xC0) + Escape(0xAF)},
      {"surrogate", "\xED\xA0\x80", Escape(0xED) + Escape(0xA0) + Escape(0x80)},
      // An escape character spelt out in a name is escaped byte by byte, so
      // that in ANSI an escape always means its byte.
      {"genuine U+10FE80", "\xF4\x8F\xBA\x80", Escape(0xF4) + Escape(0x8F) + Escape(0xBA) + Escape(0x80)},
      {"next to the escapes: text", "\xF4\x8F\xB9\xBF", "\xE3\x31\xF2\x31"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(OsNameToAnsi(c.os), c.ansi);
    EXPECT_EQ(AnsiToOsName(c.ansi), c.os);
  }
  // The escapes are the documented code points, as any GB18030 reader sees them.
  for (int byte = 0x80; byte <= 0xFF; ++byte) {
    const char32_t escape = 0x10FE00 + byte;
    const std::string utf8 = {'\xF4', '\x8F', static_cast<char>(0x80 | ((escape >> 6) & 0x3F)),
                              static_cast<char>(0x80 | (escape & 0x3F))};
    EXPECT_EQ(AnsiToUtf8(Escape(static_cast<unsigned char>(byte))), utf8) << byte;
  }
  // A character this system's GB18030 has no form for (it has moved to a
  // standard code point in later revisions) is escaped byte by byte too.
  if (!Utf8ToAnsi("\xEE\x9E\x8D")) {
    EXPECT_EQ(OsNameToAnsi("a\xEE\x9E\x8D"), "a" + Escape(0xEE) + Escape(0x9E) + Escape(0x8D));
    EXPECT_EQ(AnsiToOsName("a" + Escape(0xEE) + Escape(0x9E) + Escape(0x8D)), "a\xEE\x9E\x8D");
  }
}

TEST(AnsiNames, EveryByteStringComesBackExactly) {
  auto roundTrip = [](const std::string& os) {
    const auto ansi = OsNameToAnsi(os);
    ASSERT_TRUE(ansi.has_value());
    EXPECT_EQ(AnsiToOsName(*ansi), os);
  };
  for (int a = 1; a < 256; ++a) {
    roundTrip(std::string(1, static_cast<char>(a)));
    for (int b = 1; b < 256; ++b) roundTrip({static_cast<char>(a), static_cast<char>(b)});
  }
  // Longer names from the bytes that make and break UTF-8 and the escapes.
  const std::string parts[] = {"a",    "/",    "\x80", "\xBF", "\xC2", "\xC3\xA9", "\xE7", "\xE7\xBB\x86", "\xED",
                               "\xEE", "\xF0", "\xF4", "\x8F", "\xBA", "\xF4\x8F", "\xF5", "\xFF"};
  std::mt19937 random(7);
  for (int i = 0; i < 20000; ++i) {
    std::string os;
    for (int n = random() % 8 + 1; n > 0; --n) os += parts[random() % std::size(parts)];
    roundTrip(os);
  }
}

TEST(AnsiNames, TextsThatNoNameGivesAreRefused) {
  struct Case {
    const char* what;
    std::string ansi;
  };
  const Case cases[] = {
      {"not GB18030: a lead byte alone", "a\x81"},
      {"escapes that spell 'é'", Escape(0xC3) + Escape(0xA9)},
      {"escapes that spell '细'", "/" + Escape(0xE7) + Escape(0xBB) + Escape(0x86) + ".jpg"},
  };
  for (const Case& c : cases) EXPECT_FALSE(AnsiToOsName(c.ansi).has_value()) << c.what;
}

}  // namespace

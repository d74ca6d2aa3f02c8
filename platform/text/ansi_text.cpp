#include "platform/text/ansi_text.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

#include "platform/text/utf8.h"

namespace platform {
namespace {

// The escapes for file-name bytes that no character carries: the byte b
// (0x80..0xFF; a byte below 0x80 is always a character) stands as the code
// point U+10FE00 + b. They sit in the supplementary private-use area B,
// which no script, font convention or input method we know of uses, and
// GB18030 gives every code point above the BMP a fixed four-byte form, so
// they are ordinary ANSI characters that every GB18030 reader accepts and
// that no GB18030 revision moves. A name that genuinely holds one of them
// is not decoded either: its four UTF-8 bytes are escaped one by one, so
// inside a name an escape always means its byte and the round trip stays
// exact for every byte string.
constexpr char32_t kEscapeBase = 0x10FE00;

bool IsEscape(char32_t c) { return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF; }

// GB18030 counts the code points above the BMP on from 90 30 81 30, the
// bytes running 0x90.., 0x30..0x39, 0x81..0xFE, 0x30..0x39.
void AppendEscapeInGb18030(std::string& out, unsigned char byte) {
  uint32_t n = kEscapeBase + byte - 0x10000;
  char bytes[4];
  bytes[3] = static_cast<char>(0x30 + n % 10);
  n /= 10;
  bytes[2] = static_cast<char>(0x81 + n % 126);
  n /= 126;
  bytes[1] = static_cast<char>(0x30 + n % 10);
  n /= 10;
  bytes[0] = static_cast<char>(0x90 + n);
  out.append(bytes, 4);
}

// Writes the escapes for the one UTF-8 character at the start of `rest`
// (GB18030 has no form for it) and returns its length.
size_t EscapeCharacter(std::string_view rest, std::string& out) {
  size_t length = 0;
  DecodeUtf8(rest, length);
  for (size_t i = 0; i < length; ++i) AppendEscapeInGb18030(out, static_cast<unsigned char>(rest[i]));
  return length;
}

// One conversion descriptor per call: conversions happen at file-name
// boundaries, never in a loop over pixels.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Writes what stands for the sequence at the start of `rest` that the
  // conversion refused, and returns how many bytes of `rest` it took.
  using Escaper = size_t (*)(std::string_view rest, std::string& out);

  // Converts all of `in`; a sequence it cannot convert fails the whole
  // conversion unless `escape` is given.
  std::optional<std::string> Run(std::string_view in, Escaper escape = nullptr) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out;
    out.resize(in.size() * 4 + 8);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    size_t used = 0;
    while (srcLeft > 0) {
      char* dst = out.data() + used;
      size_t dstLeft = out.size() - used;
      size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      used = out.size() - dstLeft;
      if (r != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      if (!escape) return std::nullopt;  // EILSEQ or EINVAL
      out.resize(used);
      const size_t taken = escape(std::string_view(src, srcLeft), out);
      if (taken == 0 || taken > srcLeft) return std::nullopt;
      src += taken;
      srcLeft -= taken;
      used = out.size();
      out.resize(used + srcLeft * 4 + 8);
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t cd_;
};

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

std::optional<std::string> AnsiToUtf8(std::string_view ansi) {
  if (IsAscii(ansi)) return std::string(ansi);
  return Converter("UTF-8", "GB18030").Run(ansi);
}

std::optional<std::string> Utf8ToAnsi(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return Converter("GB18030", "UTF-8").Run(utf8);
}

std::optional<std::string> OsNameToAnsi(std::string_view osName) {
  if (IsAscii(osName)) return std::string(osName);
  // First as valid UTF-8 with the escapes in it, then into GB18030, where a
  // character that has no GB18030 form is escaped byte by byte as well.
  std::string text;
  text.reserve(osName.size() + 8);
  for (size_t i = 0; i < osName.size();) {
    const size_t start = i;
    const std::optional<char32_t> c = DecodeUtf8(osName, i);
    if (c && !IsEscape(*c)) {
      text.append(osName.substr(start, i - start));
      continue;
    }
    for (size_t k = start; k < i; ++k) AppendUtf8(text, kEscapeBase + static_cast<unsigned char>(osName[k]));
  }
  return Converter("GB18030", "UTF-8").Run(text, EscapeCharacter);
}

std::optional<std::string> AnsiToOsName(std::string_view ansi) {
  if (IsAscii(ansi)) return std::string(ansi);
  std::optional<std::string> text = AnsiToUtf8(ansi);
  if (!text) return std::nullopt;
  std::string name;
  name.reserve(text->size());
  bool escaped = false;
  for (size_t i = 0; i < text->size();) {
    const size_t start = i;
    const std::optional<char32_t> c = DecodeUtf8(*text, i);
    if (c && IsEscape(*c)) {
      name.push_back(static_cast<char>(*c - kEscapeBase));
      escaped = true;
    } else {
      name.append(*text, start, i - start);
    }
  }
  // Escaped bytes that make a valid character together (or a character with
  // a form of its own) are another spelling of a name that has its own ANSI
  // text; taking them would let two ANSI names open one file.
  if (escaped && OsNameToAnsi(name) != Utf8ToAnsi(*text)) return std::nullopt;
  return name;
}

}  // namespace platform

#include "platform/text/text_conversion.h"

#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "platform/base/last_error.h"
#include "platform/text/ansi_text.h"
#include "platform/text/utf8.h"

namespace platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

std::optional<std::u16string> Utf8ToUtf16(std::string_view text, bool strict) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    std::optional<char32_t> cp = DecodeUtf8(text, i);
    if (!cp && strict) return std::nullopt;
    const char32_t c = cp.value_or(kReplacement);
    if (c >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

template <class Char>
size_t SourceLength(const Char* source, int length) {
  if (length >= 0) return static_cast<size_t>(length);
  size_t n = 0;
  while (source[n]) ++n;
  return n + 1;  // the terminator is converted too
}

// Copies the converted units out as the calls' contract says.
template <class Char>
int Deliver(const std::basic_string<Char>& converted, Char* out, int outLength) {
  if (converted.size() > 0x7FFFFFFF) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  const int needed = static_cast<int>(converted.size());
  if (!out || outLength == 0) return needed;
  if (outLength < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(out, converted.data(), converted.size() * sizeof(Char));
  return needed;
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* source, int sourceLength, WCHAR* out, int outLength) {
  if (!source || sourceLength == 0 || sourceLength < -1 || outLength < 0 ||
      (codePage != CP_ACP && codePage != CP_UTF8)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string_view bytes(source, SourceLength(source, sourceLength));
  std::optional<std::string> utf8;
  if (codePage == CP_UTF8)
    utf8 = std::string(bytes);
  else
    utf8 = AnsiToUtf8(bytes);
  std::optional<std::u16string> wide;
  if (utf8) wide = Utf8ToUtf16(*utf8, (flags & MB_ERR_INVALID_CHARS) != 0);
  if (!wide) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  return Deliver(*wide, out, outLength);
}

int WideCharToMultiByte(UINT codePage, DWORD /*flags*/, const WCHAR* source, int sourceLength, char* out, int outLength,
                        const char* defaultChar, BOOL* usedDefault) {
  if (!source || sourceLength == 0 || sourceLength < -1 || outLength < 0 || defaultChar || usedDefault ||
      (codePage != CP_ACP && codePage != CP_UTF8)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string utf8 = Utf16ToUtf8(std::u16string_view(source, SourceLength(source, sourceLength)));
  std::optional<std::string> converted = codePage == CP_UTF8 ? std::optional(std::move(utf8)) : Utf8ToAnsi(utf8);
  if (!converted) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  return Deliver(*converted, out, outLength);
}

}  // namespace platform

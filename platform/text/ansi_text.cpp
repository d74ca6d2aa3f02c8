#include "platform/text/ansi_text.h"

#include <iconv.h>

#include <cerrno>

namespace platform {
namespace {

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

  // Converts all of `in`; on an invalid sequence either fails or, when
  // `replacement` is given, emits it and skips one byte.
  std::optional<std::string> Run(std::string_view in, const char* replacement) {
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
      if (!replacement) return std::nullopt;  // EILSEQ or EINVAL
      std::string_view mark(replacement);
      if (out.size() - used < mark.size()) out.resize(out.size() * 2 + mark.size());
      out.replace(used, mark.size(), mark);
      used += mark.size();
      ++src;
      --srcLeft;
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
  return Converter("UTF-8", "GB18030").Run(ansi, nullptr);
}

std::optional<std::string> Utf8ToAnsi(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return Converter("GB18030", "UTF-8").Run(utf8, nullptr);
}

}  // namespace platform

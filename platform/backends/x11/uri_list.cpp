#include "platform/backends/x11/uri_list.h"

#include <optional>

namespace platform::x11 {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Raw spaces and raw UTF-8 pass through: some sources send them unescaped.
std::optional<std::string> PercentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (text.size() - i < 3) return std::nullopt;  // '%' and two hex digits
    const int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    const char byte = static_cast<char>(high * 16 + low);
    if (byte == '\0') return std::nullopt;  // would cut the name short
    out += byte;
    i += 2;
  }
  return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

std::optional<std::string> LocalFile(std::string_view uri, std::string_view hostName) {
  constexpr std::string_view kScheme = "file://";
  if (!StartsWithNoCase(uri, kScheme)) return std::nullopt;
  uri.remove_prefix(kScheme.size());
  const size_t slash = uri.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const std::string_view host = uri.substr(0, slash);
  if (!host.empty() && host != "localhost" && host != hostName) return std::nullopt;
  auto path = PercentDecode(uri.substr(slash));
  if (!path || *path == "/") return std::nullopt;
  return path;
}

}  // namespace

std::vector<std::string> LocalFilesFromUriList(std::string_view list, std::string_view hostName) {
  std::vector<std::string> files;
  while (!list.empty()) {
    const size_t end = list.find('\n');
    std::string_view line = list.substr(0, end);
    list.remove_prefix(end == std::string_view::npos ? list.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    if (auto file = LocalFile(line, hostName)) files.push_back(std::move(*file));
  }
  return files;
}

}  // namespace platform::x11

#include "platform/ole/clipboard_formats.h"

#include <algorithm>
#include <string_view>

#include "platform/base/system.h"
#include "platform/ole/drop_registry.h"

namespace platform {
namespace {

constexpr UINT kFirstRegisteredFormat = 0xC000;
constexpr size_t kMaxRegisteredFormats = 0x4000;  // ids stay below 0x10000

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

}  // namespace

UINT RegisterClipboardFormatA(const char* name) {
  if (!name || !*name) return 0;
  DropRegistry& registry = Drops();
  std::lock_guard lock(registry.mutex);
  auto& names = registry.formatNames;
  auto it = std::ranges::find_if(names, [&](const std::string& known) { return SameName(known, name); });
  if (it == names.end()) {
    if (names.size() >= kMaxRegisteredFormats) return 0;
    it = names.insert(names.end(), name);
  }
  return kFirstRegisteredFormat + static_cast<UINT>(it - names.begin());
}

std::string GetClipboardFormatNameA(UINT format) {
  DropRegistry& registry = Drops();
  std::lock_guard lock(registry.mutex);
  if (format < kFirstRegisteredFormat || format - kFirstRegisteredFormat >= registry.formatNames.size()) return {};
  return registry.formatNames[format - kFirstRegisteredFormat];
}

}  // namespace platform

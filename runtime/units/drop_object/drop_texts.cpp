#include "runtime/units/drop_object/drop_texts.h"

#include <algorithm>

#include "platform/memory/global_memory.h"
#include "platform/ole/drop_files.h"
#include "platform/text/text_conversion.h"

namespace runtime::units::drop_object {

using namespace platform;

std::string GlobalText(HGLOBAL block) {
  GlobalLockGuard locked(block);
  const std::string_view bytes = locked.Bytes();
  return std::string(bytes.substr(0, bytes.find('\0')));
}

std::vector<std::string> DroppedFileNames(HGLOBAL drop) {
  std::vector<std::string> names;
  const UINT count = DragQueryFileA(drop, kDragQueryCount, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileA(drop, i, nullptr, 0);
    std::string name(static_cast<size_t>(length) + 1, '\0');
    name.resize(DragQueryFileA(drop, i, name.data(), length + 1));
    names.push_back(std::move(name));
  }
  return names;
}

std::string JoinFileNames(const std::vector<std::string>& names) {
  if (names.size() == 1) return names.front();
  std::string joined;
  for (const std::string& name : names) joined += name + "\r\n";
  return joined;
}

std::string HtmlText(std::string_view utf8) {
  if (utf8.empty() || utf8.size() > 0x7FFFFFFF) return {};
  const int length = static_cast<int>(utf8.size());
  std::u16string wide(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0)), u'\0');
  if (wide.empty()) return {};
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), static_cast<int>(wide.size()));
  std::replace(wide.begin(), wide.end(), u'\u00A0', u' ');
  // Sized by asking: a character can take more bytes in the ANSI code page
  // than in UTF-8 (U+00E9 takes two in UTF-8 and four in GB18030).
  const int wideLength = static_cast<int>(wide.size());
  const int needed =
      WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(std::max(needed, 0)), '\0');
  if (ansi.empty()) return {};
  ansi.resize(static_cast<size_t>(
      WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, wide.data(), wideLength, ansi.data(), needed, nullptr, nullptr)));
  return ansi;
}

}  // namespace runtime::units::drop_object

#include "runtime/picture/formats/icon_directory.h"

#include "runtime/picture/little_endian.h"

namespace runtime::picture::formats {

std::optional<IconDirectoryHeader> ReadIconDirectoryHeader(std::span<const uint8_t> header) {
  if (header.size() < kIconHeaderBytes) return std::nullopt;
  IconDirectoryHeader result{U16At(&header[2]), U16At(&header[4])};
  if (U16At(&header[0]) != 0 || (result.type != 1 && result.type != 2) || result.count == 0) return std::nullopt;
  return result;
}

std::optional<IconImageRange> ChooseIconImage(std::span<const uint8_t> entries, uint64_t fileSize) {
  std::optional<IconImageRange> last;
  for (size_t at = 0; at + kIconEntryBytes <= entries.size(); at += kIconEntryBytes) {
    const uint8_t* entry = &entries[at];
    const IconImageRange range{U32At(entry + 12), U32At(entry + 8)};
    // 64-bit sum: offset + size cannot wrap.
    if (range.size == 0 || uint64_t{range.offset} + range.size > fileSize) continue;
    const uint8_t width = entry[0];
    const uint8_t colours = entry[2];
    if (width == 32 && colours >= 16) return range;
    last = range;
  }
  return last;
}

}  // namespace runtime::picture::formats

// Choosing the image of an icon or cursor file from its directory.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace runtime::picture::formats {

inline constexpr size_t kIconHeaderBytes = 6;
inline constexpr size_t kIconEntryBytes = 16;

struct IconDirectoryHeader {
  uint16_t type = 0;  // 1 icon, 2 cursor
  uint16_t count = 0;
};

// Reserved 0, type 1 or 2, count above 0.
std::optional<IconDirectoryHeader> ReadIconDirectoryHeader(std::span<const uint8_t> header);

struct IconImageRange {
  uint32_t offset = 0;
  uint32_t size = 0;
};

// `entries` holds the directory's 16-byte entries. The first entry that is 32
// pixels wide with 16 or more colours wins, else the last one. Entries whose
// bytes do not lie inside a file of `fileSize` bytes are passed over.
std::optional<IconImageRange> ChooseIconImage(std::span<const uint8_t> entries, uint64_t fileSize);

}  // namespace runtime::picture::formats

// Dropped file lists (CF_HDROP): a DROPFILES header and the names one after
// another, each NUL-terminated, with an empty name at the end. On this
// platform the names are stored as the OS gives them, UTF-8 or any other
// bytes (fWide 0).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/types.h"

namespace platform {

using HDROP = HGLOBAL;

#pragma pack(push, 1)
struct DROPFILES {
  DWORD pFiles = sizeof(DROPFILES);  // offset of the first name
  POINT pt;
  BOOL fNC = FALSE;
  BOOL fWide = FALSE;
};
#pragma pack(pop)
static_assert(sizeof(DROPFILES) == 20);

// The bytes of a CF_HDROP block holding the given paths, as the OS names them.
std::vector<uint8_t> DropFilesBytes(const std::vector<std::string>& osPaths);

inline constexpr UINT kDragQueryCount = 0xFFFFFFFF;

// Index kDragQueryCount: the number of names. Otherwise without a buffer
// the length of name `index` in the ANSI code page (without its NUL), or
// with one the name copied and cut to size - 1 bytes, NUL-terminated, and
// the bytes copied. Names convert as ansi_text.h converts file names, so a
// name that is not UTF-8 reads as the ANSI name that opens that very file.
// 0 for a bad block or index; a block is read only within its size.
UINT DragQueryFileA(HDROP drop, UINT index, char* buffer, UINT size);

}  // namespace platform

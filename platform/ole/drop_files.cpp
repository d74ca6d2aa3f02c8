#include "platform/ole/drop_files.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/memory/global_memory.h"
#include "platform/text/ansi_text.h"

namespace platform {
namespace {

// The names of a block in order; the list ends at an empty name or at the
// block's end, whichever comes first (a name cut by the end is not a name).
std::vector<std::string_view> Names(std::string_view block) {
  std::vector<std::string_view> names;
  DROPFILES header;
  if (block.size() < sizeof header) return names;
  std::memcpy(&header, block.data(), sizeof header);
  if (header.fWide || header.pFiles < sizeof header || header.pFiles > block.size()) return names;
  for (size_t at = header.pFiles; at < block.size();) {
    const size_t end = block.find('\0', at);
    if (end == std::string_view::npos || end == at) break;
    names.push_back(block.substr(at, end - at));
    at = end + 1;
  }
  return names;
}

}  // namespace

std::vector<uint8_t> DropFilesBytes(const std::vector<std::string>& osPaths) {
  DROPFILES header;
  std::vector<uint8_t> bytes(sizeof header);
  std::memcpy(bytes.data(), &header, sizeof header);
  for (const std::string& path : osPaths) {
    bytes.insert(bytes.end(), path.begin(), path.end());
    bytes.push_back(0);
  }
  bytes.push_back(0);
  return bytes;
}

UINT DragQueryFileA(HDROP drop, UINT index, char* buffer, UINT size) {
  GlobalLockGuard block(drop);
  const std::vector<std::string_view> names = Names(block.Bytes());
  if (index == kDragQueryCount) return static_cast<UINT>(names.size());
  if (index >= names.size()) return 0;
  const std::string name = OsNameToAnsi(names[index]).value_or(std::string());
  if (!buffer) return static_cast<UINT>(std::min<size_t>(name.size(), 0xFFFFFFFE));
  if (size == 0) return 0;
  const size_t copied = std::min<size_t>(name.size(), size - 1);
  std::memcpy(buffer, name.data(), copied);
  buffer[copied] = 0;
  return static_cast<UINT>(copied);
}

}  // namespace platform

#include "runtime/core/type_block.h"

#include "platform/global_memory.h"

namespace runtime {

platform::HGLOBAL BlockToGlobal(std::span<const uint8_t> block) {
  platform::HGLOBAL memory = platform::GlobalAlloc(platform::GMEM_MOVEABLE, block.size());
  if (!memory) return 0;
  void* p = platform::GlobalLock(memory);
  if (!p) {
    platform::GlobalFree(memory);
    return 0;
  }
  std::memcpy(p, block.data(), block.size());
  platform::GlobalUnlock(memory);
  return memory;
}

}  // namespace runtime

#include "platform/gdi/raster/surface.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "platform/gdi/raster/checked_size.h"
#include "platform/memory/large_blocks.h"

namespace platform {

Surface::Surface(Token, uint8_t* first, int32_t width, int32_t height, ptrdiff_t stride, std::shared_ptr<void> storage)
    : first_(first), width_(width), height_(height), stride_(stride), storage_(std::move(storage)) {}

std::shared_ptr<Surface> Surface::Create(int32_t width, int32_t height) {
  const auto bytes = gdi::PixelBytes(width, height, 4);
  if (!bytes) return nullptr;
  // Zeroed by the system, so a canvas is not written twice (2160 x 2160 is
  // 18 MB), and on huge pages when large; rows stay 4-byte aligned for Row32.
  auto* zeroed = static_cast<uint32_t*>(AllocateZeroed(*bytes));
  if (!zeroed) return nullptr;
  std::shared_ptr<uint32_t[]> block;
  try {
    block = std::shared_ptr<uint32_t[]>(zeroed, BlockDeleter{});
  } catch (const std::bad_alloc&) {
    return nullptr;  // the deleter has freed the pixels
  }
  auto* first = reinterpret_cast<uint8_t*>(block.get());
  return std::make_shared<Surface>(Token{}, first, width, height, static_cast<ptrdiff_t>(width) * 4, std::move(block));
}

std::shared_ptr<Surface> Surface::Wrap(uint8_t* firstRow, int32_t width, int32_t height, ptrdiff_t stride,
                                       std::shared_ptr<void> keepAlive) {
  if (!firstRow || width <= 0 || height <= 0) return nullptr;
  const ptrdiff_t magnitude = stride < 0 ? -stride : stride;
  if (magnitude < static_cast<ptrdiff_t>(width) * 4 || magnitude % 4 != 0) return nullptr;
  if (reinterpret_cast<uintptr_t>(firstRow) % 4 != 0) return nullptr;
  return std::make_shared<Surface>(Token{}, firstRow, width, height, stride, std::move(keepAlive));
}

void Surface::Fill(const RECT& area, COLORREF colour) {
  const int32_t left = std::max<int32_t>(area.left, 0);
  const int32_t top = std::max<int32_t>(area.top, 0);
  const int32_t right = std::min(area.right, width_);
  const int32_t bottom = std::min(area.bottom, height_);
  if (left >= right || top >= bottom) return;
  const uint32_t pixel = ColorToPixel(colour);
  for (int32_t y = top; y < bottom; ++y) std::fill(Row32(y) + left, Row32(y) + right, pixel);
  AddDamage(RECT{left, top, right, bottom});
}

void Surface::AddDamage(const RECT& area) {
  const RECT clipped{std::max<int32_t>(area.left, 0), std::max<int32_t>(area.top, 0), std::min(area.right, width_),
                     std::min(area.bottom, height_)};
  if (clipped.left >= clipped.right || clipped.top >= clipped.bottom) return;
  std::function<void()> listener;
  {
    std::lock_guard lock(damageMutex_);
    if (damage_.IsEmpty()) {
      damage_ = clipped;
      listener = damageListener_;
    } else {
      damage_ = RECT{std::min(damage_.left, clipped.left), std::min(damage_.top, clipped.top),
                     std::max(damage_.right, clipped.right), std::max(damage_.bottom, clipped.bottom)};
    }
  }
  if (listener) listener();
}

RECT Surface::TakeDamage() {
  std::lock_guard lock(damageMutex_);
  return std::exchange(damage_, RECT{});
}

void Surface::SetDamageListener(std::function<void()> listener) {
  std::lock_guard lock(damageMutex_);
  damageListener_ = std::move(listener);
}

SurfaceWrite::SurfaceWrite(const std::shared_ptr<Surface>& surface, RECT bounds)
    : surface_(surface.get()), bounds_(bounds) {
  if (surface_) lock_ = std::unique_lock(surface_->Mutex());
}

SurfaceWrite::~SurfaceWrite() {
  if (!surface_) return;
  lock_.unlock();
  surface_->AddDamage(bounds_);
}

}  // namespace platform

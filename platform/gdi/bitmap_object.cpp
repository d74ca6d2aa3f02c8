#include <algorithm>
#include <cstring>
#include <new>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/raster/checked_size.h"

namespace platform::gdi {

std::shared_ptr<BitmapObject> BitmapObject::CreateColour(int32_t width, int32_t height) {
  auto surface = Surface::Create(width, height);
  if (!surface) return nullptr;
  return OverSurface(std::move(surface));
}

std::shared_ptr<BitmapObject> BitmapObject::OverSurface(std::shared_ptr<Surface> surface) {
  if (!surface) return nullptr;
  auto bitmap = std::make_shared<BitmapObject>();
  bitmap->format_ = PixelFormat::Bgrx32;
  bitmap->width_ = surface->Width();
  bitmap->height_ = surface->Height();
  bitmap->surface_ = std::move(surface);
  return bitmap;
}

std::shared_ptr<BitmapObject> BitmapObject::CreateMono(int32_t width, int32_t height) {
  const auto stride = RowBytes(width, 1, 2);
  if (!stride) return nullptr;
  const auto bytes = ImageBytes(static_cast<int64_t>(*stride), height);
  if (!bytes) return nullptr;
  auto bitmap = std::make_shared<BitmapObject>();
  bitmap->format_ = PixelFormat::Mono1;
  bitmap->width_ = width;
  bitmap->height_ = height;
  bitmap->monoStride_ = *stride;
  try {
    bitmap->mono_.assign(*bytes, 0);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return bitmap;
}

PixelPlane BitmapObject::Plane() {
  if (format_ == PixelFormat::Mono1)
    return PixelPlane{format_, mono_.data(), static_cast<ptrdiff_t>(monoStride_), width_, height_};
  return PixelPlane{format_, surface_->Row(0), surface_->Stride(), width_, height_};
}

std::shared_ptr<BitmapObject> BitmapObject::Clone() const {
  if (format_ == PixelFormat::Mono1) {
    auto copy = CreateMono(width_, height_);
    if (copy) copy->mono_ = mono_;
    return copy;
  }
  auto copy = CreateColour(width_, height_);
  if (copy)
    for (int32_t y = 0; y < height_; ++y)
      std::memcpy(copy->surface_->Row(y), surface_->Row(y), static_cast<size_t>(width_) * 4);
  return copy;
}

DeviceContext::~DeviceContext() {
  if (bitmap) {
    HDC expected = self;
    bitmap->selectedIn.compare_exchange_strong(expected, 0);
  }
}

RECT Shifted(const RECT& r, POINT by) {
  auto move = [](LONG v, LONG d) {
    return static_cast<LONG>(std::clamp<int64_t>(int64_t{v} + d, INT32_MIN, INT32_MAX));
  };
  return RECT{move(r.left, by.x), move(r.top, by.y), move(r.right, by.x), move(r.bottom, by.y)};
}

DrawTarget TargetOf(DeviceContext& dc) {
  DrawTarget target;
  if (dc.kind == DeviceContext::Kind::Memory) {
    if (!dc.bitmap) return target;
    target.plane = dc.bitmap->Plane();
    target.surface = dc.bitmap->ColourSurface();
    target.clip = Region(RECT{0, 0, target.plane.width, target.plane.height});
    if (dc.state.clip) target.clip = Region::Combine(target.clip, *dc.state.clip, Region::Op::And);
    return target;
  }
  if (dc.kind == DeviceContext::Kind::Window) {
    WindowDrawTarget where;
    if (!dc.locate || !dc.locate(&where)) where = WindowDrawTarget{};  // the window is gone
    dc.surface = std::move(where.surface);
    dc.origin = where.origin;
    dc.visible = dc.surface ? Region::FromRects(where.visible) : Region();
  }
  if (!dc.surface || dc.visible.Empty()) return target;
  target.plane = PixelPlane{PixelFormat::Bgrx32, dc.surface->Row(0), dc.surface->Stride(), dc.surface->Width(),
                            dc.surface->Height()};
  target.origin = dc.origin;
  target.surface = dc.surface;
  target.clip =
      Region::Combine(dc.visible, Region(RECT{0, 0, target.plane.width, target.plane.height}), Region::Op::And);
  for (const std::optional<Region>* limit : {&dc.paintArea, &dc.state.clip}) {
    if (!*limit) continue;
    Region clip = **limit;
    clip.Offset(dc.origin.x, dc.origin.y);
    target.clip = Region::Combine(target.clip, clip, Region::Op::And);
  }
  if (target.clip.Empty()) target.plane.first = nullptr;
  return target;
}

}  // namespace platform::gdi

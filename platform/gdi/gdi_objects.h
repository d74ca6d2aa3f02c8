// The drawing objects that live in the handle table. Internal to
// platform/gdi; the runtime sees only handles.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/base/handle_table.h"
#include "platform/base/system.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/raster/pixel_plane.h"
#include "platform/gdi/raster/surface.h"
#include "platform/gdi/region.h"

namespace platform::gdi {

class BitmapObject : public HandleObject {
 public:
  // Zero-filled; null when a side is not positive or too large.
  static std::shared_ptr<BitmapObject> CreateColour(int32_t width, int32_t height);
  static std::shared_ptr<BitmapObject> CreateMono(int32_t width, int32_t height);
  // A colour bitmap over an existing surface (DIB sections).
  static std::shared_ptr<BitmapObject> OverSurface(std::shared_ptr<Surface> surface);

  PixelFormat Format() const { return format_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  PixelPlane Plane();
  // Monochrome rows are padded to 16 bits, as device bitmaps are.
  size_t MonoStride() const { return monoStride_; }
  std::shared_ptr<Surface> ColourSurface() const { return surface_; }
  std::shared_ptr<BitmapObject> Clone() const;

  // Set for DIB sections: the header they were made from and the caller-visible bits.
  std::optional<BITMAPINFOHEADER> dibHeader;
  void* dibBits = nullptr;

  bool stock = false;
  // The memory DC that has it selected, 0 when none; a bitmap sits in one DC at most.
  std::atomic<HDC> selectedIn{0};

 private:
  PixelFormat format_ = PixelFormat::Bgrx32;
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::shared_ptr<Surface> surface_;  // Bgrx32
  std::vector<uint8_t> mono_;         // Mono1
  size_t monoStride_ = 0;
};

class BrushObject : public HandleObject {
 public:
  UINT style = BS_SOLID;
  COLORREF colour = 0;
  int hatch = 0;
  std::shared_ptr<BitmapObject> pattern;  // BS_PATTERN: a private copy of the bitmap
  bool stock = false;
};

class PenObject : public HandleObject {
 public:
  int style = PS_SOLID;
  int width = 0;
  COLORREF colour = 0;
  bool stock = false;
};

class FontObject : public HandleObject {
 public:
  LOGFONTA font;
  bool stock = false;
};

class RegionObject : public HandleObject {
 public:
  Region region;
};

struct DcState {
  HBITMAP bitmap = 0;
  HBRUSH brush = 0;
  HPEN pen = 0;
  HFONT font = 0;
  // Held so an object deleted while selected is never freed under the DC.
  std::shared_ptr<BrushObject> brushObject;
  std::shared_ptr<PenObject> penObject;
  std::shared_ptr<FontObject> fontObject;
  COLORREF textColour = 0x000000;
  COLORREF bkColour = 0xFFFFFF;
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int stretchMode = BLACKONWHITE;
  int polyFillMode = ALTERNATE;
  int mapMode = MM_TEXT;
  POINT windowOrg;
  POINT viewportOrg;
  SIZE windowExt{1, 1};
  SIZE viewportExt{1, 1};
  POINT brushOrg;
  std::optional<Region> clip;  // device coordinates; none = no clip
};

class DeviceContext : public HandleObject {
 public:
  enum class Kind { Memory, Window, Screen };
  Kind kind = Kind::Memory;
  HDC self = 0;
  DcState state;
  std::vector<DcState> saved;
  // Memory DCs: the selected bitmap.
  std::shared_ptr<BitmapObject> bitmap;
  // Window DCs: the window's surface, where device (0, 0) lies in it, and
  // what of it the window may touch (surface coordinates).
  Handle palette = 0;  // selected logical palette; 0 = the default one
  // They are looked up again through `locate` at every drawing call
  // (TargetOf), so a DC held across a move or resize draws where the window
  // is now; `locate` answers false once the window is gone.
  std::function<bool(WindowDrawTarget*)> locate;
  std::shared_ptr<Surface> surface;
  POINT origin;
  Region visible;
  // Paint DCs: the update area BeginPaint took, in device coordinates. A
  // limit under the DC's own clip that SelectClipRgn cannot lift.
  std::optional<Region> paintArea;

  ~DeviceContext() override;
};

class IconObject : public HandleObject {
 public:
  int32_t width = 0;
  int32_t height = 0;
  bool hasAlpha = false;
  bool isIcon = true;
  bool shared = false;           // the system cursors: DestroyCursor leaves them
  POINT hotspot;                 // cursors: the pointer's point in the image
  std::vector<uint32_t> colour;  // 0xAARRGGBB per pixel, rows top-down
  std::vector<uint8_t> mask;     // 1 where the AND mask keeps the target
};

inline HandleTable& Handles() { return System::Get().Handles(); }

template <class T>
std::shared_ptr<T> Lookup(Handle handle, ObjectKind kind) {
  return Handles().Get<T>(handle, kind);
}

// Where a DC's drawing lands: the pixels, the clip in plane coordinates and
// where the DC's device origin lies in the plane. A window DC first looks up
// its window's surface and visible part afresh. `plane.first` is null when
// the DC draws nowhere.
struct DrawTarget {
  PixelPlane plane;
  std::shared_ptr<Surface> surface;  // colour targets: whose mutex guards the writes
  Region clip;
  POINT origin;
};
DrawTarget TargetOf(DeviceContext& dc);

inline std::shared_ptr<DeviceContext> FindDc(HDC dc) { return Lookup<DeviceContext>(dc, ObjectKind::DeviceContext); }

// Puts a new DC into the table with its default state; 0 when the table is full.
HDC AddDc(std::shared_ptr<DeviceContext> dc);

// Logical to device transform of a DC's current state.
POINT ToDevice(const DcState& s, POINT logical);
POINT ToLogical(const DcState& s, POINT device);
// A logical rectangle as a device rectangle (corners transformed, then ordered).
RECT ToDeviceRect(const DcState& s, const RECT& logical);

// r moved by (dx, dy), coordinates saturating rather than wrapping.
RECT Shifted(const RECT& r, POINT by);

}  // namespace platform::gdi

#include "runtime/units/picture_box/picture_box.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/gdi/icons/cursor.h"
#include "platform/windows/system_metrics.h"
#include "platform/windows/window.h"
#include "platform/windows/window_dc.h"
#include "runtime/core/memory.h"
#include "runtime/core/notify.h"
#include "runtime/core/runtime_calls.h"
#include "runtime/core/unit_window.h"
#include "runtime/picture/drawing/picture_drawing.h"
#include "runtime/picture/formats/picture_decode.h"
#include "runtime/picture/table/picture_table.h"
#include "runtime/units/picture_box/picture_placement.h"

namespace runtime::units::picture_box {

using picture::PictureKind;
using picture::formats::GifComposer;
using picture::table::DecodeOwnedPicture;

using picture::drawing::ChooseStretchMode;
using picture::drawing::RenderPictureOnColour;
using picture::formats::DetectPictureKind;
namespace {

// The animation thread found no memory for a frame (wParam: the request).
constexpr platform::UINT kAnimationExhausted = 0x8401;

using namespace platform;
namespace property = picture_box_property;

// How long a started animation may take to hand over its first frame
// before the box counts as settled without it.
constexpr DWORD kFirstFrameWaitMs = 1000;

constexpr int32_t kLastBorder = 5;
constexpr int32_t kLastSetMode = display_mode::kFit;

}  // namespace

PictureBox::PictureBox(WindowId window, UnitId unit, bool designer, PictureBoxBlock block)
    : window_(window), unit_(unit), designer_(designer), block_(std::move(block)), clock_(&SystemAnimationClock()) {}

PictureBox::~PictureBox() = default;

UnitObject* PictureBox::Create(const CreateParams& p) {
  const size_t length = p.block ? static_cast<size_t>(std::max(p.blockLength, 0)) : 0;
  auto block = ReadPictureBoxBlock(std::span<const uint8_t>(p.block, length));
  if (!block) return nullptr;
  std::unique_ptr<PictureBox> box(new PictureBox(p.window, p.unit, p.designer != 0, std::move(*block)));
  EnsureUnitClass(kPictureBoxClass);  // each box's own procedure is set below
  box->hwnd_ = CreateWindowExA(0, kPictureBoxClass, "", p.style | WS_CHILD | WS_CLIPSIBLINGS, p.x, p.y, p.width,
                               p.height, p.parent, 0, nullptr);
  if (!box->hwnd_) return nullptr;
  SetWindowLongPtrA(box->hwnd_, GWLP_ID, p.controlId);
  AttachUnit(box->hwnd_, box.get(), &PictureBox::Proc);

  // A designer shows a GIF's first image and never plays it.
  box->animationEnabled_ = !box->designer_ && box->block_.animate != 0;
  box->ApplyBackground();
  // The form's mode may be 3 (auto-size), which setting #11 never gives; a
  // value beyond the modes would place nothing, so it is held to them.
  box->mode_ = std::clamp(box->block_.displayMode, display_mode::kOwnSize, display_mode::kAutoSize);
  box->ShowPictureBytes();
  box->ApplyDisplayMode(box->mode_);
  box->ApplyBorder(std::clamp(box->block_.border, 0, kLastBorder));
  return box.release();
}

LRESULT PictureBox::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* box = AttachedUnit<PictureBox>(hwnd);
  if (!box || box->hwnd_ != hwnd) return DefWindowProcA(hwnd, message, wParam, lParam);
  return box->Handle(message, wParam, lParam);
}

LRESULT PictureBox::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kAskRuntimeObject: return RuntimeObjectAnswer(this);
    case WM_ERASEBKGND: return 1;  // the paint covers the whole client area
    case WM_PAINT: Paint(); return 0;
    case WM_SIZE: InvalidateRect(hwnd_, nullptr, FALSE); return 0;
    case kAnimationExhausted: OutOfMemory(static_cast<size_t>(wParam)); return 0;
    case WM_NCDESTROY: {
      const WindowId window = window_;
      const UnitId unit = unit_;
      AttachUnit(hwnd_, nullptr);
      delete this;  // stops the animation first
      Runtime().ObjectDestroyed(window, unit);
      return 0;
    }
    default: return DefWindowProcA(hwnd_, message, wParam, lParam);
  }
}

bool PictureBox::GetProperty(int32_t number, RawValue* value) const {
  switch (number) {
    case property::kBorder: value->first = block_.border; return true;
    case property::kBackground: value->first = static_cast<intptr_t>(block_.background); return true;
    case property::kPicture: *value = BytesValue(block_.picture); return true;
    case property::kDisplayMode: value->first = block_.displayMode; return true;
    case property::kAnimate: value->first = block_.animate; return true;
    case property::kDataSource: *value = TextValue(block_.dataSource.c_str()); return true;
    case property::kDataColumn: *value = TextValue(block_.dataColumn.c_str()); return true;
    default: return false;
  }
}

void PictureBox::SetProperty(int32_t number, const RawValue& value) {
  const auto asInt = [&] { return static_cast<int32_t>(value.first); };
  const auto asText = [&] {
    const char* text = ValueText(value);
    return std::string(text ? text : "");
  };
  switch (number) {
    case property::kBorder:
      block_.border = std::clamp(asInt(), 0, kLastBorder);
      ApplyBorder(block_.border);
      break;
    case property::kBackground:
      block_.background = static_cast<COLORREF>(value.first);
      ApplyBackground();
      // An animation's canvas starts as the background: it starts over.
      if (gifAnimated_) ShowPictureBytes();
      InvalidateRect(hwnd_, nullptr, FALSE);
      break;
    case property::kPicture: {
      const std::span<const uint8_t> given = ValueBytes(value);
      block_.picture.assign(given.begin(), given.end());
      ShowPictureBytes();
      break;
    }
    case property::kDisplayMode:
      block_.displayMode = std::clamp(asInt(), display_mode::kOwnSize, kLastSetMode);
      ApplyDisplayMode(block_.displayMode);
      break;
    case property::kAnimate:
      block_.animate = asInt();
      animationEnabled_ = !designer_ && block_.animate != 0;
      if (block_.picture.size() >= 8 && DetectPictureKind(block_.picture.data(), 8) == PictureKind::Gif)
        ShowPictureBytes();
      break;
    case property::kDataSource:
      block_.dataSource = asText();
      Bind();
      break;
    case property::kDataColumn:
      block_.dataColumn = asText();
      Bind();
      break;
    default: break;
  }
}

void PictureBox::Bind() {
  // No unit type of this runtime is a data source, so every binding, to a
  // name or to none, finds no record and leaves the box without a picture.
  block_.picture.clear();
  ShowPictureBytes();
}

void PictureBox::DropShownPicture() {
  player_.reset();  // stops the thread before its frames go
  playerStarted_ = false;
  stillFrame_.reset();
  gifAnimated_ = false;
  gifSize_ = SIZE{};
  picture_.reset();
  hasPicture_ = false;
  pictureSize_ = SIZE{};
  rendered_.Reset();
}

void PictureBox::ShowPictureBytes() {
  DropShownPicture();
  const ByteRun& bytes = block_.picture;
  if (!bytes.empty()) {
    const PictureKind kind = bytes.size() >= 8 ? DetectPictureKind(bytes.data(), 8) : PictureKind::None;
    if (kind == PictureKind::Gif && animationEnabled_)
      LoadAnimation();
    else if (kind != PictureKind::None)
      picture_ = DecodeOwnedPicture(block_.picture);
    hasPicture_ = picture_ != nullptr;
    if (picture_ && picture_->kind != 0) pictureSize_ = SIZE{picture_->width, picture_->height};
    if (mode_ == display_mode::kAutoSize) AutoSize();
  }
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void PictureBox::LoadAnimation() {
  auto composer = GifComposer::Open(block_.picture, background_);
  if (!composer) return;  // shows nothing
  gifAnimated_ = true;
  gifSize_ = SIZE{composer->Width(), composer->Height()};
  const GifComposer::Step first = composer->Advance();
  if (composer->AtStreamEnd()) {
    // One image: kept as a still frame, no thread.
    if (first.composed) stillFrame_ = SnapshotFrame(*composer);
    return;
  }
  const HWND hwnd = hwnd_;
  player_ = std::make_unique<GifPlayer>(
      std::move(*composer), *clock_, [hwnd](const AnimationFrame&) { InvalidateRect(hwnd, nullptr, FALSE); },
      [hwnd](size_t size) { PostMessageA(hwnd, kAnimationExhausted, static_cast<WPARAM>(size), 0); });
}

SIZE PictureBox::ShownSize() const {
  if (gifAnimated_) return gifSize_;
  return pictureSize_;
}

void PictureBox::ApplyDisplayMode(int32_t mode) {
  if (mode == display_mode::kAutoSize) AutoSize();
  if (mode == mode_) return;
  mode_ = mode;
  InvalidateRect(hwnd_, nullptr, FALSE);
  UpdateWindow(hwnd_);
}

void PictureBox::AutoSize() {
  const SIZE wanted = ShownSize();
  if (wanted.cx <= 0 || wanted.cy <= 0) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  if (client.right == wanted.cx && client.bottom == wanted.cy) return;
  RECT outer{0, 0, wanted.cx, wanted.cy};
  AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_EXSTYLE)));
  SetWindowPos(hwnd_, 0, 0, 0, outer.Width(), outer.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PictureBox::ApplyBorder(int32_t border) {
  static constexpr DWORD kEdges[] = {
      0, WS_EX_CLIENTEDGE, WS_EX_DLGMODALFRAME, WS_EX_STATICEDGE, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME, 0};
  auto style = static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE)) & ~WS_BORDER;
  auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_EXSTYLE)) &
                 ~(WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE);
  exStyle |= kEdges[border];
  if (border == kLastBorder) style |= WS_BORDER;
  SetWindowLongPtrA(hwnd_, GWL_STYLE, style);
  SetWindowLongPtrA(hwnd_, GWL_EXSTYLE, exStyle);
  SetWindowPos(hwnd_, 0, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void PictureBox::ApplyBackground() {
  background_ = PaintColour(block_.background);
  brush_.Reset(CreateSolidBrush(background_));
  rendered_.Reset();  // rendered over the old colour
}

void PictureBox::FillAround(HDC dc, const RECT& client, const RECT& shown) const {
  const RECT inside = IntersectRects(client, shown);
  if (inside.IsEmpty()) {
    FillRect(dc, &client, brush_.get());
    return;
  }
  const RECT bands[] = {{client.left, client.top, client.right, inside.top},
                        {client.left, inside.bottom, client.right, client.bottom},
                        {client.left, inside.top, inside.left, inside.bottom},
                        {inside.right, inside.top, client.right, inside.bottom}};
  for (const RECT& band : bands)
    if (!band.IsEmpty()) FillRect(dc, &band, brush_.get());
}

void PictureBox::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  if (gifAnimated_)
    PaintAnimation(dc, client);
  else if (hasPicture_)
    PaintPicture(dc, client);
  else
    FillRect(dc, &client, brush_.get());
  EndPaint(hwnd_, &ps);
}

void PictureBox::PaintPicture(HDC dc, const RECT& client) {
  const RECT place = PlacePicture(mode_, client.right, client.bottom, pictureSize_.cx, pictureSize_.cy);
  // Only the part inside the client area is rendered: a photograph far
  // larger than the box at its own size costs no more than the box.
  const RECT part = IntersectRects(place, client);
  if (part.IsEmpty()) {
    FillRect(dc, &client, brush_.get());
    return;
  }
  if (rendered_ && !(place == renderedPlace_ && part == renderedPart_)) rendered_.Reset();
  if (!rendered_) {
    // Rendered once for the part that shows; repaints only copy it. Icons
    // draw over what lies beneath: the background first.
    OwnedGdiObject bitmap(CreateCompatibleBitmap(dc, part.Width(), part.Height()));
    MemoryDc memory(dc, bitmap.get());
    if (!memory.get()) {
      FillRect(dc, &client, brush_.get());
      return;
    }
    const RECT whole{0, 0, part.Width(), part.Height()};
    FillRect(memory.get(), &whole, brush_.get());
    if (!picture_) picture_ = DecodeOwnedPicture(block_.picture);
    if (picture_)
      RenderPictureOnColour(picture_.get(), memory.get(), place.left - part.left, place.top - part.top, place.Width(),
                            place.Height(), background_);
    picture_.reset();
    rendered_ = std::move(bitmap);
    renderedPlace_ = place;
    renderedPart_ = part;
  }
  FillAround(dc, client, part);
  MemoryDc memory(dc, rendered_.get());
  if (memory.get()) BitBlt(dc, part.left, part.top, part.Width(), part.Height(), memory.get(), 0, 0, SRCCOPY);
}

void PictureBox::PaintAnimation(HDC dc, const RECT& client) {
  if (player_ && !playerStarted_ && animationEnabled_) {
    playerStarted_ = true;
    player_->Start();
    // Its first frame comes from the thread; what waits for the window to
    // settle (a screenshot) waits for that frame too.
    if (player_->Running()) ExpectPaint(hwnd_, kFirstFrameWaitMs);
  }
  const SharedFrame frame = player_ ? player_->CurrentFrame() : stillFrame_;
  if (!frame) {
    FillRect(dc, &client, brush_.get());
    return;
  }
  const RECT place = PlacePicture(mode_, client.right, client.bottom, frame->width, frame->height);
  FillAround(dc, client, place);
  MemoryDc memory(dc, static_cast<HBITMAP>(frame->bitmap.get()));
  if (!memory.get()) return;
  if (mode_ == display_mode::kOwnSize) {
    BitBlt(dc, 0, 0, frame->width, frame->height, memory.get(), 0, 0, SRCCOPY);
    return;
  }
  SetStretchBltMode(dc, ChooseStretchMode());
  StretchBlt(dc, place.left, place.top, place.Width(), place.Height(), memory.get(), 0, 0, frame->width, frame->height,
             SRCCOPY);
}

}  // namespace runtime::units::picture_box

#include "runtime/units/draw_panel/draw_panel.h"

#include <algorithm>
#include <span>

#include "platform/gdi/icons/cursor.h"
#include "platform/windows/pointer.h"
#include "platform/windows/window.h"
#include "platform/windows/window_dc.h"
#include "runtime/core/notify.h"
#include "runtime/core/runtime_calls.h"
#include "runtime/core/unit_window.h"
#include "runtime/units/border_style.h"

namespace runtime::units::draw_panel {

using namespace platform;

DrawPanel::DrawPanel(const CreateParams& p, DrawPanelProperties properties)
    : properties_(std::move(properties)),
      window_(p.window),
      unit_(p.unit),
      designer_(p.designer),
      designedWidth_(p.width),
      designedHeight_(p.height),
      // The loader turns the form's "focus on click" flag into WS_TABSTOP.
      activateOnClick_((p.style & WS_TABSTOP) != 0) {}

DrawPanel::~DrawPanel() = default;

UnitObject* DrawPanel::Create(const CreateParams& p) {
  const size_t length = p.block && p.blockLength > 0 ? static_cast<size_t>(p.blockLength) : 0;
  auto properties = ReadDrawPanelBlock(std::span<const uint8_t>(p.block, length));
  if (!properties) return nullptr;
  auto* panel = new DrawPanel(p, std::move(*properties));
  panel->RemakePen();
  panel->RemakeBrush();
  panel->RemakeFont();

  EnsureUnitClass(kDrawPanelClass, &DrawPanel::Proc);
  // The first WM_SIZE, sent while the window is made, builds the canvas; the
  // object is attached from WM_NCCREATE on so that it is there for it.
  const HWND hwnd = CreateWindowExA(0, kDrawPanelClass, "", p.style | WS_CHILD | WS_CLIPSIBLINGS, p.x, p.y, p.width,
                                    p.height, p.parent, 0, panel);
  if (!hwnd) {
    delete panel;
    return nullptr;
  }
  panel->created_ = true;
  SetWindowLongPtrA(hwnd, GWLP_ID, p.controlId);
  panel->ApplyBorder();
  return panel;
}

LRESULT DrawPanel::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = AddressIn<const CREATESTRUCTA>(lParam);
    if (auto* panel = create ? static_cast<DrawPanel*>(create->lpCreateParams) : nullptr) {
      panel->hwnd_ = hwnd;
      AttachUnit(hwnd, panel);
    }
  }
  auto* panel = AttachedUnit<DrawPanel>(hwnd);
  if (!panel || panel->hwnd_ != hwnd) return DefWindowProcA(hwnd, message, wParam, lParam);
  return panel->Handle(message, wParam, lParam);
}

LRESULT DrawPanel::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kAskRuntimeObject: return RuntimeObjectAnswer(this);
    case WM_ERASEBKGND: return 1;  // the paint covers its whole area
    case WM_PAINT: Paint(); return 0;
    case WM_SIZE: BuildCanvas(true); return 0;
    case WM_MOUSEACTIVATE: return MouseActivate(wParam, lParam);
    case WM_SETFOCUS: RaiseSimple(draw_panel_event::kFocusGained); return 0;
    case WM_KILLFOCUS: RaiseSimple(draw_panel_event::kFocusLost); return 0;
    case WM_NCDESTROY: FinalDestroy(); return 0;  // may delete this
    default: return DefWindowProcA(hwnd_, message, wParam, lParam);
  }
}

LRESULT DrawPanel::MouseActivate(WPARAM wParam, LPARAM lParam) {
  if (designer_ || !activateOnClick_) return DefWindowProcA(hwnd_, WM_MOUSEACTIVATE, wParam, lParam);
  POINT cursor;
  GetCursorPos(&cursor);
  ScreenToClient(hwnd_, &cursor);
  // Only a click on the panel itself, not on a child it holds.
  if (ChildWindowFromPointDeep(hwnd_, cursor) != hwnd_) return DefWindowProcA(hwnd_, WM_MOUSEACTIVATE, wParam, lParam);
  if (GetFocus() != hwnd_) SetFocus(hwnd_);
  return MA_ACTIVATE;
}

void DrawPanel::RaiseSimple(int32_t key) { Runtime().RaiseEvent(window_, unit_, key); }

void DrawPanel::FinalDestroy() {
  AttachUnit(hwnd_, nullptr);
  // A window lost while it is being made leaves the object to Create.
  if (!created_) return;
  const WindowId window = window_;
  const UnitId unit = unit_;
  delete this;
  Runtime().ObjectDestroyed(window, unit);
}

void DrawPanel::Repaint() { InvalidateRect(hwnd_, nullptr, FALSE); }

void DrawPanel::BackgroundChanged() {
  BuildCanvas(false);
  Repaint();
}

void DrawPanel::BackgroundPictureChanged() {
  backgroundPicture_.reset();
  BackgroundChanged();
}

void DrawPanel::AutoRedrawChanged() {
  if (properties_.autoRedraw == 1)
    BuildCanvas(false);
  else
    canvas_.Reset();
  Repaint();
}

void DrawPanel::RemakePen() { pen_.Reset(designer_ ? 0 : MakePanelPen(properties_)); }

void DrawPanel::RemakeBrush() { brush_.Reset(designer_ ? 0 : MakePanelBrush(properties_)); }

void DrawPanel::RemakeFont() { font_.Reset(designer_ ? 0 : MakePanelFont(properties_)); }

void DrawPanel::ApplyBorder() { ApplyBorderStyle(hwnd_, properties_.border); }

SIZE DrawPanel::DrawingSize() const {
  if (designer_) return SIZE{designedWidth_, designedHeight_};
  RECT client;
  GetClientRect(hwnd_, &client);
  SIZE size{client.right, client.bottom};
  if (HDC dc = GetDC(hwnd_)) {
    ApplyScaleMode(dc, properties_.scaleMode);
    DPtoLPSize(dc, &size);
    SetMapMode(dc, MM_TEXT);
    ReleaseDC(hwnd_, dc);
  }
  return size;
}

}  // namespace runtime::units::draw_panel

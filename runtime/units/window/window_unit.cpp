#include "runtime/units/window/window_unit.h"

#include <algorithm>

#include "platform/base/backend.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/icons/cursor.h"
#include "platform/gdi/owners.h"
#include "platform/windows/menu.h"
#include "platform/windows/system_metrics.h"
#include "platform/windows/window.h"
#include "platform/windows/window_dc.h"
#include "runtime/core/application.h"
#include "runtime/core/notify.h"
#include "runtime/core/runtime_calls.h"
#include "runtime/core/unit_window.h"
#include "runtime/forms/events.h"
#include "runtime/forms/loader.h"
#include "runtime/forms/window_table.h"
#include "runtime/picture/drawing/picture_drawing.h"
#include "runtime/picture/formats/picture_decode.h"
#include "runtime/picture/table/picture_table.h"

namespace runtime::units::window {

using forms::TeardownWindow;
using forms::Windows;
using forms::WindowTable;
using picture::drawing::RenderPictureOnColour;
namespace window_event = forms::window_event;
namespace {

using namespace platform;

constexpr const char* kDefaultClass = "WTWindow";

using platform::MemoryDc;

}  // namespace

WindowUnit::WindowUnit(WindowId window, UnitId unit, WindowBlock block)
    : window_(window), unit_(unit), block_(std::move(block)) {}

WindowUnit::~WindowUnit() = default;

UnitObject* WindowUnit::Create(const CreateParams& p) {
  auto block =
      ReadWindowBlock(std::span<const uint8_t>(p.block, p.block ? static_cast<size_t>(std::max(p.blockLength, 0)) : 0));
  if (!block) return nullptr;
  const WindowBlock& b = *block;
  DWORD style = p.style | WS_CLIPCHILDREN;
  DWORD exStyle = 0;
  const bool child = p.style & WS_CHILD;
  namespace border = window_border;
  if (b.border != border::kNone) {
    if (!b.title.empty() || b.controlBox == 1) style |= WS_CAPTION;
    if (b.controlBox == 1) style |= WS_SYSMENU;
    if (!child) style |= WS_DLGFRAME;
  }
  if (b.border == border::kSizeable || b.border == border::kSizeableTool || b.border == border::kSizeableSunken)
    style |= WS_THICKFRAME;
  if (b.border == border::kSizeableTool || b.border == border::kFixedTool) exStyle |= WS_EX_TOOLWINDOW;
  if (b.border == border::kSizeableSunken || b.border == border::kFixedSunken) exStyle |= WS_EX_CLIENTEDGE;
  if (b.maximiseButton) style |= WS_MAXIMIZEBOX;
  if (b.minimiseButton) style |= WS_MINIMIZEBOX;

  int x = p.x, y = p.y;
  if (b.startPosition == start_position::kCentred) {
    const SIZE screen = ScreenSize();
    x = (screen.cx - p.width) / 2;
    y = (screen.cy - p.height) / 2;
  } else if (b.startPosition == start_position::kMinimised) {
    style |= WS_MINIMIZE;
  } else if (b.startPosition == start_position::kMaximised && (style & WS_THICKFRAME)) {
    style |= WS_MAXIMIZE;
  }
  HWND owner = p.parent;
  if (owner) style |= WS_POPUP;
  const Application& app = App();
  const WindowTable* table = Windows();
  if (!owner && app.programKind != 0 && ((table && table->loadModal) || b.showInTaskbar == 0)) owner = app.hiddenOwner;

  const std::string className = b.className.empty() ? kDefaultClass : b.className;
  EnsureUnitClass(className.c_str());  // each window's own procedure is set at creation
  auto* unit = new WindowUnit(p.window, p.unit, *block);
  HWND hwnd = CreateWindowExA(exStyle, className.c_str(), unit->block_.title.c_str(), style, x, y, p.width, p.height,
                              owner, p.menu, nullptr);
  if (!hwnd) {
    delete unit;
    return nullptr;
  }
  unit->hwnd_ = hwnd;
  AttachUnit(hwnd, unit, &WindowUnit::Proc);
  RECT outer;
  GetWindowRect(hwnd, &outer);
  if (outer.right - outer.left != p.width || outer.bottom - outer.top != p.height)
    MoveWindow(hwnd, x, y, p.width, p.height, TRUE);

  SendMessageA(hwnd, WM_SETFONT, static_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  if (b.alwaysOnTop == 1) SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (b.movable == 0) RemoveMenu(GetSystemMenu(hwnd, FALSE), SC_MOVE, MF_BYCOMMAND);
  // Decoded now, before the window's units are made: one that starts from
  // the same photograph (a draw panel's canvas) shares this decode instead
  // of making its own.
  unit->TakeBackground();
  return unit;
}

void WindowUnit::TakeBackground() {
  pictureTried_ = true;
  picture_ = picture::table::DecodeOwnedPicture(block_.picture);
  pictureSize_ = picture_ ? SIZE{picture_->width, picture_->height} : SIZE{0, 0};
}

void WindowUnit::BackgroundChanged() {
  picture_.reset();
  pictureTried_ = false;
  pictureSize_ = SIZE{0, 0};
  rendered_.Reset();
  InvalidateRect(hwnd_, nullptr, TRUE);
}

bool WindowUnit::IsChild() const { return GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_CHILD; }

EventRecord WindowUnit::Raise(int32_t key) { return Runtime().RaiseEvent(window_, unit_, key); }

LRESULT WindowUnit::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* unit = AttachedUnit<WindowUnit>(hwnd);
  if (!unit || unit->hwnd_ != hwnd) return DefWindowProcA(hwnd, message, wParam, lParam);
  return unit->Handle(message, wParam, lParam);
}

LRESULT WindowUnit::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND hwnd = hwnd_;
  switch (message) {
    case kAskRuntimeObject: return RuntimeObjectAnswer(this);
    case WM_ERASEBKGND: return 1;  // the paint covers the whole client area
    case WM_PAINT: Paint(); return 0;
    case WM_SIZE:
      InvalidateRect(hwnd, nullptr, FALSE);
      Raise(window_event::kSized);
      return 0;
    case WM_MOVE: Raise(window_event::kMoved); return 0;
    case WM_SHOWWINDOW: Raise(wParam ? window_event::kShown : window_event::kHidden); return 0;
    case WM_SETFOCUS: Raise(window_event::kFocusGained); return 0;
    case WM_KILLFOCUS: Raise(window_event::kFocusLost); return 0;
    case WM_CLOSE: OnClose(); return 0;
    case WM_SETCURSOR: return SetPointer(static_cast<HWND>(wParam));
    case WM_NCACTIVATE:
      // The title keeps its active look when the block asks for it.
      return DefWindowProcA(hwnd, message, block_.keepTitleActive == 1 ? TRUE : wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
      if (Drag(message, wParam, lParam)) return 0;
      return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_QUERYENDSESSION: {
      EventRecord r = Raise(window_event::kQueryClose);
      return (r.resultFlag && r.result == 0 && IsWindow(hwnd) && !IsChild()) ? FALSE : TRUE;
    }
    case WM_DESTROY: Raise(window_event::kDestroyed); return 0;
    case WM_NCDESTROY:
      OnFinalDestroy();  // deletes this
      return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

void WindowUnit::OnClose() {
  const HWND hwnd = hwnd_;
  // A handler's false keeps a top-level window open; a handler may also have
  // destroyed the window meanwhile.
  for (int32_t key : {window_event::kClosing, window_event::kQueryClose}) {
    EventRecord r = Raise(key);
    if (!IsWindow(hwnd)) return;
    if (r.resultFlag && r.result == 0 && !IsChild()) return;
  }
  ReleaseDisabled();
  DestroyWindow(hwnd);
}

void WindowUnit::OnFinalDestroy() {
  const WindowId window = window_;
  AttachUnit(hwnd_, nullptr);
  if (accelerators) DestroyAcceleratorTable(accelerators);
  accelerators = 0;
  ReleaseDisabled();
  delete this;
  TeardownWindow(window);
}

void WindowUnit::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  if (!dc) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  const COLORREF colour = PaintColour(block_.background);
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &client, brush);
  DeleteObject(brush);

  if (!pictureTried_) TakeBackground();
  if (pictureSize_.cx > 0 && pictureSize_.cy > 0) {
    const int cw = client.right, ch = client.bottom;
    const bool stretched = block_.pictureLayout == picture_layout::kStretched;
    const SIZE wanted = stretched ? SIZE{cw, ch} : pictureSize_;
    if (rendered_ && (renderedSize_.cx != wanted.cx || renderedSize_.cy != wanted.cy)) rendered_.Reset();
    if (!rendered_ && wanted.cx > 0 && wanted.cy > 0) {
      if (!picture_) picture_ = picture::table::DecodeOwnedPicture(block_.picture);
      // Drawn once at the size it is shown at; repaints only copy it.
      rendered_.Reset(CreateCompatibleBitmap(dc, wanted.cx, wanted.cy));
      MemoryDc memory(dc, static_cast<HBITMAP>(rendered_.get()));
      if (memory.get() && picture_)
        RenderPictureOnColour(picture_.get(), memory.get(), 0, 0, wanted.cx, wanted.cy, colour);
      renderedSize_ = wanted;
      // A 2160 x 2160 photograph decodes to 14 MB: let go of it unless the
      // user may drag the frame to another size that needs it at once.
      const bool resizable = GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_THICKFRAME;
      if (!(stretched && resizable)) picture_.reset();
    }
    if (rendered_) {
      MemoryDc memory(dc, static_cast<HBITMAP>(rendered_.get()));
      const int w = renderedSize_.cx, h = renderedSize_.cy;
      switch (block_.pictureLayout) {
        case picture_layout::kTiled:  // from the top-left corner
          for (int y = 0; y < ch; y += h)
            for (int x = 0; x < cw; x += w) BitBlt(dc, x, y, w, h, memory.get(), 0, 0, SRCCOPY);
          break;
        case picture_layout::kCentred: BitBlt(dc, (cw - w) / 2, (ch - h) / 2, w, h, memory.get(), 0, 0, SRCCOPY); break;
        default: BitBlt(dc, 0, 0, w, h, memory.get(), 0, 0, SRCCOPY); break;
      }
    }
  }
  EndPaint(hwnd_, &ps);
}

}  // namespace runtime::units::window

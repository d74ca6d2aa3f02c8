// platform/ole: the object model and drag and drop. Reference-counted
// interfaces (com.h), the data object a drag carries and the drop target a
// window registers (here), the drag dispatcher that backends feed drags into
// (drag_dispatch.h), clipboard formats and the dropped file names
// (drop_files.h).
#pragma once

#include <cstdint>

#include "platform/base/types.h"
#include "platform/ole/com.h"

namespace platform {

using CLIPFORMAT = uint16_t;

// Effects a source allows and a target chooses.
inline constexpr DWORD DROPEFFECT_NONE = 0;
inline constexpr DWORD DROPEFFECT_COPY = 1;
inline constexpr DWORD DROPEFFECT_MOVE = 2;
inline constexpr DWORD DROPEFFECT_LINK = 4;
inline constexpr DWORD DROPEFFECT_SCROLL = 0x80000000;

// Key and button state handed to the target.
inline constexpr DWORD MK_LBUTTON = 0x0001;
inline constexpr DWORD MK_RBUTTON = 0x0002;
inline constexpr DWORD MK_SHIFT = 0x0004;
inline constexpr DWORD MK_CONTROL = 0x0008;
inline constexpr DWORD MK_MBUTTON = 0x0010;
inline constexpr DWORD MK_ALT = 0x0020;

inline constexpr DWORD DVASPECT_CONTENT = 1;
inline constexpr DWORD TYMED_NULL = 0;
inline constexpr DWORD TYMED_HGLOBAL = 1;

inline constexpr HRESULT DRAGDROP_S_DROP = 0x00040100;
inline constexpr HRESULT DRAGDROP_S_CANCEL = 0x00040101;
inline constexpr HRESULT DV_E_FORMATETC = static_cast<HRESULT>(0x80040064);
inline constexpr HRESULT DV_E_LINDEX = static_cast<HRESULT>(0x80040068);
inline constexpr HRESULT DV_E_TYMED = static_cast<HRESULT>(0x80040069);
inline constexpr HRESULT DV_E_DVASPECT = static_cast<HRESULT>(0x8004006B);
inline constexpr HRESULT DRAGDROP_E_NOTREGISTERED = static_cast<HRESULT>(0x80040100);
inline constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = static_cast<HRESULT>(0x80040101);
inline constexpr HRESULT DRAGDROP_E_INVALIDHWND = static_cast<HRESULT>(0x80040102);

struct POINTL {
  LONG x = 0;
  LONG y = 0;
};

struct FORMATETC {
  CLIPFORMAT cfFormat = 0;
  void* ptd = nullptr;  // target device: always none here
  DWORD dwAspect = DVASPECT_CONTENT;
  LONG lindex = -1;
  DWORD tymed = TYMED_HGLOBAL;
};

// Only global memory travels on this platform. Without an object to
// release, the receiver owns the block.
struct STGMEDIUM {
  DWORD tymed = TYMED_NULL;
  HGLOBAL hGlobal = 0;
  IUnknown* pUnkForRelease = nullptr;
};

// Frees what the medium holds (or releases its owner) and empties it.
void ReleaseStgMedium(STGMEDIUM* medium);

// Slot order as the desktop's; the slots a drop never uses answer
// E_NOTIMPL unless an object fills them.
class IDataObject : public IUnknown {
 public:
  virtual HRESULT GetData(const FORMATETC* format, STGMEDIUM* medium) = 0;
  virtual HRESULT GetDataHere(const FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }
  virtual HRESULT QueryGetData(const FORMATETC* format) = 0;
  virtual HRESULT GetCanonicalFormatEtc(const FORMATETC*, FORMATETC*) { return E_NOTIMPL; }
  virtual HRESULT SetData(const FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }
  virtual HRESULT EnumFormatEtc(DWORD, void**) { return E_NOTIMPL; }
  virtual HRESULT DAdvise(const FORMATETC*, DWORD, void*, DWORD*) { return E_NOTIMPL; }
  virtual HRESULT DUnadvise(DWORD) { return E_NOTIMPL; }
  virtual HRESULT EnumDAdvise(void**) { return E_NOTIMPL; }

 protected:
  ~IDataObject() = default;
};

// Points are screen coordinates; `effect` comes in as what the source
// allows and goes out as what the target chose.
class IDropTarget : public IUnknown {
 public:
  virtual HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;
  virtual HRESULT DragOver(DWORD keyState, POINTL point, DWORD* effect) = 0;
  virtual HRESULT DragLeave() = 0;
  virtual HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;

 protected:
  ~IDropTarget() = default;
};

// The shell helper that draws the drag image; CoCreateInstance never makes
// one here, targets work without it.
class IDropTargetHelper : public IUnknown {
 public:
  virtual HRESULT DragEnter(HWND target, IDataObject* data, POINT* point, DWORD effect) = 0;
  virtual HRESULT DragLeave() = 0;
  virtual HRESULT DragOver(POINT* point, DWORD effect) = 0;
  virtual HRESULT Drop(IDataObject* data, POINT* point, DWORD effect) = 0;
  virtual HRESULT Show(BOOL show) = 0;

 protected:
  ~IDropTargetHelper() = default;
};

// One target per window; the registration holds a reference to it. Fails
// with DRAGDROP_E_INVALIDHWND for a window that does not exist,
// DRAGDROP_E_ALREADYREGISTERED for a second registration, E_INVALIDARG
// without a target and CO_E_NOTINITIALIZED on a thread without OLE. The
// target is called on the window's thread. Destroying the window ends its
// registration (the reference is released).
HRESULT RegisterDragDrop(HWND window, IDropTarget* target);
// DRAGDROP_E_NOTREGISTERED when the window has no target.
HRESULT RevokeDragDrop(HWND window);

}  // namespace platform

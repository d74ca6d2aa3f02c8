// The object model the drag-and-drop calls are written against: result
// codes, interface ids and IUnknown. Objects count their own references;
// the slot order of every interface is the desktop's, so code written
// against it reads as it would there.
#pragma once

#include <cstdint>
#include <utility>

#include "platform/base/types.h"

namespace platform {

using HRESULT = int32_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);
inline constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

struct GUID {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  uint8_t data4[8] = {};

  friend bool operator==(const GUID&, const GUID&) = default;
};
using IID = GUID;
using CLSID = GUID;

inline constexpr IID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IDataObject{0x0000010E, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IDropTarget{0x00000122, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IDropTargetHelper{
    0x4657278B, 0x411B, 0x11D2, {0x83, 0x9A, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xD0}};
inline constexpr CLSID CLSID_DragDropHelper{
    0x4657278A, 0x411B, 0x11D2, {0x83, 0x9A, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xD0}};

class IUnknown {
 public:
  virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  ~IUnknown() = default;  // objects end through Release
};

// Holds one reference to an object and releases it when it goes, so no
// path can leak a reference or give it back twice.
template <class T>
class ComRef {
 public:
  ComRef() = default;
  // Takes over a reference the caller owns: a new object's, an out parameter's.
  static ComRef Adopt(T* object) {
    ComRef ref;
    ref.object_ = object;
    return ref;
  }
  // Takes a reference of its own to an object the caller only borrows.
  static ComRef Share(T* object) {
    if (object) object->AddRef();
    return Adopt(object);
  }
  ~ComRef() { Reset(); }
  ComRef(ComRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ComRef& operator=(ComRef&& other) noexcept {
    if (this != &other) {
      // Released after the new one is in place: the release may look at this.
      T* old = std::exchange(object_, std::exchange(other.object_, nullptr));
      if (old) old->Release();
    }
    return *this;
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;

  T* get() const { return object_; }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  void Reset() {
    if (T* old = std::exchange(object_, nullptr)) old->Release();
  }
  // Hands the reference to a caller that must release it; this holds none after.
  [[nodiscard]] T* Detach() { return std::exchange(object_, nullptr); }

 private:
  T* object_ = nullptr;
};

// QueryInterface of an object with one interface besides IUnknown.
template <class Interface>
HRESULT QueryOneInterface(Interface* self, const IID& own, const IID& iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid != IID_IUnknown && iid != own) return E_NOINTERFACE;
  *object = ComRef<Interface>::Share(self).Detach();
  return S_OK;
}

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;

// No class is registered on this platform: the shell's helpers (the drag
// image among them) are absent, so every request fails with
// REGDB_E_CLASSNOTREG and clears `object`.
HRESULT CoCreateInstance(const CLSID& clsid, IUnknown* outer, DWORD context, const IID& iid, void** object);

// Per thread and counted: S_OK for the first call on a thread, S_FALSE for
// the ones after it. Drop targets can be registered only on a thread that
// has initialised OLE.
HRESULT OleInitialize(void* reserved);
void OleUninitialize();

}  // namespace platform

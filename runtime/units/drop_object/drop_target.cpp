#include "runtime/units/drop_object/drop_target.h"

#include <cstring>
#include <string>

#include "platform/ole/clipboard_formats.h"
#include "runtime/core/notify.h"
#include "runtime/core/program.h"
#include "runtime/units/drop_object/core_link.h"
#include "runtime/units/drop_object/drop_texts.h"

namespace runtime::units::drop_object {
namespace {

using namespace platform;

// Every probe and every request asks for the same description.
FORMATETC FormatOf(UINT format) {
  FORMATETC description;
  description.cfFormat = static_cast<CLIPFORMAT>(format);
  description.ptd = nullptr;
  description.dwAspect = DVASPECT_CONTENT;
  description.lindex = -1;
  description.tymed = TYMED_HGLOBAL;
  return description;
}

bool Offers(IDataObject& data, UINT format) {
  const FORMATETC description = FormatOf(format);
  return data.QueryGetData(&description) == S_OK;
}

// The data of one format, released when this goes.
class FetchedMedium {
 public:
  FetchedMedium(IDataObject& data, UINT format) {
    const FORMATETC description = FormatOf(format);
    ok_ = data.GetData(&description, &medium_) == S_OK && medium_.tymed == TYMED_HGLOBAL;
  }
  ~FetchedMedium() { ReleaseStgMedium(&medium_); }
  FetchedMedium(const FetchedMedium&) = delete;
  FetchedMedium& operator=(const FetchedMedium&) = delete;
  explicit operator bool() const { return ok_; }
  HGLOBAL Block() const { return medium_.hGlobal; }

 private:
  STGMEDIUM medium_;
  bool ok_ = false;
};

}  // namespace

bool ChooseEffect(bool accepting, DWORD keyState, DWORD* effect) {
  const DWORD allowed = *effect;
  if (!accepting) {
    *effect = DROPEFFECT_NONE;
    return false;
  }
  const bool control = keyState & MK_CONTROL, shift = keyState & MK_SHIFT;
  DWORD chosen;
  if (control || shift) {
    const DWORD wanted = control && shift ? DROPEFFECT_LINK : control ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    chosen = (allowed & wanted) && wanted != DROPEFFECT_LINK ? wanted : DROPEFFECT_NONE;
  } else {
    chosen = DROPEFFECT_NONE;
    for (DWORD candidate : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK}) {
      if (allowed & candidate) {
        chosen = candidate;
        break;
      }
    }
  }
  *effect = chosen;
  return chosen != DROPEFFECT_NONE;
}

QDropTarget::QDropTarget(DropTargetOwner& owner, const DropProperties& properties)
    : owner_(owner), accept_(properties) {
  void* helper = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDropTargetHelper, &helper)))
    helper_ = ComRef<IDropTargetHelper>::Adopt(static_cast<IDropTargetHelper*>(helper));
}

void QDropTarget::InstallEvents(WindowId window, UnitId unit) {
  urlFormat_ = RegisterClipboardFormatA("UniformResourceLocator");
  htmlFormat_ = RegisterClipboardFormatA("HTML Format");
  window_ = window;
  unit_ = unit;
  eventsInstalled_ = true;
}

HRESULT QDropTarget::QueryInterface(const IID& iid, void** object) {
  return QueryOneInterface<IDropTarget>(this, IID_IDropTarget, iid, object);
}

uint32_t QDropTarget::AddRef() { return ++references_; }

uint32_t QDropTarget::Release() {
  const uint32_t left = --references_;
  if (left == 1) owner_.TargetUnused();  // may end the unit, and this with it
  return left;
}

HRESULT QDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  if (helper_) {
    POINT at{point.x, point.y};
    helper_->DragEnter(targetWindow_, data, &at, *effect);
  }
  accepting_ = false;
  if (data) {
    // Probed in this order, and only until one is offered.
    const std::pair<int32_t, UINT> probes[] = {{accept_.acceptText, CF_TEXT},
                                               {accept_.acceptFiles, CF_HDROP},
                                               {accept_.acceptUrl, urlFormat_},
                                               {accept_.acceptHtml, htmlFormat_}};
    for (const auto& [accepted, format] : probes) {
      if (!accepted) continue;
      accepting_ = Offers(*data, format);
      if (accepting_) break;
    }
  }
  ChooseEffect(accepting_, keyState, effect);
  return S_OK;
}

HRESULT QDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  if (helper_) {
    POINT at{point.x, point.y};
    helper_->DragOver(&at, *effect);
  }
  ChooseEffect(accepting_, keyState, effect);
  return S_OK;
}

HRESULT QDropTarget::DragLeave() {
  if (helper_) helper_->DragLeave();
  accepting_ = false;
  return S_OK;
}

HRESULT QDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  // Held through the handlers: one of them may close the unit's window,
  // and the unit then ends only when this returns.
  const ComRef<QDropTarget> hold = ComRef<QDropTarget>::Share(this);
  if (!effect) return E_INVALIDARG;
  if (helper_) {
    POINT at{point.x, point.y};
    helper_->Drop(data, &at, *effect);
  }
  if (ChooseEffect(accepting_, keyState, effect) && data) RaiseDropEvents(*data);
  return E_FAIL;
}

bool QDropTarget::RaiseDropEvents(IDataObject& data) {
  if (accept_.acceptText) {
    // A source that offers HTML gives its text through the HTML event alone.
    if (!FetchedMedium(data, htmlFormat_)) {
      FetchedMedium text(data, CF_TEXT);
      if (text && !Send(drop_event::kText, GlobalText(text.Block()))) return false;
    }
  }
  if (accept_.acceptHtml) {
    FetchedMedium html(data, htmlFormat_);
    if (html && !Send(drop_event::kHtml, HtmlText(GlobalText(html.Block())))) return false;
  }
  if (accept_.acceptUrl) {
    FetchedMedium url(data, urlFormat_);
    if (url && !Send(drop_event::kUrl, GlobalText(url.Block()))) return false;
  }
  if (accept_.acceptFiles) {
    std::string names;
    {
      FetchedMedium files(data, CF_HDROP);
      if (!files) return true;
      names = JoinFileNames(DroppedFileNames(files.Block()));
    }
    return Send(drop_event::kFiles, names);
  }
  return true;
}

bool QDropTarget::Send(int32_t event, std::string_view text) {
  if (!eventsInstalled_) return true;
  if (!owner_.Alive()) return false;
  Core().RaiseTextEvent(window_, unit_, event, text);
  return owner_.Alive();
}

}  // namespace runtime::units::drop_object

#include "platform/ole/data_offer.h"

#include "platform/memory/global_memory.h"

namespace platform {

ComRef<DataOffer> DataOffer::Create() { return ComRef<DataOffer>::Adopt(new DataOffer); }

void DataOffer::Offer(CLIPFORMAT format, std::vector<uint8_t> bytes) {
  // An empty offer still hands out a block: one NUL byte.
  if (bytes.empty()) bytes.push_back(0);
  formats_[format] = std::move(bytes);
}

HRESULT DataOffer::QueryInterface(const IID& iid, void** object) {
  return QueryOneInterface<IDataObject>(this, IID_IDataObject, iid, object);
}

uint32_t DataOffer::AddRef() { return ++references_; }

uint32_t DataOffer::Release() {
  const uint32_t left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT DataOffer::QueryGetData(const FORMATETC* format) {
  if (!format) return E_INVALIDARG;
  if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (format->lindex != -1) return DV_E_LINDEX;
  if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
  return formats_.contains(format->cfFormat) ? S_OK : DV_E_FORMATETC;
}

HRESULT DataOffer::GetData(const FORMATETC* format, STGMEDIUM* medium) {
  if (!medium) return E_INVALIDARG;
  *medium = STGMEDIUM{};
  const HRESULT offered = QueryGetData(format);
  if (offered != S_OK) return offered;
  const HGLOBAL block = GlobalAllocCopy(GMEM_MOVEABLE, formats_.at(format->cfFormat));
  if (!block) return E_OUTOFMEMORY;
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = block;
  return S_OK;
}

}  // namespace platform

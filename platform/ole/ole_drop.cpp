#include "platform/ole/ole_drop.h"

#include "platform/memory/global_memory.h"

namespace platform {

HRESULT CoCreateInstance(const CLSID& /*clsid*/, IUnknown* /*outer*/, DWORD /*context*/, const IID& /*iid*/,
                         void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  return REGDB_E_CLASSNOTREG;
}

void ReleaseStgMedium(STGMEDIUM* medium) {
  if (!medium) return;
  if (medium->pUnkForRelease)
    medium->pUnkForRelease->Release();
  else if (medium->tymed == TYMED_HGLOBAL && medium->hGlobal)
    GlobalFree(medium->hGlobal);
  *medium = STGMEDIUM{};
}

}  // namespace platform

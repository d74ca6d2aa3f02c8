// The data object a backend hands the drag dispatcher: a list of formats,
// each with its bytes, given out as global memory.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <vector>

#include "platform/ole/ole_drop.h"

namespace platform {

class DataOffer final : public IDataObject {
 public:
  // A new offer; the caller holds its one reference.
  static ComRef<DataOffer> Create();

  // Offers `bytes` in `format`, replacing what that format had.
  void Offer(CLIPFORMAT format, std::vector<uint8_t> bytes);

  HRESULT QueryInterface(const IID& iid, void** object) override;
  uint32_t AddRef() override;
  uint32_t Release() override;
  // Each GetData hands out a new block that the receiver releases.
  HRESULT GetData(const FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT QueryGetData(const FORMATETC* format) override;

 private:
  DataOffer() = default;
  ~DataOffer() = default;

  std::atomic<uint32_t> references_{1};
  std::map<CLIPFORMAT, std::vector<uint8_t>> formats_;
};

}  // namespace platform

// The XDND side's sink over the platform's drag dispatcher: a data object
// announcing the offered formats from the first move, filled with the real
// data when it arrives at the drop.
#include "platform/backends/x11/drop_sink.h"

#include "platform/ole/clipboard_formats.h"
#include "platform/ole/data_offer.h"
#include "platform/ole/drag_dispatch.h"
#include "platform/ole/drop_files.h"
#include "platform/text/ansi_text.h"

namespace platform::x11 {
namespace {

class DispatcherSink : public DropSink {
 public:
  DWORD Move(const DragOffer& offer, POINT screen, DWORD keys, DWORD allowed) override {
    if (!data_) {
      // The formats are known now; their bytes come with the drop.
      data_ = DataOffer::Create();
      if (offer.files) data_->Offer(CF_HDROP, DropFilesBytes({}));
      if (offer.text) data_->Offer(CF_TEXT, std::vector<uint8_t>{0});
    }
    return DispatchDragMove(data_.get(), screen, keys, allowed);
  }

  DWORD Drop(const DroppedData& dropped, DWORD keys, DWORD allowed) override {
    if (!data_) return kEffectNone;
    if (!dropped.files.empty()) data_->Offer(CF_HDROP, DropFilesBytes(dropped.files));
    if (!dropped.text.empty()) {
      if (auto ansi = Utf8ToAnsi(dropped.text)) {
        std::vector<uint8_t> bytes(ansi->begin(), ansi->end());
        bytes.push_back(0);
        data_->Offer(CF_TEXT, std::move(bytes));
      }
    }
    DWORD effect = kEffectNone;
    DispatchDrop(keys, allowed, &effect);
    data_.Reset();
    return effect;
  }

  void Leave() override {
    if (data_) DispatchDragLeave();
    data_.Reset();
  }

 private:
  ComRef<DataOffer> data_;
};

}  // namespace

std::unique_ptr<DropSink> MakeDispatcherSink() { return std::make_unique<DispatcherSink>(); }

}  // namespace platform::x11

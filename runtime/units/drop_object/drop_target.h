// QDropTarget: the drop object's drop target. It probes what a drag offers
// against the accept flags, chooses the effect from the keys, and on a drop
// raises the unit's events with the dropped text, HTML, URL or file names.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/ole/ole_drop.h"
#include "runtime/core/value.h"
#include "runtime/units/drop_object/drop_properties.h"

namespace runtime::units::drop_object {

// Drop events; each carries one text.
namespace drop_event {
inline constexpr int32_t kText = 0;
inline constexpr int32_t kHtml = 1;
inline constexpr int32_t kUrl = 2;
inline constexpr int32_t kFiles = 3;
}  // namespace drop_event

// What the target asks of the unit that embeds it.
class DropTargetOwner {
 public:
  // False once the unit's window is gone: a drop stops raising events.
  virtual bool Alive() const = 0;
  // Only the unit's own reference to the target is left.
  virtual void TargetUnused() = 0;

 protected:
  ~DropTargetOwner() = default;
};

// The effect for the keys held and the effects `*effect` allows, written
// back to `*effect`; true when the drop is taken. Ctrl+Shift never links;
// with no key the first allowed of copy, move and link.
bool ChooseEffect(bool accepting, platform::DWORD keyState, platform::DWORD* effect);

class QDropTarget final : public platform::IDropTarget {
 public:
  QDropTarget(DropTargetOwner& owner, const DropProperties& properties);
  QDropTarget(const QDropTarget&) = delete;
  QDropTarget& operator=(const QDropTarget&) = delete;

  // Run-time set-up: the two registered formats and the events, raised
  // for this window and unit.
  void InstallEvents(WindowId window, UnitId unit);
  void SetTargetWindow(platform::HWND window) { targetWindow_ = window; }
  DropProperties& Properties() { return accept_; }
  uint32_t References() const { return references_; }

  // The count starts at 1, the unit's own reference: callers' references
  // never end the object, it lives as long as its unit.
  platform::HRESULT QueryInterface(const platform::IID& iid, void** object) override;
  uint32_t AddRef() override;
  uint32_t Release() override;
  platform::HRESULT DragEnter(platform::IDataObject* data, platform::DWORD keyState, platform::POINTL point,
                              platform::DWORD* effect) override;
  platform::HRESULT DragOver(platform::DWORD keyState, platform::POINTL point, platform::DWORD* effect) override;
  platform::HRESULT DragLeave() override;
  // Always E_FAIL, also after events were raised.
  platform::HRESULT Drop(platform::IDataObject* data, platform::DWORD keyState, platform::POINTL point,
                         platform::DWORD* effect) override;

 private:
  // Raises the events for what `data` holds, in event order; false when a
  // handler took the unit away.
  bool RaiseDropEvents(platform::IDataObject& data);
  bool Send(int32_t event, std::string_view text);

  DropTargetOwner& owner_;
  uint32_t references_ = 1;
  bool accepting_ = false;
  platform::ComRef<platform::IDropTargetHelper> helper_;
  platform::HWND targetWindow_ = 0;
  platform::UINT urlFormat_ = 0;
  platform::UINT htmlFormat_ = 0;
  DropProperties accept_;
  WindowId window_ = 0;
  UnitId unit_ = 0;
  bool eventsInstalled_ = false;
};

}  // namespace runtime::units::drop_object

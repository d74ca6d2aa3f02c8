// The picture box unit (type 0x00010006): a child window that fills itself
// with its background colour and shows one picture placed by its display
// mode. It keeps the encoded bytes (#10), decodes them once per setting and
// renders them once per size; an animated GIF plays on a worker thread.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/base/types.h"
#include "platform/gdi/owners.h"
#include "runtime/core/program.h"
#include "runtime/picture/picture.h"
#include "runtime/units/picture_box/gif_player.h"
#include "runtime/units/picture_box/picture_box_block.h"

namespace runtime::units::picture_box {

inline constexpr uint32_t kPictureBoxTypeCode = 0x00010006;
inline constexpr const char* kPictureBoxClass = "_VU_PicBox";

// The type-specific property numbers (#8 to #14 less 8).
namespace picture_box_property {
inline constexpr int32_t kBorder = 0;
inline constexpr int32_t kBackground = 1;
inline constexpr int32_t kPicture = 2;
inline constexpr int32_t kDisplayMode = 3;
inline constexpr int32_t kAnimate = 4;
inline constexpr int32_t kDataSource = 5;
inline constexpr int32_t kDataColumn = 6;
}  // namespace picture_box_property

class PictureBox final : public UnitObject {
 public:
  static UnitObject* Create(const CreateParams& params);
  ~PictureBox() override;
  PictureBox(const PictureBox&) = delete;
  PictureBox& operator=(const PictureBox&) = delete;

  platform::HWND WindowHandle() const override { return hwnd_; }
  const PictureBoxBlock& Block() const { return block_; }

  // False for a number the type does not have.
  bool GetProperty(int32_t number, RawValue* value) const;
  void SetProperty(int32_t number, const RawValue& value);

  // The clock the next animated GIF shown plays by.
  void UseAnimationClock(AnimationClock& clock) { clock_ = &clock; }
  bool Animating() const { return player_ && player_->Running(); }
  // True while a multi-frame GIF waits for or plays on its thread.
  bool HasAnimation() const { return player_ != nullptr; }

 private:
  PictureBox(WindowId window, UnitId unit, bool designer, PictureBoxBlock block);

  static platform::LRESULT Proc(platform::HWND hwnd, platform::UINT message, platform::WPARAM wParam,
                                platform::LPARAM lParam);
  platform::LRESULT Handle(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam);

  void ShowPictureBytes();
  void LoadAnimation();
  void ApplyDisplayMode(int32_t mode);
  void ApplyBorder(int32_t border);
  void ApplyBackground();
  void AutoSize();
  void Bind();
  void DropShownPicture();
  // The size of what is shown: the logical screen for a GIF played as an
  // animation, else the decoded picture's; 0 x 0 with nothing shown.
  platform::SIZE ShownSize() const;

  void Paint();
  void PaintPicture(platform::HDC dc, const platform::RECT& client);
  void PaintAnimation(platform::HDC dc, const platform::RECT& client);
  void FillAround(platform::HDC dc, const platform::RECT& client, const platform::RECT& shown) const;

  platform::HWND hwnd_ = 0;
  WindowId window_;
  UnitId unit_;
  bool designer_;
  PictureBoxBlock block_;
  platform::COLORREF background_ = 0;  // #9 with the button-face colour resolved
  platform::OwnedGdiObject brush_;
  int32_t mode_ = 0;  // the display mode in use
  bool animationEnabled_ = false;

  // A still picture decoded from #10: kept only until it is rendered (a
  // photograph decodes to tens of megabytes, the box shows a box-sized
  // rendering of it) and decoded again when it must be rendered anew.
  picture::PicturePtr picture_;
  bool hasPicture_ = false;
  platform::SIZE pictureSize_{};  // 0 x 0 for a picture of no kind
  // Its rendering over the background at the place it is shown; repaints
  // only copy it.
  platform::OwnedGdiObject rendered_;
  platform::RECT renderedPlace_{};
  platform::RECT renderedPart_{};

  // A GIF shown as an animation: a single image is kept as one still frame,
  // more than one play on the player's thread from the first paint on.
  bool gifAnimated_ = false;
  platform::SIZE gifSize_{};
  SharedFrame stillFrame_;
  std::unique_ptr<GifPlayer> player_;
  bool playerStarted_ = false;
  AnimationClock* clock_;
};

// The picture box's descriptor: names, flags, 15 properties, entry.
const UnitTypeDescriptor& PictureBoxType();

}  // namespace runtime::units::picture_box

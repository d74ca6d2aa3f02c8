#include "runtime/units/picture_box/gif_player.h"

#include <system_error>

#include "platform/gdi/bitmap.h"
#include "platform/windows/messages.h"
#include "runtime/core/memory.h"

namespace runtime::units::picture_box {

using picture::formats::GifComposer;
using platform::OwnedGdiObject;

namespace {

// The animation waits in steps of this, so a stop is seen soon.
constexpr uint32_t kSleepStepMs = 10;

class SystemClock final : public AnimationClock {
 public:
  uint32_t NowMs() override { return platform::GetTickCount(); }
  void SleepMs(uint32_t milliseconds) override { platform::Sleep(milliseconds); }
};

}  // namespace

AnimationClock& SystemAnimationClock() {
  static SystemClock clock;  // holds no state
  return clock;
}

SharedFrame SnapshotFrame(const GifComposer& composer) {
  OwnedGdiObject bitmap(platform::CreateBitmap(composer.Width(), composer.Height(), 1, 32, composer.Pixels().data()));
  if (!bitmap) return nullptr;
  auto frame = std::make_shared<AnimationFrame>();
  frame->bitmap = std::move(bitmap);
  frame->width = composer.Width();
  frame->height = composer.Height();
  return frame;
}

GifPlayer::GifPlayer(GifComposer composer, AnimationClock& clock, std::function<void(const AnimationFrame&)> frameShown,
                     std::function<void(size_t)> exhausted)
    : composer_(std::move(composer)),
      clock_(clock),
      frameShown_(std::move(frameShown)),
      exhausted_(std::move(exhausted)) {}

GifPlayer::~GifPlayer() { Stop(); }

void GifPlayer::Start() {
  if (state_.load() == State::Running) return;
  if (thread_.joinable()) thread_.join();
  composer_.Restart();
  state_.store(State::Running);
  try {
    thread_ = std::thread(&GifPlayer::Run, this);
  } catch (const std::system_error&) {
    state_.store(State::Idle);  // no thread to be had: the box shows no frame
  }
}

void GifPlayer::Stop() {
  State running = State::Running;
  state_.compare_exchange_strong(running, State::StopRequested);
  if (thread_.joinable()) thread_.join();
}

void GifPlayer::Run() {
  // Memory running out while a frame is composed is told to the box, whose
  // thread ends the program with the runtime's message: this thread must
  // end first, as the box waits for it on the way out.
  try {
    Play();
  } catch (const std::bad_alloc& failure) {
    if (exhausted_) exhausted_(RequestedSize(failure));
  }
}

void GifPlayer::Play() {
  while (state_.load() != State::StopRequested) {
    const uint32_t start = clock_.NowMs();
    const GifComposer::Step step = composer_.Advance();
    if (step.composed) {
      if (SharedFrame frame = SnapshotFrame(composer_)) {
        frame_.store(frame);
        if (frameShown_) frameShown_(*frame);
      }
    }
    while (clock_.NowMs() - start < step.delayMs && state_.load() != State::StopRequested) clock_.SleepMs(kSleepStepMs);
  }
  state_.store(State::Stopped);
}

}  // namespace runtime::units::picture_box

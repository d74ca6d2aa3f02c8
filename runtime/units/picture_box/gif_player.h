// Plays a composed GIF on a worker thread. Each finished frame is handed
// over whole, as an immutable bitmap behind an atomic pointer, so the GUI
// thread paints from the last finished frame and never waits for the
// animation; the animation never waits for the GUI thread either.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "platform/gdi/owners.h"
#include "runtime/picture/formats/gif_composer.h"

namespace runtime::units::picture_box {

// Time as the animation sees it; tests drive their own.
class AnimationClock {
 public:
  virtual ~AnimationClock() = default;
  virtual uint32_t NowMs() = 0;
  virtual void SleepMs(uint32_t milliseconds) = 0;
};
// The system tick count and sleep.
AnimationClock& SystemAnimationClock();

// A finished frame: a 32-bit bitmap of the logical screen, never changed
// after it was made.
struct AnimationFrame {
  platform::OwnedGdiObject bitmap;
  int32_t width = 0;
  int32_t height = 0;
};
using SharedFrame = std::shared_ptr<const AnimationFrame>;

// The composer's canvas as a new frame; null when no bitmap can be had.
SharedFrame SnapshotFrame(const picture::formats::GifComposer& composer);

class GifPlayer {
 public:
  // `frameShown` runs on the animation thread after each new frame is
  // handed over; `exhausted` runs there, once, with the size of a request
  // that found no memory, and the animation ends.
  GifPlayer(picture::formats::GifComposer composer, AnimationClock& clock,
            std::function<void(const AnimationFrame&)> frameShown, std::function<void(size_t)> exhausted = {});
  ~GifPlayer();
  GifPlayer(const GifPlayer&) = delete;
  GifPlayer& operator=(const GifPlayer&) = delete;

  // Plays from the first frame; nothing while it plays.
  void Start();
  // Returns once the thread has ended.
  void Stop();
  bool Running() const { return state_.load() == State::Running; }
  // The last finished frame, or null before the first.
  SharedFrame CurrentFrame() const { return frame_.load(); }

 private:
  enum class State { Idle, Running, StopRequested, Stopped };
  void Run();
  void Play();

  picture::formats::GifComposer composer_;  // the thread's alone while it runs
  AnimationClock& clock_;
  std::function<void(const AnimationFrame&)> frameShown_;
  std::function<void(size_t)> exhausted_;
  std::atomic<State> state_{State::Idle};
  std::atomic<SharedFrame> frame_;
  std::thread thread_;
};

}  // namespace runtime::units::picture_box

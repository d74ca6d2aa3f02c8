// A clock for animation tests: virtual time that moves only when the
// animation sleeps, so frame times come out exact however fast it runs.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "runtime/units/picture_box/gif_player.h"

namespace picture_test {

class SteppedClock final : public runtime::units::picture_box::AnimationClock {
 public:
  uint32_t NowMs() override { return now_.load(); }
  void SleepMs(uint32_t milliseconds) override {
    now_ += milliseconds;
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }

 private:
  std::atomic<uint32_t> now_{1000};
};

}  // namespace picture_test

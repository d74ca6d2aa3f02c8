// Rows of an image handed from the thread that reads them to the thread that
// encodes them, top to bottom: the encoder waits only for rows that are not
// read yet, so reading and encoding overlap.
#pragma once

#include <atomic>
#include <cstdint>

namespace runtime::imageconv {

class RowFeed {
 public:
  // Rows [0, count) are complete; counts only grow.
  void Publish(int32_t count) {
    ready_.store(count, std::memory_order_release);
    ready_.notify_all();
  }
  // The reader stopped short: no more rows will come.
  void Fail() {
    ready_.store(kFailed, std::memory_order_release);
    ready_.notify_all();
  }
  // Waits until rows [0, count) are complete; false once the reader failed.
  bool WaitFor(int32_t count) const {
    for (;;) {
      const int32_t ready = ready_.load(std::memory_order_acquire);
      if (ready == kFailed) return false;
      if (ready >= count) return true;
      ready_.wait(ready, std::memory_order_acquire);
    }
  }

 private:
  static constexpr int32_t kFailed = -1;
  std::atomic<int32_t> ready_{0};
};

}  // namespace runtime::imageconv

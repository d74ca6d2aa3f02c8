// Per-thread message queues. Internal to the platform.
#pragma once

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/messages.h"

namespace platform {

struct SentMessage {
  MSG msg;
  LRESULT result = 0;
  bool done = false;
};

struct MessageQueue {
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<MSG> posted;
  std::deque<std::shared_ptr<SentMessage>> sent;
  bool quit = false;
  int quitCode = 0;
  bool closed = false;  // its thread has ended
};

// The calling thread has nothing to take: no posted or sent message, no
// quit request and no visible window of its own waiting to be painted.
bool CurrentThreadIdle();

class MessageQueues {
 public:
  // The queue of a thread; created for the calling thread on first use.
  std::shared_ptr<MessageQueue> Of(std::thread::id thread);
  std::shared_ptr<MessageQueue> Current();
  void Forget(std::thread::id thread);

 private:
  std::mutex mutex_;
  std::map<std::thread::id, std::shared_ptr<MessageQueue>> queues_;
};

}  // namespace platform

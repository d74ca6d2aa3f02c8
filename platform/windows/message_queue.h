// Per-thread message queues. Internal to the platform.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/base/system.h"
#include "platform/windows/messages.h"

namespace platform {

struct SentMessage {
  MSG msg;
  std::function<void()> task;  // when set, run instead of a window procedure
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
  bool woken = false;   // another thread gave it work that no message carries (a paint)
  bool closed = false;  // its thread has ended
};

// A key message was taken from a queue: GetKeyState follows it, so a key's
// state is as it was when the message being handled was made.
void KeyMessageTaken(const MSG& msg);

// The calling thread has nothing to take: no posted or sent message, no
// quit request and no visible window of its own waiting to be painted.
bool CurrentThreadIdle();

// Wakes `thread` from waiting for messages: another thread made work for it
// that its queue does not hold (a window of it to paint). Nothing when
// `thread` is the caller's own.
void WakeThread(std::thread::id thread);

// Runs `task` on `thread` as a message sent there would be: at once on the
// calling thread, else when that thread next takes its messages, while the
// caller waits (answering what is sent to it meanwhile). False when the
// thread has no queue or has ended; the task then does not run.
bool CallOnThread(std::thread::id thread, const std::function<void()>& task);

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

// The message queues of every thread, owned by System.
inline MessageQueues& Queues() { return System::Get().Part<MessageQueues>(); }

}  // namespace platform

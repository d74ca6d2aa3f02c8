#include "platform/windows/message_queue.h"

#include <chrono>
#include <utility>

#include "platform/base/backend.h"
#include "platform/base/system.h"
#include "platform/windows/window_manager.h"

namespace platform {
namespace {

// Messages dispatched inside messages; past this depth a message is dropped
// rather than overflowing the stack.
constexpr int kMaxDispatchDepth = 256;
thread_local int dispatchDepth = 0;

// Closes the thread's queue when the thread ends, so senders stop waiting.
struct QueueBinding {
  std::shared_ptr<MessageQueue> queue;
  ~QueueBinding() {
    if (!queue) return;
    std::deque<std::shared_ptr<SentMessage>> pending;
    {
      std::lock_guard lock(queue->mutex);
      queue->closed = true;
      pending.swap(queue->sent);
      for (auto& item : pending) item->done = true;
    }
    queue->wake.notify_all();
  }
};
thread_local QueueBinding binding;

LRESULT CallProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc;
  {
    auto locked = LockWindow(hwnd);
    if (!locked) return 0;
    proc = locked->proc;
  }
  if (!proc || dispatchDepth >= kMaxDispatchDepth) return 0;
  ++dispatchDepth;
  LRESULT result = proc(hwnd, message, wParam, lParam);
  --dispatchDepth;
  return result;
}

// Runs every message other threads sent to this thread's windows.
void DeliverSent(MessageQueue& queue) {
  for (;;) {
    std::shared_ptr<SentMessage> item;
    {
      std::lock_guard lock(queue.mutex);
      if (queue.sent.empty()) return;
      item = queue.sent.front();
      queue.sent.pop_front();
    }
    LRESULT result = 0;
    if (item->task)
      item->task();
    else
      result = CallProcedure(item->msg.hwnd, item->msg.message, item->msg.wParam, item->msg.lParam);
    {
      std::lock_guard lock(queue.mutex);
      item->result = result;
      item->done = true;
    }
    queue.wake.notify_all();
  }
}

bool Matches(const MSG& msg, HWND hwnd, UINT low, UINT high) {
  if (hwnd && msg.hwnd != hwnd) return false;
  if (low == 0 && high == 0) return true;
  return msg.message >= low && msg.message <= high;
}

bool FindInvalid(WindowManager& manager, const std::vector<HWND>& list, std::thread::id thread, HWND* out) {
  for (HWND hwnd : list) {
    auto window = manager.Find(hwnd);
    if (!window || !(window->style & WS_VISIBLE) || window->thread != thread) continue;
    if (window->invalid) {
      *out = hwnd;
      return true;
    }
    if (FindInvalid(manager, window->children, thread, out)) return true;
  }
  return false;
}

// A window of the thread that another thread said it will invalidate soon.
bool FindExpected(WindowManager& manager, const std::vector<HWND>& list, std::thread::id thread, DWORD now) {
  for (HWND hwnd : list) {
    auto window = manager.Find(hwnd);
    if (!window || !(window->style & WS_VISIBLE) || window->thread != thread) continue;
    // Compared as a difference, so the tick count may wrap.
    if (window->paintExpected && static_cast<int32_t>(window->paintExpectedBy - now) > 0) return true;
    if (FindExpected(manager, window->children, thread, now)) return true;
  }
  return false;
}

bool TakeMessage(MSG* msg, HWND hwnd, UINT low, UINT high, UINT remove) {
  auto queue = Queues().Current();
  DeliverSent(*queue);
  {
    std::lock_guard lock(queue->mutex);
    for (auto it = queue->posted.begin(); it != queue->posted.end(); ++it) {
      if (!Matches(*it, hwnd, low, high)) continue;
      *msg = *it;
      if (remove & PM_REMOVE) {
        queue->posted.erase(it);
        KeyMessageTaken(*msg);
      }
      return true;
    }
    if (queue->quit && Matches(MSG{0, WM_QUIT, 0, 0, 0, {}}, 0, low, high)) {
      *msg = MSG{};
      msg->message = WM_QUIT;
      msg->wParam = static_cast<WPARAM>(queue->quitCode);
      msg->time = GetTickCount();
      if (remove & PM_REMOVE) queue->quit = false;
      return true;
    }
  }
  if (Matches(MSG{hwnd, WM_PAINT, 0, 0, 0, {}}, hwnd, low, high)) {
    WindowManager& manager = Manager();
    std::lock_guard lock(manager.Lock());
    HWND invalid = 0;
    bool found = hwnd ? (manager.Find(hwnd) && manager.Find(hwnd)->invalid && IsWindowVisible(hwnd))
                      : FindInvalid(manager, manager.TopLevel(), std::this_thread::get_id(), &invalid);
    if (found) {
      *msg = MSG{};
      msg->hwnd = hwnd ? hwnd : invalid;
      msg->message = WM_PAINT;
      msg->time = GetTickCount();
      return true;  // stays until the window is validated
    }
  }
  return false;
}

}  // namespace

bool CurrentThreadIdle() {
  auto queue = Queues().Current();
  {
    std::lock_guard lock(queue->mutex);
    if (!queue->posted.empty() || !queue->sent.empty() || queue->quit) return false;
  }
  WindowManager& manager = Manager();
  std::lock_guard lock(manager.Lock());
  HWND invalid = 0;
  const std::thread::id thread = std::this_thread::get_id();
  return !FindInvalid(manager, manager.TopLevel(), thread, &invalid) &&
         !FindExpected(manager, manager.TopLevel(), thread, GetTickCount());
}

void WakeThread(std::thread::id thread) {
  if (thread == std::this_thread::get_id()) return;
  auto queue = Queues().Of(thread);
  if (!queue) return;
  {
    std::lock_guard lock(queue->mutex);
    queue->woken = true;
  }
  queue->wake.notify_all();
  // A display backend's thread sleeps on its connection, not on the queue.
  System::Get().GetBackend().Wake();
}

std::shared_ptr<MessageQueue> MessageQueues::Of(std::thread::id thread) {
  std::lock_guard lock(mutex_);
  auto it = queues_.find(thread);
  if (it != queues_.end()) return it->second;
  if (thread != std::this_thread::get_id()) return nullptr;
  auto queue = std::make_shared<MessageQueue>();
  queues_[thread] = queue;
  binding.queue = queue;
  return queue;
}

std::shared_ptr<MessageQueue> MessageQueues::Current() { return Of(std::this_thread::get_id()); }

void MessageQueues::Forget(std::thread::id thread) {
  std::lock_guard lock(mutex_);
  queues_.erase(thread);
}

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<MessageQueue> queue;
  if (hwnd) {
    auto locked = LockWindow(hwnd);
    if (!locked) return FALSE;
    queue = Queues().Of(locked->thread);
  } else {
    queue = Queues().Current();
  }
  if (!queue) return FALSE;
  {
    std::lock_guard lock(queue->mutex);
    if (queue->closed) return FALSE;
    queue->posted.push_back(MSG{hwnd, message, wParam, lParam, GetTickCount(), {}});
  }
  queue->wake.notify_all();
  System::Get().GetBackend().Wake();
  return TRUE;
}

namespace {

// Queues `item` for `owner`'s thread and waits until it has run there.
// False when that thread has no queue or has ended.
bool SendToThread(std::thread::id owner, const std::shared_ptr<SentMessage>& item) {
  auto target = Queues().Of(owner);
  if (!target) return false;
  {
    std::lock_guard lock(target->mutex);
    if (target->closed) return false;
    target->sent.push_back(item);
  }
  target->wake.notify_all();
  System::Get().GetBackend().Wake();
  // While waiting, answer what others send to this thread, so that two
  // threads sending to each other do not lock up.
  auto own = Queues().Current();
  for (;;) {
    {
      std::unique_lock lock(target->mutex);
      if (target->wake.wait_for(lock, std::chrono::milliseconds(5), [&] { return item->done; })) return true;
    }
    DeliverSent(*own);
  }
}

}  // namespace

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  std::thread::id owner;
  {
    auto locked = LockWindow(hwnd);
    if (!locked) return 0;
    owner = locked->thread;
  }
  if (owner == std::this_thread::get_id()) return CallProcedure(hwnd, message, wParam, lParam);
  auto item = std::make_shared<SentMessage>();
  item->msg = MSG{hwnd, message, wParam, lParam, GetTickCount(), {}};
  return SendToThread(owner, item) ? item->result : 0;
}

bool CallOnThread(std::thread::id thread, const std::function<void()>& task) {
  if (thread == std::this_thread::get_id()) {
    task();
    return true;
  }
  auto item = std::make_shared<SentMessage>();
  item->task = task;
  return SendToThread(thread, item);
}

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove) {
  if (!msg) return FALSE;
  if (TakeMessage(msg, hwnd, filterMin, filterMax, remove)) return TRUE;
  if (System::Get().GetBackend().PumpEvents()) return TakeMessage(msg, hwnd, filterMin, filterMax, remove);
  return FALSE;
}

BOOL GetMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (!msg) return FALSE;
  auto queue = Queues().Current();
  for (;;) {
    if (PeekMessageA(msg, hwnd, filterMin, filterMax, PM_REMOVE)) return msg->message != WM_QUIT;
    // A display backend sleeps on its connection until an event or a post
    // comes, so an idle window costs nothing.
    if (System::Get().GetBackend().WaitForEvents(std::chrono::milliseconds(1000))) continue;
    std::unique_lock lock(queue->mutex);
    queue->wake.wait_for(lock, std::chrono::milliseconds(20), [&] {
      return std::exchange(queue->woken, false) || !queue->posted.empty() || !queue->sent.empty() || queue->quit;
    });
  }
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg || !msg->hwnd) return 0;
  if (msg->message == WM_PAINT) PaintNonClient(msg->hwnd);
  return CallProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

void PostQuitMessage(int exitCode) {
  auto queue = Queues().Current();
  {
    std::lock_guard lock(queue->mutex);
    queue->quit = true;
    queue->quitCode = exitCode;
  }
  queue->wake.notify_all();
  System::Get().GetBackend().Wake();
}

DWORD GetTickCount() {
  auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void Sleep(DWORD milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

}  // namespace platform

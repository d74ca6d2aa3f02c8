#include "platform/backends/offscreen/offscreen_shell.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/backends/offscreen/png_file.h"
#include "platform/ole/clipboard_formats.h"
#include "platform/ole/data_offer.h"
#include "platform/ole/drag_dispatch.h"
#include "platform/ole/drop_files.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/window_manager.h"

namespace platform {

void OffscreenShell::Start(ShellScript script) {
  std::lock_guard lock(mutex_);
  script_ = std::move(script);
  stage_ = Stage::Waiting;
  target_ = 0;
  nextDrop_ = 0;
  screenshotWritten_ = failed_ = false;
}

void OffscreenShell::Stop() {
  std::lock_guard lock(mutex_);
  stage_ = Stage::Off;
  target_ = 0;
}

void OffscreenShell::OnShown(HWND hwnd) {
  std::thread::id thread;
  {
    auto locked = LockWindow(hwnd);
    if (!locked) return;
    thread = locked->thread;
  }
  std::lock_guard lock(mutex_);
  if (stage_ != Stage::Waiting || target_) return;
  target_ = hwnd;
  thread_ = thread;
}

void OffscreenShell::OnDestroyed(HWND hwnd) {
  std::lock_guard lock(mutex_);
  // Gone before the script reached it: the next window shown takes its place.
  if (hwnd == target_ && stage_ != Stage::Closed) {
    target_ = 0;
    stage_ = stage_ == Stage::Off ? Stage::Off : Stage::Waiting;
    nextDrop_ = 0;
  }
}

bool OffscreenShell::Step() {
  HWND target;
  Stage stage;
  size_t dropIndex = 0;
  auto ready = [&] {
    // A window procedure that pumps messages inside a step finds the shell busy.
    return !running_ && !DragInProgress() && target_ && std::this_thread::get_id() == thread_ && stage_ != Stage::Off &&
           stage_ != Stage::Closed;
  };
  {
    std::lock_guard lock(mutex_);
    if (!ready()) return false;
  }
  // Asked outside the shell's lock: it takes the queue's and the windows' locks.
  if (!CurrentThreadIdle()) return false;
  {
    std::lock_guard lock(mutex_);
    if (!ready()) return false;
    if (stage_ == Stage::Waiting) stage_ = Stage::Dropping;
    if (stage_ == Stage::Dropping && nextDrop_ >= script_.drops.size()) stage_ = Stage::Screenshot;
    stage = stage_;
    target = target_;
    dropIndex = nextDrop_;
    running_ = true;
  }
  struct Busy {
    OffscreenShell& shell;
    ~Busy() {
      std::lock_guard lock(shell.mutex_);
      shell.running_ = false;
    }
  } busy{*this};

  if (stage == Stage::Dropping) {
    // One drop per step, so what a drop posts is handled before the next one.
    Drop(target, script_.drops[dropIndex]);
    std::lock_guard lock(mutex_);
    if (stage_ == Stage::Dropping) ++nextDrop_;
    return true;
  }
  if (!script_.screenshot.empty()) {
    const bool written = WriteScreenshot(target);
    std::lock_guard lock(mutex_);
    screenshotWritten_ = written;
    failed_ = failed_ || !written;
  }
  {
    std::lock_guard lock(mutex_);
    stage_ = Stage::Closed;
  }
  // As a click on the close box: the window's procedure decides what follows.
  PostMessageA(target, WM_SYSCOMMAND, SC_CLOSE, 0);
  return true;
}

void OffscreenShell::Drop(HWND target, const DropRequest& drop) {
  POINT screen = drop.point;
  if (!ClientToScreen(target, &screen)) return;
  // As a file manager drags: the button held over the target, released on
  // it, no key held, the files offered for copy, move or link.
  const ComRef<DataOffer> files = DataOffer::Create();
  files->Offer(CF_HDROP, DropFilesBytes(drop.files));
  constexpr DWORD kAllowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  DispatchDragMove(files.get(), screen, MK_LBUTTON, kAllowed);  // enters the target there
  DispatchDragMove(files.get(), screen, MK_LBUTTON, kAllowed);  // and is over it
  DispatchDrop(0, kAllowed, nullptr);
}

bool OffscreenShell::WriteScreenshot(HWND target) {
  std::shared_ptr<Surface> surface;
  RECT client{};
  {
    auto locked = LockWindow(target);
    if (locked) {
      surface = locked->surface;
      const RECT onScreen = ClientRectOnScreen(*locked.window);
      client = RECT{0, 0, onScreen.Width(), onScreen.Height()};
    }
  }
  std::string error;
  if (!surface || client.IsEmpty()) {
    error = "the window has no client area to show";
  } else {
    // The surface is the client area as the screen shows it, children included.
    const int32_t width = std::min(client.Width(), surface->Width());
    const int32_t height = std::min(client.Height(), surface->Height());
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    {
      std::lock_guard lock(surface->Mutex());
      for (int32_t y = 0; y < height; ++y) {
        const uint32_t* row = surface->Row32(y);
        uint8_t* out = rgb.data() + static_cast<size_t>(y) * width * 3;
        for (int32_t x = 0; x < width; ++x) {
          out[3 * x] = static_cast<uint8_t>(row[x] >> 16);
          out[3 * x + 1] = static_cast<uint8_t>(row[x] >> 8);
          out[3 * x + 2] = static_cast<uint8_t>(row[x]);
        }
      }
    }
    if (WriteRgbPng(script_.screenshot, width, height, rgb, &error)) return true;
  }
  std::fprintf(stderr, "tessellon: the screenshot '%s' was not written: %s\n", script_.screenshot.c_str(),
               error.c_str());
  std::fflush(stderr);
  return false;
}

bool OffscreenShell::Finish() {
  std::lock_guard lock(mutex_);
  if (stage_ == Stage::Off || script_.screenshot.empty()) return !failed_;
  if (!screenshotWritten_ && !failed_) {
    std::fprintf(stderr, "tessellon: the screenshot '%s' was not written: no window was shown\n",
                 script_.screenshot.c_str());
    std::fflush(stderr);
    failed_ = true;
  }
  return !failed_;
}

}  // namespace platform

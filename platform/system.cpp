#include "platform/system.h"

#include "platform/backend.h"
#include "platform/backends/offscreen/offscreen_backend.h"
#include "platform/drop_registry.h"
#include "platform/message_queue.h"
#include "platform/window_manager.h"

namespace platform {
namespace {

std::unique_ptr<Backend>& ChosenBackend() {
  static std::unique_ptr<Backend> chosen;
  return chosen;
}

}  // namespace

System::System(std::unique_ptr<Backend> backend)
    : backend_(std::move(backend)),
      queues_(std::make_unique<MessageQueues>()),
      windows_(std::make_unique<WindowManager>()),
      drops_(std::make_unique<DropRegistry>()) {}

System::~System() = default;

System& System::Get() {
  static System system(ChosenBackend() ? std::move(ChosenBackend()) : std::make_unique<OffscreenBackend>());
  return system;
}

void System::UseBackend(std::unique_ptr<Backend> backend) { ChosenBackend() = std::move(backend); }

SIZE ScreenSize() { return System::Get().GetBackend().ScreenSize(); }

}  // namespace platform

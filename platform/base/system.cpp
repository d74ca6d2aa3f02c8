#include "platform/base/system.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<System*>& MadeSystem() {
  static std::atomic<System*> made{nullptr};
  return made;
}

std::unique_ptr<Backend>& ChosenBackend() {
  static std::unique_ptr<Backend> chosen;
  return chosen;
}

}  // namespace

System::System(std::unique_ptr<Backend> backend) : backend_(std::move(backend)) {}

System::~System() {
  while (!parts_.empty()) parts_.pop_back();
}

System& System::Get() {
  // Never destroyed: whatever ends the process (a return from main, exit()
  // inside a library), no static destructor can reach the windows, handles
  // or backend through freed state.
  static System* const system = [] {
    auto* made = new System(ChosenBackend() ? std::move(ChosenBackend()) : std::make_unique<Backend>());
    MadeSystem().store(made, std::memory_order_release);
    return made;
  }();
  return *system;
}

System* System::IfMade() { return MadeSystem().load(std::memory_order_acquire); }

void System::UseBackend(std::unique_ptr<Backend> backend) { ChosenBackend() = std::move(backend); }

SIZE ScreenSize() { return System::Get().GetBackend().ScreenSize(); }

}  // namespace platform

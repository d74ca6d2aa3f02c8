#include "platform/base/system.h"

namespace platform {
namespace {

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
  static System* const system = new System(ChosenBackend() ? std::move(ChosenBackend()) : std::make_unique<Backend>());
  return *system;
}

void System::UseBackend(std::unique_ptr<Backend> backend) { ChosenBackend() = std::move(backend); }

SIZE ScreenSize() { return System::Get().GetBackend().ScreenSize(); }

}  // namespace platform

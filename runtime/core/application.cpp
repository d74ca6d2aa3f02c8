#include "runtime/core/application.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace runtime {
namespace {

// Never destroyed with the static objects: its window and picture tables
// hold platform handles, and the platform may be gone by then.
Application*& Instance() {
  static Application* app = new Application;
  return app;
}

}  // namespace

Application& App() { return *Instance(); }

void ResetApplication() {
  delete Instance();
  Instance() = new Application;
}

void ExitProcess(int32_t code) {
  if (App().exiting.exchange(true)) {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
  }
  std::fflush(nullptr);
  std::_Exit(code);
}

void InstallWindowRegistry(std::unique_ptr<WindowRegistry> registry) { App().windows = std::move(registry); }
WindowRegistry* InstalledWindowRegistry() { return App().windows.get(); }

void InstallPictureRegistry(std::unique_ptr<PictureRegistry> registry) { App().pictures = std::move(registry); }
PictureRegistry* InstalledPictureRegistry() { return App().pictures.get(); }

}  // namespace runtime

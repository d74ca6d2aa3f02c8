#include "runtime/core/shutdown.h"

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/ole/com.h"
#include "platform/windows/messages.h"
#include "platform/windows/window.h"

namespace runtime {
namespace {

using namespace platform;

void ReleaseDllModules() {
  Application& app = App();
  for (void* module : app.dllModules)
    if (module) dlclose(module);
  app.dllModules.clear();
  app.dllAddresses.clear();
}

}  // namespace

void OnRuntimeObjectDestroyed() {
  const Application& app = App();
  const WindowRegistry* registry = InstalledWindowRegistry();
  if (app.loopStarted && !app.shutdownDone && (!registry || !registry->AnyWindowAlive())) PostQuitMessage(0);
}

void RegisterCleanupRoutine(CleanupRoutine routine) {
  auto& list = App().cleanupRoutines;
  if (routine && std::find(list.begin(), list.end(), routine) == list.end()) list.push_back(routine);
}

void ShutdownRuntime(int32_t /*code*/) {
  Application& app = App();
  if (app.shutdownDone) return;
  ++app.eventSuppression;
  app.shutdownDone = true;
  app.idleRoutines.clear();
  if (app.windows) app.windows->Clear();
  // A routine may register another; run until the list is done.
  for (size_t i = 0; i < app.cleanupRoutines.size(); ++i) app.cleanupRoutines[i]();
  app.cleanupRoutines.clear();
  for (size_t i = 0; i < app.libraries.size(); ++i) {
    const LibraryEntry* library = app.libraries[i];
    if (library && library->notify) library->notify(notify::kLibraryDetach, app.libraryValues[i], 0);
  }
  app.libraries.clear();
  app.libraryValues.clear();
  ReleaseDllModules();
  app.constantStart = app.constantEnd = nullptr;
  if (app.hiddenOwner && IsWindow(app.hiddenOwner)) DestroyWindow(app.hiddenOwner);
  app.hiddenOwner = 0;
  if (app.pictures) app.pictures->DestroyAll();
  if (app.oleInitialised) OleUninitialize();
  app.oleInitialised = false;
}

void EndProgram(int32_t code) {
  Application& app = App();
  if (app.initialised && std::this_thread::get_id() != app.mainThread) {
    // The shutdown belongs to the main thread. Once it has run there, the main
    // thread ends the process with the code it chose; this thread only waits.
    if (!app.shutdownDone && app.hiddenOwner)
      SendMessageA(app.hiddenOwner, kShutdownRequest, static_cast<WPARAM>(code), 0);
    if (app.shutdownDone) {
      for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
    }
    ExitProcess(code);  // the main thread did not end the process
  }
  ShutdownRuntime(code);
  ExitProcess(code);
}

}  // namespace runtime

#include "runtime/core/lifecycle.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include "platform/ole/com.h"
#include "platform/files/files.h"
#include "platform/windows/messages.h"
#include "platform/base/system.h"
#include "platform/windows/window.h"
#include "runtime/core/ansi.h"
#include "runtime/core/dll_commands.h"
#include "runtime/core/fatal_error.h"
#include "runtime/core/memory.h"
#include "runtime/core/notify.h"
#include "runtime/core/unit_window.h"

namespace runtime {
namespace {

using namespace platform;

constexpr const char* kHideOwnerClass = "_VU_HideOwner";
constexpr int32_t kIdleEventKey = 7;

LRESULT HideOwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kShutdownRequest) EndProgram(static_cast<int32_t>(wParam));
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The tool writes its files beside the program. A path that cannot be named
// in the ANSI code page, or a directory that cannot be entered, would send
// them somewhere else, so start-up ends here instead.
void RecordProgramPath() {
  std::string path = GetModuleFileNameA();
  if (path.empty()) FatalError(Ansi("程序文件的路径含有系统代码页无法表示的字符!"), 0, 0, 0);
  ProgramPath split = SplitProgramPath(path);
  App().programDirectory = split.directory;
  App().programFileName = split.fileName;
  if (!SetCurrentDirectoryA(split.directory.empty() ? "/" : split.directory.c_str()))
    FatalError(Ansi("无法进入程序所在的目录!"), 0, 0, 0);
}

void RelocateAndReadForms(const ProgramHeader& header) {
  WindowRegistry* registry = InstalledWindowRegistry();
  std::span<const uint8_t> data(header.formData, header.formDataSize);
  std::span<const LogicRoutine> routines(header.routines, header.routines ? std::max(0, header.routineCount) : 0);
  if (!registry || !header.formData || !registry->ReadFormData(data, routines))
    FatalError(Ansi("载入窗口模板数据段出错!"), 0, 0, 0);
}

// Offers a message to the runtime objects of its window and its parents up
// to the top-level window; true when one of them consumed it.
bool OfferToRuntimeObjects(const MSG& msg) {
  for (HWND hwnd = msg.hwnd; hwnd;) {
    auto* object = reinterpret_cast<UnitObject*>(SendMessageA(hwnd, kAskRuntimeObject, 0, 0));
    if (object && object->PreTranslateMessage(&msg)) return true;
    if (!(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) break;
    hwnd = GetParent(hwnd);
  }
  return false;
}

struct IdleState {
  DWORD start = 0;
  std::vector<WindowId> finished;
};

// One idle step; false turns idle processing off.
bool IdleStep(int32_t count, IdleState& state) {
  if (count == 0) {
    state.start = GetTickCount();
    state.finished.clear();
  }
  if (count <= 1) return true;
  WindowRegistry* registry = InstalledWindowRegistry();
  if (!registry) return false;
  bool anyIdling = false;
  for (WindowId window : registry->LiveWindows()) {
    if (std::find(state.finished.begin(), state.finished.end(), window) != state.finished.end()) continue;
    EventRecord record;
    record.window = window;
    record.key = kIdleEventKey;
    record.argumentCount = 1;
    record.arguments[0] = static_cast<int32_t>(GetTickCount() - state.start);
    NotifyRuntime(notify::kRaiseEvent, reinterpret_cast<intptr_t>(&record), 0);
    if (record.resultFlag && record.result) anyIdling = true;
    else state.finished.push_back(window);
  }
  return anyIdling;
}

void RunIdleRoutines() {
  Application& app = App();
  for (size_t i = app.idleRoutines.size(); i-- > 0;) {
    if (i >= app.idleRoutines.size()) continue;  // a routine removed entries
    IdleEntry entry = app.idleRoutines[i];
    if (!IsWindow(entry.window)) {
      app.idleRoutines.erase(app.idleRoutines.begin() + static_cast<ptrdiff_t>(i));
      continue;
    }
    entry.routine(entry.argument);
  }
}

bool WantsIdleAgain(const MSG& msg, POINT& lastMouse) {
  if (msg.message == WM_PAINT || msg.message == WM_SYSTIMER) return false;
  if (msg.message == WM_MOUSEMOVE) {
    POINT p{static_cast<LONG>(static_cast<int16_t>(msg.lParam & 0xFFFF)),
            static_cast<LONG>(static_cast<int16_t>((msg.lParam >> 16) & 0xFFFF))};
    bool moved = p.x != lastMouse.x || p.y != lastMouse.y;
    lastMouse = p;
    return moved;
  }
  return true;
}

// The normal loop, or with `modalEnded` the modal one: it returns when that
// says the modal window is gone, and leaves a WM_QUIT in the queue for the
// loop outside it.
void RunLoop(const std::function<bool()>& modalEnded) {
  Application& app = App();
  bool idle = true;
  int32_t idleCount = 0;
  IdleState state;
  POINT lastMouse{-1, -1};
  MSG msg;
  for (;;) {
    while (idle && !PeekMessageA(&msg, 0, 0, 0, PM_NOREMOVE)) {
      RunIdleRoutines();
      if (!IdleStep(idleCount++, state)) idle = false;
      if (modalEnded && modalEnded()) return;
    }
    do {
      if (modalEnded && PeekMessageA(&msg, 0, 0, 0, PM_NOREMOVE) && msg.message == WM_QUIT) return;
      bool more = GetMessageA(&msg, 0, 0, 0);
      if (!more) {
        app.lastQuitCode = static_cast<int32_t>(msg.wParam);
        return;
      }
      if (!OfferToRuntimeObjects(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      if (modalEnded && modalEnded()) return;
      if (WantsIdleAgain(msg, lastMouse)) {
        idle = true;
        idleCount = 0;
      }
    } while (PeekMessageA(&msg, 0, 0, 0, PM_NOREMOVE));
  }
}

}  // namespace

void SetProgramHeader(const ProgramHeader* header) { App().header = header; }

ProgramPath SplitProgramPath(std::string_view path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string_view::npos) return ProgramPath{std::string(), std::string(path)};
  return ProgramPath{std::string(path.substr(0, slash)), std::string(path.substr(slash + 1))};
}

void InitialiseRuntime() {
  Application& app = App();
  if (!app.header) FatalError(Ansi("载入窗口模板数据段出错!"), 0, 0, 0);
  const ProgramHeader& header = *app.header;
  app.programKind = header.programKind;
  app.reserved = header.reserved;
  app.idCounter = header.lastIdSerial + 1;
  app.oleInitialised = SUCCEEDED(OleInitialize(nullptr));
  RecordProgramPath();

  WNDCLASSA wc;
  wc.lpfnWndProc = HideOwnerProc;
  wc.lpszClassName = kHideOwnerClass;
  RegisterClassA(&wc);  // already there when a second program runs in this process
  app.hiddenOwner = CreateWindowExA(WS_EX_TOOLWINDOW, kHideOwnerClass, "", 0, 0, 0, 0, 0, 0, 0, nullptr);
  app.mainThread = std::this_thread::get_id();
  if (header.constantBlockSize > 0 && header.constantBlock) {
    app.constantStart = header.constantBlock;
    app.constantEnd = header.constantBlock + header.constantBlockSize;
  }
  if (header.dllCommandCount > 0) {
    app.dllAddresses.assign(static_cast<size_t>(header.dllCommandCount), nullptr);
    app.dllModules.assign(static_cast<size_t>(header.dllCommandCount), nullptr);
  }
  for (int32_t i = 0; i < header.libraryCount; ++i) {
    const LibraryEntry* library = header.libraries ? header.libraries[i] : nullptr;
    if (library && library->notify)
      library->notify(notify::kLibraryAttach, reinterpret_cast<intptr_t>(&NotifyRuntime), 0);
  }
  app.libraries.assign(header.libraries, header.libraries + std::max(0, header.libraryCount));
  app.libraryValues.assign(app.libraries.size(), 0);
  if (header.formDataSize > 0) RelocateAndReadForms(header);
  app.initialised = true;
}

void RunMessageLoop() {
  Application& app = App();
  app.loopStarted = true;
  const WindowRegistry* registry = InstalledWindowRegistry();
  if (!registry || !registry->AnyWindowAlive()) return;
  RunLoop(nullptr);
}

void RunModalLoop(const std::function<bool()>& modalEnded) {
  if (modalEnded && !modalEnded()) RunLoop(modalEnded);
}

void ProcessPendingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, 0, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
    if (!PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) break;
    if (!OfferToRuntimeObjects(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

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

int RunApplication(const ProgramHeader& header, StartRoutine start) {
  SetProgramHeader(&header);
  std::string path = GetModuleFileNameA();
  App().moduleDirectory = path.substr(0, path.find_last_of('/') + 1);
  start();
  ShutdownRuntime(0);
  return App().lastQuitCode;
}

}  // namespace runtime

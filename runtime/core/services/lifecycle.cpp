#include "runtime/core/services/lifecycle.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include "platform/base/system.h"
#include "platform/files/files.h"
#include "platform/ole/com.h"
#include "platform/windows/messages.h"
#include "platform/windows/window.h"
#include "runtime/core/ansi.h"
#include "runtime/core/fatal_error.h"
#include "runtime/core/memory.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/dll_commands.h"
#include "runtime/core/shutdown.h"

namespace runtime::services {
namespace {

using namespace platform;

constexpr const char* kHideOwnerClass = "_VU_HideOwner";

LRESULT HideOwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kShutdownRequest) EndProgram(static_cast<int32_t>(wParam));
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The tool writes its files beside the program. Without the program's path,
// or in a directory that cannot be entered, they would go somewhere else, so
// start-up ends here instead. Every name the file system holds has an ANSI
// name, UTF-8 or not.
void RecordProgramPath() {
  std::string path = GetModuleFileNameA();
  if (path.empty()) FatalError(Ansi("无法取得程序文件的路径!"), 0, 0, 0);
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
    if (library && library->notify) library->notify(notify::kLibraryAttach, AddressWord(&NotifyRuntime), 0);
  }
  app.libraries.assign(header.libraries, header.libraries + std::max(0, header.libraryCount));
  app.libraryValues.assign(app.libraries.size(), 0);
  if (header.formDataSize > 0) RelocateAndReadForms(header);
  app.initialised = true;
}

int RunApplication(const ProgramHeader& header, StartRoutine start) {
  SetProgramHeader(&header);
  std::string path = GetModuleFileNameA();
  App().moduleDirectory = path.substr(0, path.find_last_of('/') + 1);
  // Memory running out anywhere under the program's routine (a unit's
  // property, a drop's handler) ends it with the runtime's message.
  EndingOnExhaustion(start);
  ShutdownRuntime(0);
  return App().lastQuitCode;
}

}  // namespace runtime::services

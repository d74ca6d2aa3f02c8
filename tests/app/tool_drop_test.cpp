// The tool's window from its embedded form, with its own creation handler
// and recording files-dropped handlers, driven by the offscreen shell as
// `tessellon --platform offscreen --drop X,Y FILE...` drives it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/program.h"
#include "platform/backends/offscreen/offscreen_backend.h"
#include "platform/base/system.h"
#include "platform/windows/messages.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/core/services/message_loop.h"
#include "runtime/core/services/services.h"
#include "runtime/core/shutdown.h"
#include "runtime/forms/window_table.h"

namespace {

using namespace runtime;
using namespace runtime::services;

std::vector<std::pair<UnitId, std::string>>& Dropped() {
  static std::vector<std::pair<UnitId, std::string>> dropped;
  return dropped;
}

void RecordDrop(HandlerCall& call) {
  int32_t current[2] = {0, 0};
  NotifyRuntime(notify::kCurrentEvent, reinterpret_cast<intptr_t>(current), 0);
  const char* text = *reinterpret_cast<char* const*>(call.arguments[0]);
  Dropped().emplace_back(current[1], text ? text : "<null>");
}

// The offsets the form binds: the creation handler and the three
// files-dropped handlers.
const LogicRoutine kRoutines[] = {
    {0, &app::WindowCreated}, {0x1C9, &RecordDrop}, {0x52F, &RecordDrop}, {0x895, &RecordDrop}};

TEST(ToolDrops, EachBoxsDropObjectRaisesItsFilesEventFromTheShellsDrops) {
  auto* backend = dynamic_cast<platform::OffscreenBackend*>(&platform::System::Get().GetBackend());
  if (!backend) GTEST_SKIP() << "the shell belongs to the offscreen backend";
  Dropped().clear();
  ResetApplication();
  forms::InstallForms();
  ProgramHeader header = app::ProgramHeader();
  header.routines = kRoutines;
  header.routineCount = static_cast<int32_t>(std::size(kRoutines));
  SetProgramHeader(&header);
  InitialiseRuntime();

  const std::string chinese = "/photos/\xE7\xBB\x86\xE8\x8A\x82.jpg";  // UTF-8, as the OS names it
  platform::ShellScript script;
  script.drops = {{{115, 163}, {"/photos/some.jpg"}},
                  {{450, 450}, {"/photos/beside.jpg"}},  // over the window only: no target
                  {{115, 363}, {chinese, "/photos/b.png"}}};
  backend->StartShell(script);
  Services().LoadWindow(app::kWindowId);
  // The shell closes the window after its drops; a watchdog closes it if not.
  const auto* window = reinterpret_cast<UnitObject*>(NotifyRuntime(notify::kFindUnitObject, app::kWindowId, 0));
  ASSERT_NE(window, nullptr);
  const platform::HWND hwnd = window->WindowHandle();
  std::atomic<bool> done{false}, rescued{false};
  std::thread watchdog([&] {
    for (int i = 0; i < 1000 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!done) {
      rescued = true;
      platform::PostMessageA(hwnd, platform::WM_SYSCOMMAND, platform::SC_CLOSE, 0);
    }
  });
  Services().RunMessageLoop();
  done = true;
  watchdog.join();
  backend->StopShell();
  ShutdownRuntime(0);
  ResetApplication();

  EXPECT_FALSE(rescued);
  const std::vector<std::pair<UnitId, std::string>> expected = {
      {0x16010006, "/photos/some.jpg"}, {0x16010008, "/photos/\xCF\xB8\xBD\xDA.jpg\r\n/photos/b.png\r\n"}};
  EXPECT_EQ(Dropped(), expected);
}

}  // namespace

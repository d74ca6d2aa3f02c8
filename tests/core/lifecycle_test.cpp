#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "platform/windows/messages.h"
#include "platform/windows/window.h"
#include "runtime/core/ansi.h"
#include "runtime/core/fatal_error.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/core/services/message_loop.h"
#include "runtime/core/message_pump.h"
#include "runtime/core/notify.h"
#include "runtime/core/services/services.h"
#include "runtime/core/shutdown.h"
#include "runtime_fixture.h"

namespace {

using namespace runtime;
using namespace runtime::services;

int cleanupRuns = 0;
void CountingCleanup() { ++cleanupRuns; }
void ReportingCleanup() { std::fputs("cleanup ran\n", stderr); }

int startCalls = 0;
int32_t StartThatRunsTheLoop() {
  ++startCalls;
  Services().NumberedService(numbered::kInitialiseRuntime, 0, 0, 0, 0);
  Services().NumberedService(numbered::kRegisterCleanupRoutine, reinterpret_cast<intptr_t>(&CountingCleanup), 0, 0, 0);
  Services().NumberedService(numbered::kRegisterCleanupRoutine, reinterpret_cast<intptr_t>(&CountingCleanup), 0, 0, 0);
  // Something waiting in the queue must not be taken: with no runtime window
  // alive the loop returns at once.
  platform::PostMessageA(0, platform::WM_USER + 5, 0, 0);
  Services().RunMessageLoop();
  platform::MSG msg;
  EXPECT_TRUE(platform::PeekMessageA(&msg, 0, 0, 0, platform::PM_REMOVE));
  EXPECT_EQ(msg.message, platform::WM_USER + 5u);
  return 0;
}

TEST(Lifecycle, ProgramWithoutWindowsRunsItsCleanupOnceAndExitsZero) {
  ResetApplication();
  ProgramHeader header = test::MakeHeader();
  cleanupRuns = 0;
  startCalls = 0;
  EXPECT_EQ(RunApplication(header, &StartThatRunsTheLoop), 0);
  EXPECT_EQ(startCalls, 1);
  EXPECT_EQ(cleanupRuns, 1);
  EXPECT_EQ(App().idCounter, 0x0001001D + 1);
  EXPECT_EQ(App().constantStart, nullptr);  // forgotten at shutdown
  EXPECT_FALSE(platform::IsWindow(App().hiddenOwner));
  ResetApplication();
}

TEST(Lifecycle, ProgramPathSplitsAtTheLastSeparator) {
  EXPECT_EQ(SplitProgramPath("/opt/tool/tessellon").directory, "/opt/tool");
  EXPECT_EQ(SplitProgramPath("/opt/tool/tessellon").fileName, "tessellon");
  EXPECT_EQ(SplitProgramPath("/tessellon").directory, "");
  EXPECT_EQ(SplitProgramPath("/tessellon").fileName, "tessellon");
  EXPECT_EQ(SplitProgramPath("tessellon").directory, "");
  EXPECT_EQ(SplitProgramPath("tessellon").fileName, "tessellon");
}

class FakeRegistry : public WindowRegistry {
 public:
  bool ReadFormData(std::span<const uint8_t>, std::span<const LogicRoutine>) override { return true; }
  bool AnyWindowAlive() const override { return false; }
  std::vector<WindowId> LiveWindows() const override { return {}; }
  void Clear() override {}
  bool HasWindow(WindowId w) const override { return w == 0x52010001; }
  std::optional<std::string> WindowTag(WindowId) const override { return Ansi("_启动窗口"); }
  std::optional<std::string> UnitTag(WindowId, UnitId u) const override {
    if (u == 0 || u == 0x1601000D) return Ansi(u ? "图片框1" : "画板1");
    return std::nullopt;
  }
  void LoadWindow(WindowId) override {}
};

class FatalErrorText : public test::RuntimeTest {};

TEST_F(FatalErrorText, WithoutCodeOrMessageShowsOnlyTheDetail) {
  EXPECT_EQ(runtime::FatalErrorText("", 0, 0, 0), Ansi("运行时出错!") + "\r\n\r\n0, 0\r\n");
}

TEST_F(FatalErrorText, CodeAndMessageLines) {
  EXPECT_EQ(runtime::FatalErrorText(RuntimeErrorMessage(5), 5, 12, -3),
            Ansi("运行时出错!\r\n\r\n错误代码：5\r\n\r\n错误信息：数据或数组类型不匹配\r\n\r\n12, -3\r\n"));
}

TEST_F(FatalErrorText, WindowIdsNameTheWindowAndUnit) {
  // Without a window table the window cannot be found.
  EXPECT_EQ(runtime::FatalErrorText("", 0, 0x52010001, 0x1601000D),
            Ansi("运行时出错!\r\n\r\n1375797249, 369164301\r\n未找到所指定的窗口\r\n"));
  InstallWindowRegistry(std::make_unique<FakeRegistry>());
  EXPECT_EQ(runtime::FatalErrorText("", 0, 0x52010001, 0x1601000D),
            Ansi("运行时出错!\r\n\r\n1375797249, 369164301\r\n\"_启动窗口\"\r\n\"图片框1\"\r\n"));
  // Unit 0 names the window's first unit record.
  EXPECT_EQ(runtime::FatalErrorText("", 0, 0x52010001, 0),
            Ansi("运行时出错!\r\n\r\n1375797249, 0\r\n\"_启动窗口\"\r\n\"画板1\"\r\n"));
  EXPECT_EQ(runtime::FatalErrorText("", 0, 0x52010001, 0x16010099),
            Ansi("运行时出错!\r\n\r\n1375797249, 369164441\r\n\"_启动窗口\"\r\n未找到所指定的窗口组件\r\n"));
  // Not a window id (bits 24-27 are not 2): ids only.
  EXPECT_EQ(runtime::FatalErrorText("", 0, 0x16010006, 0), Ansi("运行时出错!\r\n\r\n369164294, 0\r\n"));
  EXPECT_EQ(RuntimeErrorMessage(0), "");
  EXPECT_EQ(RuntimeErrorMessage(12), "");
}

using LifecycleDeathTest = test::RuntimeTest;

TEST_F(LifecycleDeathTest, FatalErrorShowsTheBoxAndSkipsCleanup) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  RegisterCleanupRoutine(&ReportingCleanup);
  EXPECT_EXIT(
      Services().RaiseRuntimeError(3, 0x52010001, 7), testing::ExitedWithCode(255),
      "^\\[错误\\]\n运行时出错!\n\n错误代码：3\n\n错误信息：引用数组成员时维数不为1且不等于该数组目前所具有的维数"
      "\n\n1375797249, 7\n未找到所指定的窗口\n\n$");
}

TEST_F(LifecycleDeathTest, EndProgramRunsCleanupAndExitsWithItsCode) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  RegisterCleanupRoutine(&ReportingCleanup);
  EXPECT_EXIT(Services().EndProgram(9), testing::ExitedWithCode(9), "cleanup ran");
  EXPECT_EXIT(NotifyRuntime(notify::kRuntimeError, reinterpret_cast<intptr_t>("boom"), 0), testing::ExitedWithCode(255),
              "错误信息：boom");
}

TEST_F(LifecycleDeathTest, ShutdownRequestedOnAnotherThreadRunsOnTheMainThread) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  RegisterCleanupRoutine(&ReportingCleanup);
  EXPECT_EXIT(
      {
        std::thread worker([] { EndProgram(7); });
        worker.detach();
        for (;;) {
          // The cleanup (and with it the shutdown) must run here, on the
          // thread that initialised the runtime.
          ProcessPendingMessages();
          platform::Sleep(1);
        }
      },
      testing::ExitedWithCode(7), "cleanup ran");
}

// The main thread has shut down and is about to end the process with its own
// code; a worker asking for shutdown now must neither end the process nor
// replace that code.
TEST_F(LifecycleDeathTest, AShutdownRequestAfterTheShutdownLeavesTheExitToTheMainThread) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ShutdownRuntime(0);
        std::thread worker([] { EndProgram(7); });
        worker.detach();
        platform::Sleep(300);
        ExitProcess(0);
      },
      testing::ExitedWithCode(0), "");
}

TEST_F(LifecycleDeathTest, LoadWindowWithoutAWindowTableIsFatal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(Services().LoadWindow(0x52010001), testing::ExitedWithCode(255), "载入启动窗口失败");
  EXPECT_EXIT(Services().GetProperty(0x52010001, 0x1601000D, 10, -1), testing::ExitedWithCode(255),
              "未载入欲访问窗口组件所在的窗口");
}

class Services_ : public test::RuntimeTest {};

void EchoCount(ArgRecord* result, int32_t count, ArgRecord* args) {
  // The record arrives zeroed; report what was there before writing.
  result->payload = result->payload + static_cast<uint64_t>(count) + (args ? 0 : 100);
}

TEST_F(Services_, CommandsGetAZeroedResultRecord) {
  ArgRecord r = Services().CallCoreCommand(&EchoCount, 0, nullptr);
  EXPECT_EQ(r.payload, 100u);
  EXPECT_EQ(r.tag, 0u);
  ArgRecord args[2] = {ArgRecord::Int(1), ArgRecord{}};
  r = Services().CallLibraryCommand(&EchoCount, 2, 2, args);
  EXPECT_EQ(r.payload, 2u);
}

TEST_F(Services_, UnitTypeLookupChecksBothNumbers) {
  UnitTypeDescriptor types[3] = {};
  types[0].englishName = "window";
  types[2].englishName = "third";
  LibraryEntry core;
  core.unitTypeCount = 3;
  core.unitTypes = types;
  const LibraryEntry* libraries[] = {&core};
  ProgramHeader header = test::MakeHeader();
  header.libraryCount = 1;
  header.libraries = libraries;
  EXPECT_EQ(LookupUnitType(header, 0x00010001), &types[0]);
  EXPECT_EQ(LookupUnitType(header, 0x00010003), &types[2]);
  EXPECT_EQ(LookupUnitType(header, 0x00010004), nullptr);  // type beyond the count
  EXPECT_EQ(LookupUnitType(header, 0x00010000), nullptr);
  EXPECT_EQ(LookupUnitType(header, 0x00020001), nullptr);  // library beyond the count
}

int libraryCalls[2][2];
intptr_t FirstLibrary(int32_t code, intptr_t entry, intptr_t) {
  if (code == 1) libraryCalls[0][0] = entry == reinterpret_cast<intptr_t>(&NotifyRuntime) ? 1 : -1;
  if (code == 6) libraryCalls[0][1] = libraryCalls[1][1] == 0 ? 1 : -1;  // before the second
  return 0;
}
intptr_t SecondLibrary(int32_t code, intptr_t, intptr_t) {
  if (code == 1) libraryCalls[1][0] = libraryCalls[0][0] == 1 ? 1 : -1;  // after the first
  if (code == 6) libraryCalls[1][1] = 1;
  return code == 1 ? 0 : -1;
}

TEST(LibraryNotification, LibrariesAreToldInTableOrderAtStartAndEnd) {
  ResetApplication();
  LibraryEntry first, second;
  first.notify = &FirstLibrary;
  second.notify = &SecondLibrary;
  const LibraryEntry* libraries[] = {&first, nullptr, &second};
  ProgramHeader header = test::MakeHeader();
  header.libraryCount = 3;
  header.libraries = libraries;
  SetProgramHeader(&header);
  InitialiseRuntime();
  EXPECT_EQ(libraryCalls[0][0], 1);
  EXPECT_EQ(libraryCalls[1][0], 1);
  ShutdownRuntime(0);
  EXPECT_EQ(libraryCalls[0][1], 1);
  EXPECT_EQ(libraryCalls[1][1], 1);
  ResetApplication();
}

}  // namespace

#include "runtime/core/fatal_error.h"

#include <cstdio>

#include "platform/windows/message_box.h"
#include "runtime/core/ansi.h"
#include "runtime/core/application.h"
#include "runtime/core/shutdown.h"

namespace runtime {
namespace {

constexpr const char* kRuntimeErrors[] = {
    "数组成员引用下标超出定义范围",
    "未得到所需要的数值型数据",
    "引用数组成员时维数不为1且不等于该数组目前所具有的维数",
    "数组成员引用下标必须大于等于1",
    "数据或数组类型不匹配",
    "调用DLL命令后发现堆栈错误",
    "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",
    "被比较数据只能使用等于或不等于命令比较",
    "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",
    "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",
    "所提供参数的数据类型不符合要求",
};

// Window ids carry 2 in bits 24 to 27.
bool IsWindowId(WindowId id) { return id != 0 && ((static_cast<uint32_t>(id) >> 24) & 0xF) == 2; }

std::string Quoted(const std::string& tag) { return "\r\n\"" + tag + "\""; }

std::string DetailText(WindowId window, UnitId unit) {
  char ids[48];
  std::snprintf(ids, sizeof ids, "\r\n%d, %d", window, unit);
  std::string detail = ids;
  if (IsWindowId(window)) {
    const WindowRegistry* registry = InstalledWindowRegistry();
    if (!registry || !registry->HasWindow(window)) {
      detail += "\r\n" + Ansi("未找到所指定的窗口");
    } else {
      detail += Quoted(registry->WindowTag(window).value_or(std::string()));
      if (auto tag = registry->UnitTag(window, unit))
        detail += Quoted(*tag);
      else
        detail += "\r\n" + Ansi("未找到所指定的窗口组件");
    }
  }
  return detail + "\r\n";
}

}  // namespace

std::string RuntimeErrorMessage(int32_t code) {
  if (code < 1 || code > 11) return std::string();
  return Ansi(kRuntimeErrors[code - 1]);
}

std::string FatalErrorText(std::string_view message, int32_t code, WindowId window, UnitId unit) {
  std::string text = Ansi("运行时出错!") + "\r\n";
  if (code != 0) text += "\r\n" + Ansi("错误代码：") + std::to_string(code) + "\r\n";
  if (!message.empty()) text += "\r\n" + Ansi("错误信息：") + std::string(message) + "\r\n";
  return text + DetailText(window, unit);
}

void FatalError(std::string_view message, int32_t code, WindowId window, UnitId unit) {
  Application& app = App();
  ++app.eventSuppression;
  if (app.errorHook && !app.errorHookRunning) {
    app.errorHookRunning = true;
    std::string hooked = std::string(message) + DetailText(window, unit);
    int32_t reported = app.errorHook(code, hooked.c_str());
    app.errorHookRunning = false;
    if (reported) {
      app.cleanupRoutines.clear();
      EndProgram(-1);
    }
  }
  std::string text = FatalErrorText(message, code, window, unit);
  platform::MessageBoxA(0, text.c_str(), Ansi("错误").c_str(), platform::MB_OK | platform::MB_ICONSTOP);
  // The program's clean-up routines never run after a fatal error.
  app.cleanupRoutines.clear();
  EndProgram(-1);
}

void RaiseRuntimeError(int32_t code, WindowId window, UnitId unit) {
  FatalError(RuntimeErrorMessage(code), code, window, unit);
}

}  // namespace runtime

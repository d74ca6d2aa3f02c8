#include "runtime/core/services/dll_commands.h"

#include <dlfcn.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/core/ansi.h"
#include "runtime/core/application.h"
#include "runtime/core/fatal_error.h"

namespace runtime::services {
namespace {

std::string TextOr(const char* const* table, int32_t index) {
  return (table && table[index]) ? std::string(table[index]) : std::string();
}

// Ordinals ("#n") have no meaning for shared objects; they never resolve.
void* Lookup(void* module, const std::string& routine) {
  if (!module || routine.empty() || routine[0] == '#') return nullptr;
  return dlsym(module, routine.c_str());
}

}  // namespace

void* ResolveDllCommand(int32_t index) {
  Application& app = App();
  const ProgramHeader* header = app.header;
  if (!header || index < 0 || index >= header->dllCommandCount || static_cast<size_t>(index) >= app.dllAddresses.size())
    RaiseRuntimeError(6, 0, 0);
  if (void* cached = app.dllAddresses[static_cast<size_t>(index)]) return cached;

  std::string file = TextOr(header->dllFiles, index);
  std::string routine = TextOr(header->dllRoutines, index);
  void* module = nullptr;
  void* address = nullptr;
  if (file.empty()) {
    // The system libraries: whatever the process already has loaded.
    module = dlopen(nullptr, RTLD_NOW);
    address = Lookup(module, routine);
  } else {
    std::vector<std::string> candidates;
    if (file.find('/') == std::string::npos) {
      candidates.push_back(app.programDirectory + "/" + file);
      candidates.push_back(app.moduleDirectory + file);
    }
    candidates.push_back(file);
    for (const std::string& candidate : candidates) {
      module = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
      address = Lookup(module, routine);
      if (address) break;
      if (module) dlclose(module);
      module = nullptr;
    }
  }
  if (!address) {
    char text[1024];
    if (file.empty())
      std::snprintf(text, sizeof text, Ansi("无法找到指定DLL库文件中的输出命令“%s”").c_str(), routine.c_str());
    else
      std::snprintf(text, sizeof text, Ansi("无法找到指定DLL库文件“%s”中的输出命令“%s”").c_str(), file.c_str(),
                    routine.c_str());
    FatalError(text, 0, 0, 0);
  }
  app.dllModules[static_cast<size_t>(index)] = module;
  app.dllAddresses[static_cast<size_t>(index)] = address;
  return address;
}

}  // namespace runtime::services

#include "app/program.h"
#include "platform/process/process_entry.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/core_library/core_library.h"

int main(int argc, char** argv) {
  return platform::RunProcess(argc, argv, [](const platform::PlatformOptions&) {
    runtime::core_library::InstallCoreLibrary();
    return runtime::services::RunApplication(app::ProgramHeader(), &app::StartRoutine);
  });
}

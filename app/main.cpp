#include "app/program.h"
#include "platform/process_entry.h"
#include "runtime/core/lifecycle.h"

int main(int argc, char** argv) {
  return platform::RunProcess(argc, argv, [](const platform::PlatformOptions&) {
    return runtime::RunApplication(app::ProgramHeader(), &app::StartRoutine);
  });
}

#include "app/program.h"
#include "platform/process/process_entry.h"
#include "runtime/core/lifecycle.h"
#include "runtime/forms/window_table.h"
#include "runtime/picture/picture_table.h"

int main(int argc, char** argv) {
  return platform::RunProcess(argc, argv, [](const platform::PlatformOptions&) {
    runtime::picture::InstallPictureTable();
    runtime::forms::InstallForms();
    return runtime::RunApplication(app::ProgramHeader(), &app::StartRoutine);
  });
}

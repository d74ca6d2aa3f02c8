// Help files on a desktop: handed to the desktop's opener, which chooses the
// viewer; the topic cannot be passed on.
#include <spawn.h>
#include <sys/wait.h>

#include <thread>

#include "platform/backends/x11/x11_backend.h"

extern char** environ;

namespace platform::x11 {

bool X11Backend::ShowHelp(const std::string& path, uint32_t /*topic*/) {
  if (connection_->Lost()) return false;
  std::string program = "xdg-open";
  char* argv[] = {program.data(), const_cast<char*>(path.c_str()), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) return false;
  // Reaped when it ends; the viewer it starts outlives it.
  std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
  return true;
}

}  // namespace platform::x11

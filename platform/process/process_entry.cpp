#include "platform/process/process_entry.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/backends/offscreen/offscreen_backend.h"
#include "platform/backends/x11/x11_backend.h"
#include "platform/base/system.h"

namespace platform {
namespace {

// The arguments are UTF-8 as the OS gives them, so relative ones are joined
// to the working directory in the same encoding.
std::string Utf8WorkingDirectory() {
  char buffer[PATH_MAX];
  return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

int Refuse(const std::string& why) {
  std::fprintf(stderr, "tessellon: %s\n(run 'tessellon --help' for the options)\n", why.c_str());
  return 2;
}

}  // namespace

int RunProcess(int argc, const char* const* argv, const std::function<int(const PlatformOptions&)>& program) {
  CommandLineResult parsed = ParseCommandLine(argc, argv, Utf8WorkingDirectory());
  if (!parsed.ok) return Refuse(parsed.error);
  PlatformOptions options = parsed.options;
  if (options.help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  const bool scripted = !options.drops.empty() || !options.screenshot.empty();
  if (options.platform.empty()) {
    const char* env = std::getenv("TESSELLON_PLATFORM");
    std::string chosen = env ? env : "";
    if (!chosen.empty() && chosen != "offscreen" && chosen != "x11")
      return Refuse("TESSELLON_PLATFORM='" + chosen + "' is not a platform: use offscreen or x11");
    if (chosen == "x11" && scripted) return Refuse("--drop and --screenshot work on the offscreen platform only");
    // Drops and screenshots are played offscreen only; without them a
    // display that opens gets the real window.
    options.platform = !chosen.empty() ? chosen : scripted ? "offscreen" : "";
  }
  // Nothing chose offscreen: it is only what is left without a display.
  const bool offscreenByDefault = options.platform.empty();
  if (options.platform != "offscreen") {
    const char* display = std::getenv("DISPLAY");
    if (auto x11 = x11::X11Backend::Open()) {
      System::UseBackend(std::move(x11));
      options.platform = "x11";
    } else if (options.platform == "x11") {
      return Refuse(std::string("cannot open the X display '") + (display ? display : "") + "'");
    } else {
      // A display that was meant to be there is worth a word before going on without it.
      if (display && *display)
        std::fprintf(stderr, "tessellon: cannot open the X display '%s'; running offscreen\n", display);
      options.platform = "offscreen";
    }
  }
  if (options.platform == "offscreen" && offscreenByDefault && !scripted) {
    // Offscreen without a script, the window would open and close unseen.
    std::fputs(
        "tessellon: no display and nothing to drop; to compose offscreen, drop photographs on the boxes:\n"
        "  tessellon --drop 115,163 a.jpg --drop 363,163 b.jpg --drop 115,363 c.jpg [--screenshot out.png]\n",
        stderr);
    return 2;
  }
  if (options.platform == "offscreen")
    System::UseBackend(std::make_unique<OffscreenBackend>(ShellScript{options.drops, options.screenshot}));
  int status = program(options);
  Backend& backend = System::Get().GetBackend();
  // A run that could not do what its command line asked does not end in success.
  if (!backend.FinishRun() && status == 0) status = 1;
  if (backend.DisplayLost()) status = kDisplayLostStatus;
  return status;
}

}  // namespace platform

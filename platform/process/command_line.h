// The platform's own options, read at process entry before the runtime starts:
//   tessellon [--platform offscreen|x11] [--drop X,Y FILE [FILE...]]... [--screenshot OUT.png]
#pragma once

#include <string>
#include <vector>

#include "platform/base/shell_script.h"

namespace platform {

struct PlatformOptions {
  std::string platform;  // "offscreen", "x11", or empty when not chosen
  std::vector<DropRequest> drops;
  std::string screenshot;  // empty: none
  bool help = false;
};

struct CommandLineResult {
  bool ok = false;
  PlatformOptions options;
  std::string error;  // why the command line was refused
};

// `startDirectory` makes relative drop paths absolute.
CommandLineResult ParseCommandLine(int argc, const char* const* argv, const std::string& startDirectory);
std::string UsageText();

}  // namespace platform

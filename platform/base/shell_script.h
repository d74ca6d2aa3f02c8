// What a run without a display is asked to play, as the command line gives
// it and the offscreen shell plays it: drops, then a screenshot.
#pragma once

#include <string>
#include <vector>

#include "platform/base/types.h"

namespace platform {

struct DropRequest {
  POINT point;                     // client point of the first top-level window
  std::vector<std::string> files;  // absolute paths, bytes as the OS gives them (UTF-8 or not)
};

struct ShellScript {
  std::vector<DropRequest> drops;
  std::string screenshot;  // empty: none
};

}  // namespace platform

#include "platform/backends/offscreen/offscreen_backend.h"

#include "platform/message_box.h"

namespace platform {

void OffscreenBackend::ShowMessageBox(std::string_view caption, std::string_view text) {
  WriteMessageBoxToStderr(caption, text);
}

}  // namespace platform

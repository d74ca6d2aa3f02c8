// The one System object: it owns the handle table, the window tree, the
// message queues, the drop targets and the backend. Nothing else in the platform holds global
// state.
#pragma once

#include <memory>

#include "platform/handle_table.h"

namespace platform {

class Backend;
class WindowManager;
class MessageQueues;
struct DropRegistry;

class System {
 public:
  // Created on first use; the backend is offscreen unless one was installed
  // with UseBackend before.
  static System& Get();
  // Installs the backend the process entry chose; call before windows exist.
  static void UseBackend(std::unique_ptr<Backend> backend);

  HandleTable& Handles() { return handles_; }
  Backend& GetBackend() { return *backend_; }
  WindowManager& Windows() { return *windows_; }
  MessageQueues& Queues() { return *queues_; }
  DropRegistry& Drops() { return *drops_; }

  ~System();

 private:
  explicit System(std::unique_ptr<Backend> backend);

  HandleTable handles_;
  std::unique_ptr<Backend> backend_;
  std::unique_ptr<MessageQueues> queues_;
  std::unique_ptr<WindowManager> windows_;
  std::unique_ptr<DropRegistry> drops_;
};

}  // namespace platform

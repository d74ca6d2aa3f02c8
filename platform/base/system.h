// The one System object: it owns the handle table, the backend and the state
// each service keeps for the whole process (the window tree, the message
// queues, the drop targets). Nothing else in the platform holds global state.
// It lives at the base so every service reaches it, and names no service's
// state: each service asks for its own part by type.
#pragma once

#include <memory>
#include <mutex>
#include <typeindex>
#include <vector>

#include "platform/base/backend.h"
#include "platform/base/handle_table.h"

namespace platform {

class System {
 public:
  // Created on first use, with the backend installed by UseBackend before;
  // without one, a screen with no display (the backend interface's defaults).
  // It lives until the process ends and is never destroyed.
  static System& Get();
  // The System once Get has made it, else null: for what runs beneath it
  // (its own memory comes from the large blocks) and must not make it early.
  static System* IfMade();
  // Installs the backend the process entry chose; call before windows exist.
  static void UseBackend(std::unique_ptr<Backend> backend);

  HandleTable& Handles() { return handles_; }
  Backend& GetBackend() { return *backend_; }

  // The process-wide state of one service, made on first use and destroyed
  // with System, the last made first. `State` must not ask for itself while
  // it is being made.
  template <class State>
  State& Part() {
    static State& part = Adopt(std::make_unique<State>());
    return part;
  }

  ~System();

 private:
  explicit System(std::unique_ptr<Backend> backend);

  struct OwnedPart {
    std::type_index type;
    std::shared_ptr<void> object;
  };
  template <class State>
  State& Adopt(std::unique_ptr<State> made) {
    State& part = *made;
    std::lock_guard lock(partsMutex_);
    parts_.push_back(OwnedPart{typeid(State), std::shared_ptr<void>(std::move(made))});
    return part;
  }

  HandleTable handles_;
  std::unique_ptr<Backend> backend_;
  std::mutex partsMutex_;
  std::vector<OwnedPart> parts_;
};

}  // namespace platform

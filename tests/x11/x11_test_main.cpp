// Starts Xvfb, installs the X11 backend on it, then runs the tests. Without
// Xvfb every test skips, saying so.

// gtest before Xlib: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "platform/backends/x11/x11_backend.h"
#include "platform/base/system.h"
#include "xvfb_server.h"

namespace x11_test {
namespace {
const XvfbServer* server = nullptr;
}  // namespace

const XvfbServer* Server() { return server; }

}  // namespace x11_test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests needs no server.
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
  // Static, so it outlives the System object the tests create after it.
  static x11_test::XvfbServer xvfb;
  if (xvfb.Running()) {
    setenv("DISPLAY", xvfb.Display().c_str(), 1);
    auto backend = platform::x11::X11Backend::Open(xvfb.Display().c_str());
    if (backend) {
      platform::System::UseBackend(std::move(backend));
      x11_test::server = &xvfb;
    }
  }
  const int result = RUN_ALL_TESTS();
  return result;
}

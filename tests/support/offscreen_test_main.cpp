// The tests run on the offscreen backend, installed before any test reaches
// the platform, as the process entry installs the backend it chose.
#include <gtest/gtest.h>

#include <memory>

#include "platform/backends/offscreen/offscreen_backend.h"
#include "platform/base/system.h"

int main(int argc, char** argv) {
  platform::System::UseBackend(std::make_unique<platform::OffscreenBackend>());
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

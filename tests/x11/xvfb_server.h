// An Xvfb server on a free display for the length of the test run.
#pragma once

#include <sys/types.h>

#include <string>

namespace x11_test {

class XvfbServer {
 public:
  // Starts the server; Running() is false when Xvfb is missing or failed.
  XvfbServer();
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  bool Running() const { return pid_ > 0 && !display_.empty(); }
  const std::string& Display() const { return display_; }  // ":N"

  static constexpr int kWidth = 1280;
  static constexpr int kHeight = 1024;

 private:
  pid_t pid_ = -1;
  std::string display_;
};

// The server and the display the whole run uses; set by main.
const XvfbServer* Server();
// Skips the calling test when no server could be started.
#define SKIP_WITHOUT_XVFB() \
  if (!x11_test::Server() || !x11_test::Server()->Running()) GTEST_SKIP() << "Xvfb could not be started"

}  // namespace x11_test

// A program header with the tool's constant block, and a fixture that gives
// every test a fresh runtime.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "runtime/core/application.h"
#include "runtime/core/services/lifecycle.h"
#include "runtime/core/program.h"
#include "runtime/core/shutdown.h"

namespace test {

// 0: empty text; 1: empty byte array; 9: "/emp.jpg"; 18: "/细节.jpg" in GBK.
inline const uint8_t kConstants[28] = {0x00, 0x01, 0,   0, 0,   0,    0,    0,    0,    '/', 'e', 'm', 'p', '.',
                                       'j',  'p',  'g', 0, '/', 0xCF, 0xB8, 0xBD, 0xDA, '.', 'j', 'p', 'g', 0};

inline runtime::ProgramHeader MakeHeader() {
  runtime::ProgramHeader header;
  header.lastIdSerial = 0x0001001D;
  header.constantBlock = kConstants;
  header.constantBlockSize = sizeof kConstants;
  return header;
}

class RuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    runtime::ResetApplication();
    header_ = MakeHeader();
    runtime::services::SetProgramHeader(&header_);
    runtime::services::InitialiseRuntime();
  }
  void TearDown() override {
    runtime::ShutdownRuntime(0);
    runtime::ResetApplication();
  }
  const char* EmptyText() const { return reinterpret_cast<const char*>(kConstants); }
  const void* EmptyBytes() const { return kConstants + 1; }

  runtime::ProgramHeader header_;
};

// A scratch directory removed with its content at the end of the test.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadAll(const std::string& utf8Path);

}  // namespace test

#include <gtest/gtest.h>

#include <cstring>

#include "app/program.h"
#include "runtime/core/application.h"
#include "runtime/core/lifecycle.h"
#include "runtime/core/memory.h"
#include "runtime/imageconv/convert_image.h"

namespace {

TEST(ToolProgram, ConstantBlockHoldsTheEmptyValuesAndThePathSuffixes) {
  const char* base = reinterpret_cast<const char*>(app::kConstantBlock);
  EXPECT_STREQ(base + app::kEmptyTextOffset, "");
  int32_t header[2];
  std::memcpy(header, base + app::kEmptyByteArrayOffset, 8);
  EXPECT_EQ(header[0], 1);
  EXPECT_EQ(header[1], 0);
  EXPECT_STREQ(base + app::kTemporaryFileSuffixOffset, "/emp.jpg");
  EXPECT_STREQ(base + app::kOutputFileSuffixOffset, "/\xCF\xB8\xBD\xDA.jpg");
  EXPECT_EQ(app::kOutputFileSuffixOffset + std::strlen(base + app::kOutputFileSuffixOffset) + 1,
            app::kConstantBlockSize);
}

TEST(ToolProgram, LibrariesKeepTheirNumbersAndAreAttachedAtStart) {
  const runtime::ProgramHeader& header = app::ProgramHeader();
  ASSERT_EQ(header.libraryCount, 3);
  EXPECT_EQ(header.libraries[0]->unitTypeCount, 51);
  EXPECT_NE(runtime::LookupUnitType(header, 0x00020001), nullptr);  // the drop object's slot
  EXPECT_EQ(runtime::LookupUnitType(header, 0x00030001), nullptr);  // conversion has no units
  EXPECT_EQ(header.libraries[2]->commands[0], &imageconv::ConvertImage);

  runtime::ResetApplication();
  runtime::SetProgramHeader(&header);
  runtime::InitialiseRuntime();
  EXPECT_EQ(imageconv::RuntimeNotifyEntry(), &runtime::NotifyRuntime);
  // The program's constants are now recognised: freeing one is harmless.
  runtime::Free(const_cast<uint8_t*>(app::kConstantBlock + app::kTemporaryFileSuffixOffset));
  runtime::ShutdownRuntime(0);
  runtime::ResetApplication();
}

}  // namespace

// formgen against damaged photographs: the build must stop with a clear
// message, and leave no form data behind, for a photograph whose frame header
// reads but whose scans do not decode whole.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Offset of the first start-of-scan marker.
size_t FirstScan(const Bytes& jpeg) {
  for (size_t i = 2; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) return i;
  return jpeg.size();
}

TEST(Formgen, RefusesAPhotographThatDoesNotDecodeWhole) {
  const Bytes photograph = ReadAll(TESSELLON_BACKGROUND_PHOTOGRAPH);
  ASSERT_GT(photograph.size(), 10000u);
  struct Case {
    const char* what;
    std::function<Bytes(Bytes)> spoil;
    bool builds;
  };
  const Case cases[] = {
      {"the photograph as it is", [](Bytes b) { return b; }, true},
      {"cut in the middle of its scans", [](Bytes b) { return Bytes(b.begin(), b.begin() + b.size() / 2); }, false},
      {"cut right after its headers, before any scan",
       [](Bytes b) { return Bytes(b.begin(), b.begin() + static_cast<ptrdiff_t>(FirstScan(b))); }, false},
      {"a stretch of its scan data overwritten",
       [](Bytes b) {
         for (size_t i = b.size() / 3; i < b.size() / 3 + 512; ++i) b[i] = 0x5A;
         return b;
       },
       false},
      {"its end marker lost", [](Bytes b) { return Bytes(b.begin(), b.end() - 2); }, false},
  };
  const fs::path dir = fs::path(testing::TempDir()) / "formgen_test";
  fs::create_directories(dir);
  for (const Case& c : cases) {
    const fs::path input = dir / "photograph.jpg", output = dir / "form_data.bin", messages = dir / "stderr.txt";
    fs::remove(output);
    {
      const Bytes bytes = c.spoil(photograph);
      std::ofstream(input, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    const std::string command = std::string("'") + TESSELLON_FORMGEN + "' '" + input.string() + "' '" +
                                output.string() + "' 2>'" + messages.string() + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << c.what;
    const Bytes said = ReadAll(messages);
    const std::string text(said.begin(), said.end());
    if (c.builds) {
      EXPECT_EQ(WEXITSTATUS(status), 0) << c.what << ": " << text;
      EXPECT_TRUE(fs::exists(output)) << c.what;
    } else {
      EXPECT_NE(WEXITSTATUS(status), 0) << c.what;
      EXPECT_NE(text.find("does not decode whole"), std::string::npos) << c.what << ": " << text;
      EXPECT_FALSE(fs::exists(output)) << c.what;
    }
  }
  fs::remove_all(dir);
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "runtime/picture/formats/picture_decode.h"
#include "test_support.h"

namespace picture_test {
namespace {

namespace fs = std::filesystem;

// The block's size agrees with the kind's layout, and touching every byte
// shows up uninitialised or out-of-bounds memory under the sanitizers.
void ExpectConsistent(const Picture& p, const std::string& what) {
  ASSERT_GT(p.width, 0) << what;
  ASSERT_GT(p.height, 0) << what;
  const int64_t w = p.width, h = p.height;
  int64_t expected = 0;
  switch (p.kind) {
    case 1:
    case 2: expected = w * h * 3; break;
    case 5: expected = 1064 + (w + 3) / 4 * 4 * h; break;
    case 6: expected = 1064 + (w + 3) / 4 * 4 * h; break;
    case 7: expected = ((w + 7) / 8 + 1) / 2 * 2 * h; break;
    case 8: expected = w * h * 4; break;
    default: return;
  }
  ASSERT_EQ(p.pixelByteCount, expected) << what;
  unsigned sum = 0;
  for (int32_t i = 0; i < p.pixelByteCount; ++i) sum += p.pixels[i];
  EXPECT_GE(sum, 0u);
}

TEST(Malformed, EveryKeptBadFileGivesNoPicture) {
  const fs::path folder = fs::path(TESSELLON_TEST_DATA) / "malformed";
  size_t count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (!entry.is_regular_file() || entry.path().filename() == "README") continue;
    ++count;
    EXPECT_FALSE(Decode(ReadFile(entry.path()))) << entry.path().filename();
  }
  EXPECT_GT(count, 0u);
}

TEST(Malformed, FilesCutAtEveryByteDecodeSafely) {
  for (const char* name : {"pil_8.bmp", "im_4.bmp", "pil_1.bmp", "pil_interlaced.gif", "anim.gif", "pil_8.pcx",
                           "im_1.pcx", "pil_rgba.png", "cj.jpg", "cj_prog.jpg", "im_cmyk.jpg"}) {
    const Bytes file = Sample(name);
    for (size_t length = 0; length < file.size(); ++length) {
      const Bytes cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(length));
      const auto p = Decode(cut);
      if (!p) continue;
      ExpectConsistent(*p, std::string(name) + " cut at " + std::to_string(length));
      // Only JPEG shows a picture from part of its data. The rest need all
      // their pixels: a GIF may lack its trailer, a PNG its end chunk, and
      // an 8-bit PCX cut right after its pixels has no palette (all black).
      const bool allPixels =
          p->kind == 5 || (p->kind == 8 && length >= file.size() - 12) ||
          (p->kind == 6 && std::all_of(p->pixels + 40, p->pixels + 1064, [](uint8_t b) { return b == 0; }));
      if (p->kind != 1 && !allPixels) ADD_FAILURE() << name << " cut at " << length << " still decodes";
    }
  }
}

}  // namespace
}  // namespace picture_test

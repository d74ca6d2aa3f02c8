// The image conversion library's command and its notification entry.
#pragma once

#include <cstdint>

#include "runtime/core/notify.h"
#include "runtime/core/value.h"
#include "runtime/imageconv/image_buffer.h"

namespace runtime::imageconv::conversion {

// Results of ConvertImage and LoadImageFile.
inline constexpr int32_t kConverted = 1;
inline constexpr int32_t kSourceMissing = -1;
inline constexpr int32_t kSourceUnreadable = -3;
inline constexpr int32_t kWriteFailed = -4;
inline constexpr int32_t kBadArgument = -7;

// Arguments: source path (text), destination path (text), grayscale (exactly
// 1 means one grey component), quality 1..100, optimise Huffman tables,
// smoothing 0..100. Writes a JPEG whatever the destination's name says, and
// answers with one of the results above in the result record.
void ConvertImage(runtime::ArgRecord* result, int32_t count, runtime::ArgRecord* args);

// Reads `path` with the first reader that accepts its header: JPEG, BMP,
// TIFF, PNG, PCX, Photo CD. kConverted, kSourceMissing or kSourceUnreadable.
int32_t LoadImageFile(const char* path, ImageBuffer& image);

// The library's notification entry: code 1 hands it the runtime's entry.
intptr_t ImageConvNotify(int32_t code, intptr_t arg1, intptr_t arg2);
// The runtime's entry as handed over, or null before that.
runtime::NotifyRoutine RuntimeNotifyEntry();

}  // namespace runtime::imageconv::conversion

// Writing a PNG file with libpng. Kept apart from the shell that uses it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace platform {

// Rows of 8-bit red, green, blue, top-down. False with the reason in
// `error` when the file could not be written completely; libpng then
// removes what it had written.
bool WriteRgbPng(const std::string& path, int32_t width, int32_t height, std::span<const uint8_t> rgb,
                 std::string* error);

}  // namespace platform

// The form data the program embeds: built at build time by formgen from
// form_description.h and assets/background.jpg.
#pragma once

#include <cstdint>
#include <span>

namespace formdata {

// The whole form data; lives for the whole process.
std::span<const uint8_t> Bytes();

}  // namespace formdata

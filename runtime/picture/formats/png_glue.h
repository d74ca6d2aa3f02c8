// The libpng simplified reading calls. That API catches libpng's errors itself
// (it reports them as a zero result), so no long jump reaches our frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace runtime::picture::formats {

struct PngSession;  // libpng state; opaque outside the glue

// Null when libpng rejects the data's header or memory runs out.
PngSession* PngBegin(std::span<const uint8_t> bytes, uint32_t* width, uint32_t* height);
// Fills width * height * 4 bytes of blue, green, red, alpha rows, top-down.
bool PngFinishBgra(PngSession* session, uint8_t* pixels);
// Frees libpng's state in every case.
void PngEnd(PngSession* session);

}  // namespace runtime::picture::formats

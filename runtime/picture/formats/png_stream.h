// Walking a PNG's chunks without libpng: its header, and whether its image
// data inflates to no more than the rows the header declares. libpng reads
// a stream to its end even past the last row, so a file of a megabyte whose
// data inflates to a gigabyte would cost that gigabyte's time; it is refused
// here first, after inflating at most what the rows need.
#pragma once

#include <cstdint>
#include <span>

namespace runtime::picture::formats {

// False for data that is not a PNG with a readable header, or whose image
// data inflates to more than the header's rows (with a little slack for
// encoders that pad the stream).
bool PngInflatesWithinItsRows(std::span<const uint8_t> file);

}  // namespace runtime::picture::formats

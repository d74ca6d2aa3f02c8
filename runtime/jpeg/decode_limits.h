// What both JPEG glues share about decoding: the limits on hostile files.
#pragma once

namespace runtime::jpeg {

// More scans than any sane progressive file has; each scan can cost a full
// pass over the image, so a file with more of them is refused.
inline constexpr int kMaxScans = 500;

}  // namespace runtime::jpeg

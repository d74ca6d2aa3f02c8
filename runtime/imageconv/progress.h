// Row progress that readers and the JPEG writer report to an optional
// observer.
#pragma once

#include <cstdint>

namespace runtime::imageconv {

inline constexpr int32_t kProgressWriting = 0;
inline constexpr int32_t kProgressReading = 1;

// (phase, percent, row, 0): phase 1 while reading, 0 while writing.
using ProgressCallback = void (*)(int32_t phase, int32_t percent, int32_t row, int32_t reserved);

// Reports that `row` of `totalRows` is done: percent = (row + 1) × 100 / total.
inline void ReportProgress(ProgressCallback callback, int32_t phase, int32_t row, int32_t totalRows) {
  if (!callback || totalRows <= 0) return;
  const int64_t percent = (static_cast<int64_t>(row) + 1) * 100 / totalRows;
  callback(phase, static_cast<int32_t>(percent), row, 0);
}

}  // namespace runtime::imageconv

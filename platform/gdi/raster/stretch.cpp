#include "platform/gdi/raster/stretch.h"

#include <algorithm>
#include <system_error>
#include <thread>

namespace platform::gdi {

namespace {

// Source pixels read by one stretch from which a second thread pays off.
constexpr uint64_t kParallelSourcePixels = 2'000'000;

// Target index along an axis, before mirroring is undone.
int64_t Logical(const StretchAxis& a, int32_t coordinate) {
  const int64_t i = int64_t{coordinate} - a.destStart;
  return a.mirror ? a.destLength - 1 - i : i;
}

int32_t NearestSource(const StretchAxis& a, int32_t coordinate) {
  const int64_t i = Logical(a, coordinate);
  // Centre of target pixel i lies at (i + 1/2) * sourceLength / destLength.
  const int64_t j = (2 * i + 1) * a.sourceLength / (2 * int64_t{a.destLength});
  return static_cast<int32_t>(std::clamp<int64_t>(j, 0, a.sourceLength - 1));
}

// Measured in 1 / destLength of a source pixel, target pixel i covers
// [i * sourceLength, (i + 1) * sourceLength) and source pixel j covers
// [j * destLength, (j + 1) * destLength); a weight is their overlap, so the
// weights of one target pixel add up to sourceLength exactly.
struct Weights {
  std::vector<int32_t> first;   // first source index per target pixel
  std::vector<int32_t> count;   // number of source pixels
  std::vector<int32_t> offset;  // into `weight`
  std::vector<uint32_t> weight;
};

Weights AreaWeights(const StretchAxis& a, int32_t start, int32_t length) {
  Weights w;
  w.first.resize(static_cast<size_t>(length));
  w.count.resize(static_cast<size_t>(length));
  w.offset.resize(static_cast<size_t>(length));
  const int64_t sl = a.sourceLength, dl = a.destLength;
  for (int32_t k = 0; k < length; ++k) {
    const int64_t i = Logical(a, start + k);
    const int64_t lo = i * sl, hi = (i + 1) * sl;
    const int64_t j0 = lo / dl, j1 = (hi - 1) / dl;
    w.first[static_cast<size_t>(k)] = static_cast<int32_t>(j0);
    w.count[static_cast<size_t>(k)] = static_cast<int32_t>(j1 - j0 + 1);
    w.offset[static_cast<size_t>(k)] = static_cast<int32_t>(w.weight.size());
    for (int64_t j = j0; j <= j1; ++j)
      w.weight.push_back(static_cast<uint32_t>(std::min(hi, (j + 1) * dl) - std::max(lo, j * dl)));
  }
  return w;
}

// One source row added with its weight into the per-column sums, which lie
// blue, green, red for each column. Cloned for AVX2 where the processor has
// it; the plain build is SSE2 only.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_ADDRESS__)
__attribute__((target_clones("avx2", "default")))
#endif
void AccumulateRow(const uint32_t* __restrict src, size_t n, uint32_t weight, uint32_t* __restrict sums) {
  for (size_t x = 0; x < n; ++x, sums += 3) {
    const uint32_t p = src[x];
    sums[0] += weight * (p & 0xFFu);
    sums[1] += weight * (p >> 8 & 0xFFu);
    sums[2] += weight * (p >> 16 & 0xFFu);
  }
}

// Three-byte pixels lie as the sums do: one flat loop over the row's bytes,
// which the compiler widens and vectorises whole.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_ADDRESS__)
__attribute__((target_clones("avx2", "default")))
#endif
void AccumulateBgrRow(const uint8_t* __restrict src, size_t n, uint32_t weight, uint32_t* __restrict sums) {
  for (size_t i = 0; i < 3 * n; ++i) sums[i] += weight * src[i];
}

// Area average over rows that `addRow(row, firstColumn, columns, weight,
// sums)` adds into per-column blue, green, red sums; `parallel` when addRow may run on two
// threads at once.
template <typename AddRow>
void AreaAverage(const StretchAxis& ax, const StretchAxis& ay, int32_t x0, int32_t y0, int32_t width, int32_t height,
                 bool parallel, const AddRow& addRow, StretchedPixels& out);

}  // namespace

void StretchNearest(const StretchAxis& ax, const StretchAxis& ay, int32_t x0, int32_t y0, int32_t width, int32_t height,
                    const SourceRowFn& sourceRow, StretchedPixels& out) {
  out.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  std::vector<int32_t> columns(static_cast<size_t>(width));
  for (int32_t k = 0; k < width; ++k) columns[static_cast<size_t>(k)] = NearestSource(ax, x0 + k);
  int32_t lastRow = -1;
  const uint32_t* row = nullptr;
  for (int32_t r = 0; r < height; ++r) {
    const int32_t j = NearestSource(ay, y0 + r);
    if (j != lastRow) {
      row = sourceRow(j);
      lastRow = j;
    }
    uint32_t* o = out.data() + static_cast<size_t>(r) * width;
    for (int32_t k = 0; k < width; ++k) o[k] = row[columns[static_cast<size_t>(k)]];
  }
}

void StretchAreaAverage(const StretchAxis& ax, const StretchAxis& ay, int32_t x0, int32_t y0, int32_t width,
                        int32_t height, const SourceRowFn& sourceRow, StretchedPixels& out) {
  AreaAverage(
      ax, ay, x0, y0, width, height, false,
      [&](int32_t row, int32_t first, size_t n, uint32_t weight, uint32_t* sums) {
        AccumulateRow(sourceRow(row) + first, n, weight, sums);
      },
      out);
}

void StretchAreaAverageBgr(const StretchAxis& ax, const StretchAxis& ay, int32_t x0, int32_t y0, int32_t width,
                           int32_t height, const SourceBgrRowFn& sourceRow, StretchedPixels& out) {
  AreaAverage(
      ax, ay, x0, y0, width, height, true,
      [&](int32_t row, int32_t first, size_t n, uint32_t weight, uint32_t* sums) {
        AccumulateBgrRow(sourceRow(row) + size_t{3} * static_cast<size_t>(first), n, weight, sums);
      },
      out);
}

namespace {

template <typename AddRow>
void AreaAverage(const StretchAxis& ax, const StretchAxis& ay, int32_t x0, int32_t y0, int32_t width, int32_t height,
                 bool parallel, const AddRow& addRow, StretchedPixels& out) {
  out.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  const Weights wx = AreaWeights(ax, x0, width);
  const Weights wy = AreaWeights(ay, y0, height);

  // Source columns the visible target columns read.
  int32_t lo = INT32_MAX, hi = 0;
  for (int32_t k = 0; k < width; ++k) {
    lo = std::min(lo, wx.first[static_cast<size_t>(k)]);
    hi = std::max(hi, wx.first[static_cast<size_t>(k)] + wx.count[static_cast<size_t>(k)]);
  }
  const size_t span = static_cast<size_t>(hi - lo);

  // Vertical first: the rows under one target row are summed per source
  // column (a plain loop the compiler vectorises; each sum is at most
  // sourceLength * 255 < 2^32), then the few columns under each target
  // pixel are combined.
  const uint64_t total = uint64_t(ax.sourceLength) * uint64_t(ay.sourceLength);
  const uint64_t half = total / 2;
  const uint64_t fullX = static_cast<uint64_t>(ax.destLength);
  const double inverse = 1.0 / static_cast<double>(total);
  // Rounded quotient: a floating-point estimate, corrected to the exact
  // integer (a division per channel would dominate the whole stretch).
  auto divide = [&](uint64_t sum) {
    const uint64_t n = sum + half;
    // The estimate is within one of the quotient: n < 2^57 keeps the
    // double's error far below 1.
    uint64_t q = static_cast<uint64_t>(static_cast<double>(n) * inverse);
    if (q > 0 && q * total > n) --q;
    if ((q + 1) * total <= n) ++q;
    return static_cast<uint32_t>(std::min<uint64_t>(q, 255));
  };

  // Each half has its own row of blue, green, red sums, made here: the second thread
  // allocates nothing.
  std::vector<uint32_t, UnsetAllocator<uint32_t>> halves(6 * span);  // cleared for every row
  auto targetRows = [&](int32_t begin, int32_t end, uint32_t* sums) {
    for (int32_t r = begin; r < end; ++r) {
      std::fill(sums, sums + 3 * span, 0u);
      const uint32_t* w = wy.weight.data() + wy.offset[static_cast<size_t>(r)];
      for (int32_t t = 0, m = wy.count[static_cast<size_t>(r)]; t < m; ++t) {
        addRow(wy.first[static_cast<size_t>(r)] + t, lo, span, w[t], sums);
      }
      uint32_t* o = out.data() + static_cast<size_t>(r) * width;
      for (int32_t k = 0; k < width; ++k) {
        const uint32_t* column = sums + 3 * static_cast<size_t>(wx.first[static_cast<size_t>(k)] - lo);
        const uint32_t* wk = wx.weight.data() + wx.offset[static_cast<size_t>(k)];
        const size_t m = static_cast<size_t>(wx.count[static_cast<size_t>(k)]);
        // Source columns strictly inside the target pixel all weigh the full
        // destLength: add them first and multiply once.
        uint64_t b = 0, g = 0, rr = 0;
        for (size_t t = 1; t + 1 < m; ++t) {
          b += column[3 * t];
          g += column[3 * t + 1];
          rr += column[3 * t + 2];
        }
        b *= fullX;
        g *= fullX;
        rr *= fullX;
        b += uint64_t{wk[0]} * column[0];
        g += uint64_t{wk[0]} * column[1];
        rr += uint64_t{wk[0]} * column[2];
        if (m > 1) {
          const uint32_t* lastColumn = column + 3 * (m - 1);
          b += uint64_t{wk[m - 1]} * lastColumn[0];
          g += uint64_t{wk[m - 1]} * lastColumn[1];
          rr += uint64_t{wk[m - 1]} * lastColumn[2];
        }
        o[k] = divide(b) | divide(g) << 8 | divide(rr) << 16;
      }
    }
  };

  // Target rows are independent: with a source big enough to pay for a
  // thread, and rows that may be read from two threads, the lower half is
  // averaged beside the upper one. Results do not depend on the split.
  const uint64_t sourcePixels = uint64_t{span} * static_cast<uint64_t>(ay.sourceLength);
  if (parallel && height >= 2 && sourcePixels >= kParallelSourcePixels) {
    const int32_t middle = height / 2;
    std::thread lower;
    try {
      lower = std::thread(targetRows, middle, height, halves.data() + 3 * span);
    } catch (const std::system_error&) {
      targetRows(0, height, halves.data());  // no thread to be had: all rows here
      return;
    }
    targetRows(0, middle, halves.data());
    lower.join();
    return;
  }
  targetRows(0, height, halves.data());
}

}  // namespace

}  // namespace platform::gdi

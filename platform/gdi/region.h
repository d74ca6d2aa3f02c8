// A region as a list of disjoint rectangles in y-x bands: rows of equal
// height, each row's rectangles sorted left to right and never touching.
// Value type; the handle-table object wraps one.
#pragma once

#include <vector>

#include "platform/base/types.h"

namespace platform::gdi {

class Region {
 public:
  Region() = default;
  explicit Region(const RECT& r);
  static Region FromRects(const std::vector<RECT>& rects);  // union of arbitrary rects

  enum class Op { And, Or, Xor, Diff };
  static Region Combine(const Region& a, const Region& b, Op op);

  bool Empty() const { return rects_.empty(); }
  const std::vector<RECT>& Rects() const { return rects_; }
  RECT Bounds() const;  // all zero when empty
  bool Contains(LONG x, LONG y) const;
  void Offset(LONG dx, LONG dy);
  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int Complexity() const;
  bool operator==(const Region& other) const;

 private:
  std::vector<RECT> rects_;
};

}  // namespace platform::gdi

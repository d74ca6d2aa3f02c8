#include "platform/gdi/region.h"

#include <algorithm>
#include <cstdint>

#include "platform/gdi/gdi_types.h"

namespace platform::gdi {

namespace {

struct Span {
  LONG left;
  LONG right;
  bool operator==(const Span&) const = default;
};

// The x-spans of `rects` (banded) that cover the whole band [top, bottom).
std::vector<Span> SpansInBand(const std::vector<RECT>& rects, LONG top, LONG bottom) {
  std::vector<Span> spans;
  for (const RECT& r : rects)
    if (r.top <= top && r.bottom >= bottom) spans.push_back({r.left, r.right});
  return spans;
}

bool Keep(bool inA, bool inB, Region::Op op) {
  switch (op) {
    case Region::Op::And: return inA && inB;
    case Region::Op::Or: return inA || inB;
    case Region::Op::Xor: return inA != inB;
    case Region::Op::Diff: return inA && !inB;
  }
  return false;
}

std::vector<Span> CombineSpans(const std::vector<Span>& a, const std::vector<Span>& b, Region::Op op) {
  std::vector<LONG> edges;
  for (const Span& s : a) edges.insert(edges.end(), {s.left, s.right});
  for (const Span& s : b) edges.insert(edges.end(), {s.left, s.right});
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  auto covers = [](const std::vector<Span>& spans, LONG x) {
    for (const Span& s : spans)
      if (s.left <= x && x < s.right) return true;
    return false;
  };
  std::vector<Span> out;
  for (size_t i = 0; i + 1 < edges.size(); ++i) {
    const LONG x0 = edges[i], x1 = edges[i + 1];
    if (!Keep(covers(a, x0), covers(b, x0), op)) continue;
    if (!out.empty() && out.back().right == x0)
      out.back().right = x1;
    else
      out.push_back({x0, x1});
  }
  return out;
}

// Builds banded rectangles from per-band spans, merging a band into the one
// above when both have the same spans and touch.
struct BandBuilder {
  std::vector<RECT> rects;
  std::vector<Span> lastSpans;
  LONG lastTop = 0;
  LONG lastBottom = 0;
  size_t lastStart = 0;

  void Add(LONG top, LONG bottom, const std::vector<Span>& spans) {
    if (spans.empty()) return;
    if (!rects.empty() && lastBottom == top && spans == lastSpans) {
      for (size_t i = lastStart; i < rects.size(); ++i) rects[i].bottom = bottom;
      lastBottom = bottom;
      return;
    }
    lastStart = rects.size();
    for (const Span& s : spans) rects.push_back(RECT{s.left, top, s.right, bottom});
    lastSpans = spans;
    lastTop = top;
    lastBottom = bottom;
  }
};

}  // namespace

Region::Region(const RECT& r) {
  if (!r.IsEmpty()) rects_.push_back(r);
}

Region Region::Combine(const Region& a, const Region& b, Op op) {
  std::vector<LONG> ys;
  for (const RECT& r : a.rects_) ys.insert(ys.end(), {r.top, r.bottom});
  for (const RECT& r : b.rects_) ys.insert(ys.end(), {r.top, r.bottom});
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  BandBuilder builder;
  for (size_t i = 0; i + 1 < ys.size(); ++i) {
    const LONG top = ys[i], bottom = ys[i + 1];
    builder.Add(top, bottom, CombineSpans(SpansInBand(a.rects_, top, bottom), SpansInBand(b.rects_, top, bottom), op));
  }
  Region result;
  result.rects_ = std::move(builder.rects);
  return result;
}

Region Region::FromRects(const std::vector<RECT>& rects) {
  Region result;
  for (const RECT& r : rects) result = Combine(result, Region(r), Op::Or);
  return result;
}

RECT Region::Bounds() const {
  if (rects_.empty()) return RECT{};
  RECT b = rects_.front();
  for (const RECT& r : rects_) {
    b.left = std::min(b.left, r.left);
    b.top = std::min(b.top, r.top);
    b.right = std::max(b.right, r.right);
    b.bottom = std::max(b.bottom, r.bottom);
  }
  return b;
}

bool Region::Contains(LONG x, LONG y) const {
  for (const RECT& r : rects_)
    if (r.Contains(x, y)) return true;
  return false;
}

void Region::Offset(LONG dx, LONG dy) {
  // Coordinates saturate instead of wrapping, so a huge offset cannot turn
  // a region inside out.
  auto move = [](LONG v, LONG d) {
    const int64_t moved = static_cast<int64_t>(v) + d;
    return static_cast<LONG>(std::clamp<int64_t>(moved, INT32_MIN, INT32_MAX));
  };
  std::vector<RECT> moved;
  for (const RECT& r : rects_) {
    RECT m{move(r.left, dx), move(r.top, dy), move(r.right, dx), move(r.bottom, dy)};
    if (!m.IsEmpty()) moved.push_back(m);
  }
  rects_ = std::move(moved);
}

int Region::Complexity() const {
  if (rects_.empty()) return NULLREGION;
  return rects_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool Region::operator==(const Region& other) const {
  if (rects_.size() != other.rects_.size()) return false;
  for (size_t i = 0; i < rects_.size(); ++i) {
    const RECT& p = rects_[i];
    const RECT& q = other.rects_[i];
    if (p.left != q.left || p.top != q.top || p.right != q.right || p.bottom != q.bottom) return false;
  }
  return true;
}

}  // namespace platform::gdi

// A rectangle of single-precision floats whose y grows upwards, like the
// stored rows of an image.
#pragma once

#include <algorithm>

struct CRectF {
  float left = 0;
  float bottom = 0;
  float right = 0;
  float top = 0;

  CRectF() = default;
  CRectF(float l, float b, float r, float t) : left(l), bottom(b), right(r), top(t) {}

  float Width() const { return right - left; }
  float Height() const { return top - bottom; }
  float Area() const { return Height() * Width(); }

  // All zeros when the two do not meet; a meeting of zero width or height is kept.
  CRectF Intersect(const CRectF& o) const {
    CRectF r(std::max(left, o.left), std::max(bottom, o.bottom), std::min(right, o.right),
             std::min(top, o.top));
    if (r.right < r.left || r.top < r.bottom) return CRectF();
    return r;
  }
};

#pragma once

namespace tarn {

// A line through a curve of `count` points (x, y pairs, x rising) drawn over columns of
// `columnWidth` pixels: writes to `out` only the points where the curve enters each column, turns
// at its lowest and highest there, and leaves it, in their order, and answers how many. The points
// left out lie between the ones kept in both x and y, so the line covers the same pixels, within
// a column, with half the segments or fewer when several points share a column. `out` holds
// `count` pairs and may be `xy`.
int thinCurve(const float* xy, int count, float* out, float columnWidth = 1.f);

// The same line with fewer segments where the curve runs straight: keeps the first and last
// points and, from each kept point, goes on to the farthest point such that every point passed
// lies within `tolerance` of the segment vertically. Answers how many points it wrote to `out`,
// which may be `xy` itself.
int straightenCurve(const float* xy, int count, float tolerance, float* out);

} // namespace tarn

// src/graphics/geometry.h — the small plane and space geometry every layer
// shares: the direction angle of a vector, unit vectors and normals, where
// two lines meet, a rotation's rows and columns, the mirror image in a
// plane.
//
// Each function keeps the order of its operations: the pictures and files
// the program writes depend on the last bit of these numbers.
#pragma once

#include <cmath>
#include <numbers>

namespace gfx {

// The direction of (x, y) in radians from +x towards +y, in [0, 2π]; a
// vector along the y axis (or none) points up (π/2) when y > 0, else down
// (3π/2).
inline double VectorAngle(double x, double y) {
  constexpr double pi = std::numbers::pi;
  if (x == 0) return y > 0 ? pi / 2 : 1.5 * pi;
  double a = std::atan(y / x);
  if (x > 0 && y < 0) a += 2 * pi;
  if (x < 0) a += pi;
  return a;
}

// Scales v to unit length and returns its length before; a vector whose
// length is not above zero is left as it is.
inline double Normalise(double v[3]) {
  const double len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (len > 0)
    for (int k = 0; k < 3; ++k) v[k] /= len;
  return len;
}

// The left unit normal (−dy, dx) / |d| of the direction (dx, dy); false,
// with n untouched, when |d| is not above minLength.
// Both quotients come from one division of a pair: each lane is the same
// correctly rounded quotient, at half the divider's time.
inline bool LeftNormal(double dx, double dy, double& nx, double& ny, double minLength = 0) {
  using Pair = double __attribute__((vector_size(16)));
  const double len = std::sqrt(dx * dx + dy * dy);
  if (!(len > minLength)) return false;
  const Pair n = Pair{-dy, dx} / len;
  nx = n[0];
  ny = n[1];
  return true;
}

// Where the line through p with direction u meets the line through q with
// direction w, as p + t·u; false when |u × w| is not above minCross (the
// lines are parallel or nearly so).
inline bool MeetLines(double px, double py, double ux, double uy, double qx, double qy,
                      double wx, double wy, double minCross, double& x, double& y) {
  const double det = ux * wy - uy * wx;
  if (std::fabs(det) <= minCross) return false;
  const double t = ((qx - px) * wy - (qy - py) * wx) / det;
  x = px + t * ux;
  y = py + t * uy;
  return true;
}

// The unit normal of the triangle p1 p2 p3, (p2 − p1) × (p3 − p1) scaled to
// length 1; a degenerate triangle gives 0.
inline void TriangleNormal(const double p1[3], const double p2[3], const double p3[3],
                           double n[3]) {
  const double ax = p2[0] - p1[0], ay = p2[1] - p1[1], az = p2[2] - p1[2];
  const double bx = p3[0] - p1[0], by = p3[1] - p1[1], bz = p3[2] - p1[2];
  n[0] = ay * bz - az * by;
  n[1] = az * bx - ax * bz;
  n[2] = ax * by - ay * bx;
  Normalise(n);
}

// Rotations are kept as rows 1..3 of a 4 × 4 array (index 0 unused), each
// row a unit axis: a row times a point gives the point's coordinate along
// that axis, and the columns take such coordinates back.
using Axes = double[4][4];
inline double AlongRow(const Axes& m, int i, double x, double y, double z) {
  return m[i][1] * x + m[i][2] * y + m[i][3] * z;
}
inline double AlongColumn(const Axes& m, int j, double a, double b, double c) {
  return a * m[1][j] + b * m[2][j] + c * m[3][j];
}

// The mirror image of a point in the plane n·p = d (n a unit normal).
inline void ReflectPoint(double nx, double ny, double nz, double d, float& x, float& y,
                         float& z) {
  const double k = 2.0 * (nx * x + ny * y + nz * z - d);
  x = static_cast<float>(x - k * nx);
  y = static_cast<float>(y - k * ny);
  z = static_cast<float>(z - k * nz);
}

}  // namespace gfx

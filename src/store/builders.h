// src/store/builders.h — common drawing elements built into the store:
// circular arcs in any plane, dash-dot axis lines, and the hatching of
// closed outlines by parallel lines.
//
// Hatching works on a separate two-dimensional contour list, filled from the
// store's polylines (StoreToContours) or point by point.
#pragma once

namespace store {

// --- Contour list ------------------------------------------------------------------
constexpr int kContourPoints = 2000;
constexpr int kContours = 99;

struct ContourList {
  int ContourPointCount = 0;
  int ContourCount = 0;
  float X[kContourPoints + 1] = {}, Y[kContourPoints + 1] = {};
  // [0] = ContourCount; [j] the first point of contour j; after
  // CloseContours [ContourCount + 1] = ContourPointCount + 1.
  int ContourStart[kContours + 2] = {};
  // A contour was refused for want of room: its points are refused too,
  // so that they never lengthen the contour before it.
  bool Refusing = false;
};
extern ContourList contours;            // the one contour list

void ClearContours();
// Starts a new contour; false (and the points that follow are refused) when
// all 99 are in use.
bool NewContour();
// Appends to the current contour; false when there is none or all 2000
// points are in use.
bool AddContourPoint(float x, float y);
void CloseContours();

// One contour per store polyline, one-point contour per single point
// (whatever its kind); other objects are skipped. Ends with CloseContours.
void StoreToContours();

// The hatch lines of all contours at the given step (0: one line) and angle
// in degrees, added to the store as one segment-pairs object; ends with
// CloseStore.
//
// The work of hatching is bounded, per call and for a whole picture: lines
// denser than any output can show (more than kMaxHatchLevels across one
// outline, more than kMaxHatchSegments in one call, or more than the
// picture's budget left) are thinned by widening the step evenly, and the
// picture's budget says so (Thinned). A wall a thousand times too thick
// then costs milliseconds and kilobytes, not minutes and gigabytes.
void HatchContours(float step, float angleDeg);
// Replaces the store's content by the hatching of its polylines.
void HatchStore(float step, float angleDeg);

constexpr int kMaxHatchLevels = 2000;          // lines across one outline
constexpr long long kMaxHatchSegments = 25000;  // segments of one call
// The budget of one picture, over all its hatchings: segments drawn and
// segment-line tests made.
constexpr long long kPictureHatchSegments = 100000;
constexpr long long kPictureHatchTests = 20000000;

struct HatchBudget {
  long long SegmentsLeft = kPictureHatchSegments;
  long long TestsLeft = kPictureHatchTests;
  bool Thinned = false;  // some hatching of this picture was thinned
};
extern HatchBudget hatchBudget;  // of the picture being drawn

// A new picture begins: the whole budget, nothing thinned yet.
void BeginPictureHatching();

// --- Arcs ----------------------------------------------------------------------------
// Centre m, unit vectors e1 and e2 spanning the arc's plane, radius r, angles
// a1 to a2 in radians, q the world size of one screen pixel, requested point
// count pointCount (below 2: chosen from the arc's length in pixels).
constexpr int kMaxArcChords = 300;

int ArcChordCount(float r, float a1, float a2, float q, int pointCount);
// The inner points of the arc (not its ends) appended to the current object.
void ArcInnerPoints(const float m[3], const float e1[3], const float e2[3], float r, float a1,
                    float a2, float q, int pointCount);

// --- Axis lines ------------------------------------------------------------------------
// A dash-dot line from p1 to p2 extended by extendBefore and extendAfter:
// n short dashes of length 2 in the middles of n equal steps, gaps of 2 on
// either side, long dashes between. Ends with CloseStore.
void AddAxisLine(const float p1[3], const float p2[3], float extendBefore, float extendAfter);
void NewAxisLine(const float p1[3], const float p2[3], float extendBefore, float extendAfter);

}  // namespace store

// src/view/view.h — the three-dimensional view: world coordinates (three
// floats, millimetres in this program) to pixels of the picture area by an
// orthographic projection: a rotation into view axes (U right, V up, W
// towards the viewer), then a scale and a shift.
//
// This header holds the view state and the projections; the view control
// (keys, viewports, saved views, redraw) is declared with them.
#pragma once

#include <cstdint>

namespace view {

// A saved view: scales, centres and the matrix narrowed to floats.
struct SavedState {
  float ScaleU = 1, ScaleV = 1;
  float CentreU = 0, CentreV = 0;
  float Matrix[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};

struct ViewState {
  // Rows 1..3 (index 0 unused): U screen-right, V screen-up, W towards the
  // viewer, each a unit vector in world coordinates.
  double ViewMatrix[4][4] = {{0, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  float ViewScaleU = 1, ViewScaleV = 1, ViewScaleW = 1;   // world units per pixel
  float ViewCentreU = 0, ViewCentreV = 0, ViewCentreW = 0;
  std::int32_t ScreenCentreX = 0, ScreenCentreY = 0, ScreenCentreZ = 0;
  float PixelAspect = 1.0f;

  std::int32_t ViewportLeft = 0, ViewportTop = 0, ViewportWidth = 1, ViewportHeight = 1;
  std::int32_t BorderWidth = 1;
  std::int32_t PanelWidth = 0;
  std::int32_t ViewLayout = 1;

  SavedState ViewSlot[8];   // 1..7
  SavedState SavedView[10]; // 1..9

  std::int32_t RotateMode = 1;
  double RotationStepSin = 0.25881904736704425, RotationStepCos = 0.965925825682291;
  std::int32_t PanStepX = 0, PanStepY = 0;

  // The working plane: rows 1..3 its X axis, Y axis and normal N.
  double PlaneAxes[4][4] = {{0, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  float PlaneOrigin[3] = {0, 0, 0};
  float PlaneDepth = 0;
  float CursorWorld[3] = {0, 0, 0};

  std::int32_t ShowWorldAxes = 1, ShowPlaneAxes = 1;
};
extern ViewState V;  // the one view of the program

// --- Projections (pure functions of the state) ------------------------------
void WorldToView(float x, float y, float z, float& u, float& v);
void WorldToView(double x, double y, double z, double& u, double& v);
void WorldToViewUVW(float x, float y, float z, float& u, float& v, float& w);
void WorldToViewUVW(double x, double y, double z, double& u, double& v, double& w);
void ViewToWorld(double u, double v, double w, double& x, double& y, double& z);
void WorldToPixel(float x, float y, float z, std::int32_t& ix, std::int32_t& iy);
void WorldToPixelDepth(float x, float y, float z, std::int32_t& ix, std::int32_t& iy, std::int32_t& iz);
void ViewToPixel(float u, float v, std::int32_t& ix, std::int32_t& iy);
void PixelToView(std::int32_t px, std::int32_t py, float& u, float& v);
float ViewWidthWorld();

// Mirror image of a point in the plane n·p = d (n a unit normal).
void ReflectPoint(float nx, float ny, float nz, float d, float& x, float& y, float& z);

}  // namespace view

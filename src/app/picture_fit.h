// src/app/picture_fit.h — "Подобрать масштабы": the picture's scales
// chosen from the shell and its results.
//
// The pieces keep their places (PictureLayout); the fit sizes them: the
// picture scale so that the scheme fills its place without reaching the
// table or the diagram rows, the diagram step so that neighbours never
// meet, each diagram scale so that the diagrams sharing it swing through
// about 40 % of the step, and the displacement scale, which the deformed
// contour follows. The window's aspect bounds the width: the fitted picture
// fills the window at its shape. The values set are ordinary model values.
#pragma once

namespace app {

// A piece of the picture as the rectangle it covers, picture mm.
struct PictureRect {
  float Left = 0, Bottom = 0, Right = 0, Top = 0;
};

// Whether two rectangles come closer than gap (touching counts as meeting).
bool RectsMeet(const PictureRect& a, const PictureRect& b, float gap);

// Fits the picture settings of Shell for a picture area `aspect` times as
// wide as high (solves Shell into Solution). Returns false and changes
// nothing when the results are not all finite numbers.
bool FitPictureScales(float aspect);

// The shape of the current window's picture area (width / height).
float WindowAspect();

}  // namespace app

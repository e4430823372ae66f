// The flush to the output devices and the extent passes of the store.
#include <string>

#include "store_fixture.h"
#include "view/view.h"

namespace {

using namespace store_test;
using store::Store;

std::string flushLog;
void LogScreen() { flushLog += "screen;"; }
void LogDevice(store::Device device) { flushLog += "device " + std::to_string(static_cast<int>(device)) + ";"; }

// A view turned a quarter round z: u = y, v = -x, w = z.
void TurnView() {
  double rows[3][3] = {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) view::V.ViewMatrix[i + 1][j + 1] = rows[i][j];
  view::UpdateViewCoefficients();
}

class FlushTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    flushLog.clear();
    store::Slots.ScreenFlush = LogScreen;
    store::Slots.ExchangeFlush = LogDevice;
    store::Slots.ProjectOnViewPlane = [](float x, float y, float z, float& u, float& v) {
      view::WorldToView(x, y, z, u, v);
    };
  }
};

// --- Dispatch ----------------------------------------------------------------------------

TEST_F(FlushTest, TheScreenGetsDeviceZero) {
  store::Slots.FlushStore();
  EXPECT_EQ(flushLog, "screen;");
}

TEST_F(FlushTest, ExchangeDevicesEchoOnTheScreenFirst) {
  for (int device : {2, 3, 4, 5, 7}) {
    flushLog.clear();
    store::OutputDevice = static_cast<store::Device>(device);
    store::Slots.FlushStore();
    EXPECT_EQ(flushLog, "screen;device " + std::to_string(device) + ";");
  }
  store::OutputDevice = store::Device::Screen;
}

// --- Extent passes -------------------------------------------------------------------------

store::Device observedDevice = store::Device::Screen;

void TextPiece(float x, float y, float z) {
  store::ClearStore();
  const float bs[3] = {x, y, z}, be[3] = {x + 4, y, z}, ts[3] = {x, y + 2, z};
  store::AddText("T", bs, be, ts, 0);
  store::CloseStore();
  store::Slots.FlushStore();
}

void EmptyPiece() {
  store::ClearStore();
  store::CloseStore();
  store::Slots.FlushStore();
}

void PointPiece(float x1, float y1, float z1, float x2, float y2, float z2) {
  store::ClearStore();
  store::BeginPolyline();
  store::AddPoint(x1, y1, z1);
  store::AddPoint(x2, y2, z2);
  store::CloseStore();
  store::Slots.FlushStore();
}

void EmptyThenTextThenPoints() {
  observedDevice = store::OutputDevice;
  EmptyPiece();
  TextPiece(100, 200, 300);
  PointPiece(90, 250, 310, 101, 201, 299);
}

TEST_F(FlushTest, Extent3DStartsAtTheFirstItemOfTheFirstPieceThatHasOne) {
  store::Slots.RedrawForMeasure = EmptyThenTextThenPoints;
  float x0 = 0, y0 = 0, z0 = 0, x1 = 420, y1 = 300, z1 = 0;
  store::MeasureExtent3D(x0, y0, z0, x1, y1, z1);
  EXPECT_EQ(observedDevice, store::Device::Extent3D);
  EXPECT_EQ(store::OutputDevice, store::Device::Screen);
  EXPECT_EQ(flushLog, "");  // nothing is drawn
  EXPECT_EQ(x0, 90.0f);
  EXPECT_EQ(y0, 200.0f);
  EXPECT_EQ(z0, 299.0f);
  EXPECT_EQ(x1, 104.0f);
  EXPECT_EQ(y1, 250.0f);
  EXPECT_EQ(z1, 310.0f);
}

void PointsOnly() { PointPiece(10, 20, 30, 11, 21, 31); }

TEST_F(FlushTest, Extent3DStartsAtPointOne) {
  store::Slots.RedrawForMeasure = PointsOnly;
  float x0 = 0, y0 = 0, z0 = 0, x1 = 0, y1 = 0, z1 = 0;
  store::MeasureExtent3D(x0, y0, z0, x1, y1, z1);
  EXPECT_EQ(x0, 10.0f);
  EXPECT_EQ(y0, 20.0f);
  EXPECT_EQ(z0, 30.0f);
  EXPECT_EQ(x1, 11.0f);
  EXPECT_EQ(y1, 21.0f);
  EXPECT_EQ(z1, 31.0f);
}

void ImageAndLoosePoints() {
  store::ClearStore();
  store::AddImage("PIC", 50, 60, 1, 0);
  store::AddPoint(-5, -5, -5);  // no object holds it
  store::CloseStore();
  store::Slots.FlushStore();
}

TEST_F(FlushTest, Extent3DIgnoresImagesAndPointsOutsideObjects) {
  store::Slots.RedrawForMeasure = ImageAndLoosePoints;
  float x0 = 0, y0 = 0, z0 = 0, x1 = 420, y1 = 300, z1 = 0;
  store::MeasureExtent3D(x0, y0, z0, x1, y1, z1);
  EXPECT_EQ(x0, 0.0f);
  EXPECT_EQ(x1, 420.0f);
  EXPECT_EQ(y1, 300.0f);
}

TEST_F(FlushTest, ARedrawThatFlushesNothingLeavesThePresetExtent) {
  float u0 = 0, v0 = 0, u1 = 420, v1 = 300;
  store::MeasureExtent2D(u0, v0, u1, v1);
  EXPECT_EQ(u0, 0.0f);
  EXPECT_EQ(v0, 0.0f);
  EXPECT_EQ(u1, 420.0f);
  EXPECT_EQ(v1, 300.0f);
}

bool TenByTwenty(const char* name, int& width, int& height) {
  if (std::string(name) != "PIC") return false;
  width = 10;
  height = 20;
  return true;
}

void ImageThenPoints() {
  observedDevice = store::OutputDevice;
  store::ClearStore();
  store::AddImage("PIC", 3, 4, 0.5f, 0);  // box (3, 4) to (8, 14)
  store::CloseStore();
  store::Slots.FlushStore();
  PointPiece(1, 2, 5, 1, 2, 5);
}

TEST_F(FlushTest, Extent2DProjectsOntoTheViewPlaneAndStartsAtImageOne) {
  TurnView();
  store::Slots.ReadImageSize = TenByTwenty;
  store::Slots.RedrawForMeasure = ImageThenPoints;
  float u0 = 0, v0 = 0, u1 = 0, v1 = 0;
  store::MeasureExtent2D(u0, v0, u1, v1);
  EXPECT_EQ(observedDevice, store::Device::Extent2D);
  EXPECT_EQ(store::OutputDevice, store::Device::Screen);
  // u = y, v = -x.
  EXPECT_EQ(u0, 2.0f);
  EXPECT_EQ(v0, -8.0f);
  EXPECT_EQ(u1, 14.0f);
  EXPECT_EQ(v1, -1.0f);
}

void TextOnly() { TextPiece(10, 20, 0); }

TEST_F(FlushTest, Extent2DTakesAllFourTextCorners) {
  TurnView();
  store::Slots.RedrawForMeasure = TextOnly;
  float u0 = 0, v0 = 0, u1 = 0, v1 = 0;
  store::MeasureExtent2D(u0, v0, u1, v1);
  // Corners (10, 20), (14, 20), (10, 22), (14, 22).
  EXPECT_EQ(u0, 20.0f);
  EXPECT_EQ(u1, 22.0f);
  EXPECT_EQ(v0, -14.0f);
  EXPECT_EQ(v1, -10.0f);
}

}  // namespace

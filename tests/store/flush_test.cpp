// The flush to the output devices and the extent passes of the store.
#include <array>
#include <string>

#include "store_fixture.h"
#include "view/view.h"

namespace {

using namespace store_test;
using store::Store;

std::string flushLog;
void LogScreen() { flushLog += "screen;"; }
void LogDevice(store::Device device) { flushLog += "device " + std::to_string(static_cast<int>(device)) + ";"; }

// The view turned a quarter round z (u = y, v = -x, w = z) or plain.
void SetView(bool turned) {
  const double rows[3][3] = {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) view::V.ViewMatrix[i + 1][j + 1] = turned ? rows[i][j] : i == j;
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

// The screen gets device 0; exchange devices echo on the screen first.
TEST_F(FlushTest, EachDeviceGetsTheFlush) {
  for (int device : {0, 2, 3, 4, 5, 7}) {
    flushLog.clear();
    store::OutputDevice = static_cast<store::Device>(device);
    store::Slots.FlushStore();
    EXPECT_EQ(flushLog, device == 0 ? "screen;" : "screen;device " + std::to_string(device) + ";");
  }
  store::OutputDevice = store::Device::Screen;
}

// --- Extent passes -------------------------------------------------------------------------

int observedDevice = 0;
void Observe() { observedDevice = static_cast<int>(store::OutputDevice); }

// A piece built, closed and flushed.
void Flush(void (*build)()) {
  store::ClearStore();
  build();
  store::CloseStore();
  store::Slots.FlushStore();
}
void Text(float x, float y, float z) {
  const float bs[3] = {x, y, z}, be[3] = {x + 4, y, z}, ts[3] = {x, y + 2, z};
  store::AddText("T", bs, be, ts, 0);
}
void Polyline(float x1, float y1, float z1, float x2, float y2, float z2) {
  store::BeginPolyline();
  store::AddPoint(x1, y1, z1);
  store::AddPoint(x2, y2, z2);
}

bool TenByTwenty(const char* name, int& width, int& height) {
  if (std::string(name) != "PIC") return false;
  width = 10;
  height = 20;
  return true;
}

// The extent passes draw nothing and report their device to the redraw.
// In 3D the extent starts at the first item of the first piece that has
// one and ignores images and points outside objects; in 2D it is taken on
// the view plane (turned: u = y, v = -x), from image one and all four
// corners of a text. A redraw that flushes nothing leaves the preset.
TEST_F(FlushTest, ExtentsTakeWhatThePiecesHold) {
  struct Row {
    const char* Name;
    void (*Redraw)();
    bool TwoD;
    std::array<float, 6> Want;
    int Device;  // 99: not looked at
  };
  const Row kRows[] = {
      {"3D, first piece with an item",
       [] {
         Observe(), Flush([] {}), Flush([] { Text(100, 200, 300); });
         Flush([] { Polyline(90, 250, 310, 101, 201, 299); });
       },
       false, {90, 200, 299, 104, 250, 310}, -1},
      {"3D, from point one", [] { Flush([] { Polyline(10, 20, 30, 11, 21, 31); }); }, false, {10, 20, 30, 11, 21, 31}, 99},
      {"3D, images and loose points",
       [] { Flush([] { store::AddImage("PIC", 50, 60, 1, 0), store::AddPoint(-5, -5, -5); }); }, false,
       {0, 0, 0, 420, 300, 0}, 99},
      {"2D, nothing flushed", [] {}, true, {0, 0, 420, 300, 0, 0}, 99},
      {"2D, from image one",  // the image's box (3, 4)..(8, 14)
       [] { Observe(), Flush([] { store::AddImage("PIC", 3, 4, 0.5f, 0); }), Flush([] { Polyline(1, 2, 5, 1, 2, 5); }); },
       true, {2, -8, 14, -1, 0, 0}, 1},
      {"2D, text corners", [] { Flush([] { Text(10, 20, 0); }); }, true, {20, -14, 22, -10, 0, 0}, 99},  // (10, 20)..(14, 22)
  };
  store::Slots.ReadImageSize = TenByTwenty;
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.Name);
    SetView(r.TwoD);
    flushLog.clear();
    observedDevice = 99;
    store::Slots.RedrawForMeasure = r.Redraw;
    std::array<float, 6> got = {0, 0, 0, 420, 300, 0};
    if (r.TwoD) {
      got = {0, 0, 420, 300, 0, 0};
      store::MeasureExtent2D(got[0], got[1], got[2], got[3]);
    } else {
      store::MeasureExtent3D(got[0], got[1], got[2], got[3], got[4], got[5]);
    }
    EXPECT_EQ(got, r.Want);
    EXPECT_EQ(observedDevice, r.Device);
    EXPECT_EQ(store::OutputDevice, store::Device::Screen);
    EXPECT_EQ(flushLog, "");
  }
}

}  // namespace

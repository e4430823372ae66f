// A fresh store for every test, with the prompt-line messages recorded.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/framework.h"
#include "graphics/kernel.h"
#include "platform/codepage.h"
#include "store/builders.h"
#include "store/store.h"

namespace store_test {

struct Message {
  std::string Text;  // UTF-8
  bool WaitForKey = false;
  int PauseMs = 0;
};

inline std::vector<Message> messages;

inline void RecordMessage(const char* text, bool waitForKey, int pauseMs) {
  messages.push_back({gfx::Utf8FromScreen(text), waitForKey, pauseMs});
}

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app::ResetFramework();
    store::Slots.ShowMessage = RecordMessage;
    messages.clear();
    gfx::K.Colour = 15;
    store::ClearStore();
  }
  void TearDown() override { app::ResetFramework(); }
};

using Ints = std::vector<int>;
using Floats = std::vector<float>;

// Object i as first point, last point, kind and pen.
inline Ints RangeOf(int i) {
  int first = 0, last = 0, kind = 0, pen = 0;
  store::GetObjectRange(i, first, last, kind, pen);
  return {first, last, kind, pen};
}

inline Floats PointOf(int n) {
  float x = 0, y = 0, z = 0;
  store::PointGet(n, x, y, z);
  return {x, y, z};
}

// Fills points 1..count with (n, 2n, 3n) in polylines of perObject points.
inline void FillNumbered(int count, int perObject) {
  for (int n = 1; n <= count; ++n) {
    if ((n - 1) % perObject == 0) store::BeginPolyline();
    store::AddPoint(static_cast<float>(n), static_cast<float>(2 * n), static_cast<float>(3 * n));
  }
  store::CloseStore();
}

}  // namespace store_test

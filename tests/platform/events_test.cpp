// The event model's key queue; its key table and mouse handlers are
// checked end to end through the Qt window (qt_driver_test.cpp).
#include <gtest/gtest.h>

#include <vector>

#include "platform/events.h"

namespace platform {
namespace {

TEST(EventModel, QueueIsFirstInFirstOutAndKeepsTheNewestSixtyFour) {
  ClearEvents();
  for (int i = 1; i <= kKeyQueueSize + 1; ++i) PushKey(static_cast<std::uint8_t>(i));
  EXPECT_EQ(Events.Count, 64);
  std::vector<int> codes;
  while (Events.Count > 0) codes.push_back(PopKey());
  ASSERT_EQ(codes.size(), 64u);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(codes[i], i + 2);  // the first one pushed out
  EXPECT_EQ(PopKey(), 0);
  EXPECT_EQ(Events.Count, 0);
}

}  // namespace
}  // namespace platform

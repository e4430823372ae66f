// Tests of the event model: the key queue, KeyTable and the mouse handlers.
#include <gtest/gtest.h>

#include <vector>

#include "platform/events.h"

namespace platform {
namespace {

std::vector<int> Drain() {
  std::vector<int> codes;
  while (Events.Count > 0) codes.push_back(PopKey());
  return codes;
}

class EventModel : public ::testing::Test {
 protected:
  void SetUp() override { ClearEvents(); }
};

TEST_F(EventModel, QueueIsFirstInFirstOut) {
  PushKey(1);
  PushKey(2);
  PushKey(3);
  EXPECT_EQ(Events.Count, 3);
  EXPECT_EQ(Drain(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(PopKey(), 0);
  EXPECT_EQ(Events.Count, 0);
}

TEST_F(EventModel, SixtyFifthCodePushesOutTheOldest) {
  for (int i = 1; i <= kKeyQueueSize; ++i) PushKey(static_cast<std::uint8_t>(i));
  EXPECT_EQ(Events.Count, 64);
  PushKey(65);
  EXPECT_EQ(Events.Count, 64);
  std::vector<int> codes = Drain();
  ASSERT_EQ(codes.size(), 64u);
  EXPECT_EQ(codes.front(), 2);
  EXPECT_EQ(codes.back(), 65);
}

TEST_F(EventModel, FloodKeepsTheNewestSixtyFour) {
  for (int i = 0; i < 100; ++i) PushKey(static_cast<std::uint8_t>(i));
  std::vector<int> codes = Drain();
  ASSERT_EQ(codes.size(), 64u);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(codes[i], 36 + i);
}

TEST_F(EventModel, ModifiersMustMatchExactly) {
  OnKeyDown(VirtualKey::Left, true, true);   // Ctrl+Shift+Left: no entry
  OnKeyDown(VirtualKey::PageUp, true, false);
  OnKeyDown(VirtualKey::PageDown, false, true);
  OnKeyDown(VirtualKey::Home, true, true);
  OnKeyDown(VirtualKey::End, false, true);
  OnKeyDown(VirtualKey::Other, false, false);  // Delete, …
  OnKeyDown(VirtualKey::Backspace, false, false);  // without Alt: the character 8 only
  OnKeyDown(VirtualKey::Backspace, true, false, true);
  EXPECT_EQ(Events.Count, 0);
}

TEST_F(EventModel, ShiftUpCtrlUpAndUpDiffer) {
  OnKeyDown(VirtualKey::Up, false, true);
  OnKeyDown(VirtualKey::Up, true, false);
  OnKeyDown(VirtualKey::Up, false, false);
  EXPECT_EQ(Drain(), (std::vector<int>{0, 152, 0, 141, 0, 72}));
}

TEST_F(EventModel, CharactersArriveAsTheirByte) {
  OnCharacter(26);    // Ctrl+Z
  OnCharacter(0xE0);  // а in the Windows Cyrillic code page
  OnCharacter('7');
  EXPECT_EQ(Drain(), (std::vector<int>{26, 0xE0, '7'}));
}

// Each mouse event: the codes it gives and the mouse state it leaves (a
// move after a left press clears the button; the middle button counts
// only when held alone and leaves the state alone).
TEST_F(EventModel, MouseEventsGiveTheirCodesAndState) {
  struct Row { void (*Event)(); std::vector<int> codes; int x, y, button; };
  const Row rows[] = {
      {[] { OnLeftPress(120, 45); }, {32}, 120, 45, kMouseLeft},
      {[] { OnRightPress(7, 8); }, {13}, 7, 8, kMouseRight},
      {[] { OnLeftPress(1, 1); PopKey(); OnMouseMove(300, 200); }, {}, 300, 200, kMouseMoved},
      {[] { OnMiddlePress(5, 5, false); OnMiddlePress(6, 6, true); }, {66}, 0, 0, kMouseMoved},
      {[] { OnWheel(120); OnWheel(-240); OnWheel(0); }, {0, 73, 0, 81}, 0, 0, kMouseMoved},
  };
  for (const Row& r : rows) {
    ClearEvents();
    r.Event();
    EXPECT_EQ(Events.MouseX + 1000 * Events.MouseY, r.x + 1000 * r.y);
    EXPECT_EQ(Events.MouseButton, r.button);
    EXPECT_EQ(Drain(), r.codes);
  }
}

}  // namespace
}  // namespace platform

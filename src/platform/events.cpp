// src/platform/events.cpp — the event model both drivers feed: the key-code
// queue, the special-key table and the mouse state of the last mouse event.
#include "platform/events.h"

namespace platform {

const KeyTableEntry KeyTable[kKeyTableSize] = {
    {VirtualKey::Left, 0, 0, kScanLeft},          {VirtualKey::Right, 0, 0, kScanRight},
    {VirtualKey::Up, 0, 0, kScanUp},              {VirtualKey::Down, 0, 0, kScanDown},
    {VirtualKey::Left, 1, 0, kScanCtrlLeft},      {VirtualKey::Right, 1, 0, kScanCtrlRight},
    {VirtualKey::Up, 1, 0, kScanCtrlUp},          {VirtualKey::Down, 1, 0, kScanCtrlDown},
    {VirtualKey::Home, 1, 0, kScanCtrlHome},      {VirtualKey::Left, 0, 1, kScanShiftLeft},
    {VirtualKey::Right, 0, 1, kScanShiftRight},   {VirtualKey::Up, 0, 1, kScanShiftUp},
    {VirtualKey::Down, 0, 1, kScanShiftDown},     {VirtualKey::PageUp, 0, 0, kScanPageUp},
    {VirtualKey::PageDown, 0, 0, kScanPageDown},  {VirtualKey::Home, 0, 0, kScanHome},
    {VirtualKey::End, 0, 0, kScanEnd},            {VirtualKey::End, 1, 0, kScanCtrlEnd},
    {VirtualKey::F1, 0, 0, kScanF1},              {VirtualKey::Backspace, 0, 0, kScanUndo, 1},
    {VirtualKey::Backspace, 0, 1, kScanRedo, 1},
};

EventState Events;

// The codes a mouse button or wheel notch stands for.
constexpr std::uint8_t kLeftClickCode = 32;    // blank: the cursor's centre
constexpr std::uint8_t kRightClickCode = 13;   // Enter: complete
constexpr std::uint8_t kMiddleClickCode = 66;  // "B": fit the picture
constexpr std::uint8_t kWheelAwayCode = kScanPageUp;      // enlarge
constexpr std::uint8_t kWheelTowardsCode = kScanPageDown;  // reduce

void ClearEvents() { Events = EventState{}; }

void PushKey(std::uint8_t code) {
  if (Events.Count >= kKeyQueueSize) {
    // The oldest waiting code gives way: a flood of keys keeps its newest.
    for (int i = 1; i < kKeyQueueSize; ++i) Events.Queue[i - 1] = Events.Queue[i];
    Events.Count = kKeyQueueSize - 1;
  }
  Events.Queue[Events.Count++] = code;
}

std::uint8_t PopKey() {
  if (Events.Count <= 0) return 0;
  std::uint8_t code = Events.Queue[0];
  for (int i = 1; i < Events.Count; ++i) Events.Queue[i - 1] = Events.Queue[i];
  --Events.Count;
  return code;
}

void OnKeyDown(VirtualKey key, bool ctrl, bool shift, bool alt) {
  const std::uint8_t c = ctrl ? 1 : 0, s = shift ? 1 : 0;
  for (const KeyTableEntry& e : KeyTable) {
    if (e.Key == key && e.Ctrl == c && e.Shift == s && (e.Alt == 0 || alt)) {
      PushKey(0);
      PushKey(e.Code);
      return;
    }
  }
  // No entry (Ctrl+Shift+arrow, Delete, …): the key produces nothing;
  // keys with a character arrive through OnCharacter.
}

void OnCharacter(std::uint8_t code) { PushKey(code); }

void OnMouseMove(int x, int y) {
  Events.MouseX = x;
  Events.MouseY = y;
  Events.MouseButton = kMouseMoved;
}

void OnLeftPress(int x, int y) {
  Events.MouseX = x;
  Events.MouseY = y;
  Events.MouseButton = kMouseLeft;
  PushKey(kLeftClickCode);
}

void OnRightPress(int x, int y) {
  Events.MouseX = x;
  Events.MouseY = y;
  Events.MouseButton = kMouseRight;
  PushKey(kRightClickCode);
}

void OnMiddlePress(int /*x*/, int /*y*/, bool onlyButtonHeld) {
  // The middle button leaves the mouse state alone: only the two buttons
  // that stand for keys of the cursor loops are recorded there.
  if (onlyButtonHeld) PushKey(kMiddleClickCode);
}

void OnWheel(int delta) {
  if (delta > 0) {
    PushKey(0);
    PushKey(kWheelAwayCode);
  } else if (delta < 0) {
    PushKey(0);
    PushKey(kWheelTowardsCode);
  }
}

}  // namespace platform

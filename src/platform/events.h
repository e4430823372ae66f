// src/platform/events.h — the window's events turned into the framework's
// model: a queue of one-byte key codes, and the mouse as the position and
// button of its last event. Both drivers feed these; the window procedure of
// each driver is the only writer.
//
// Special keys become two codes, 0 and a PC keyboard scan code, through the
// KeyTable with an exact match on Ctrl and Shift (and on Alt where an entry
// asks for it). A left click arrives as a
// blank, a right click as 13, the middle button as "B", the wheel as 0, 73
// or 0, 81.
#pragma once

#include <cstdint>

namespace platform {

constexpr int kKeyQueueSize = 64;

// Keys the KeyTable knows, independent of the window system.
enum class VirtualKey : std::uint8_t {
  Left, Right, Up, Down, PageUp, PageDown, Home, End,
  F1,
  Backspace,  // through the table only with Alt; alone it is the character 8
  Other  // any key without a table entry (Delete, Insert, …)
};

struct KeyTableEntry {
  VirtualKey Key;
  std::uint8_t Ctrl;   // 0/1, must match exactly
  std::uint8_t Shift;  // 0/1, must match exactly
  std::uint8_t Code;   // the scan code delivered after 0
  std::uint8_t Alt = 0;  // 1: only with Alt held; 0: Alt is not looked at
};
constexpr int kKeyTableSize = 21;

// The scan codes that follow a 0 in the key stream: those of the PC
// keyboard BIOS. Shift with an arrow takes the code of Alt with that arrow,
// so that the view code can tell the two apart; Alt-Backspace (undo) and
// Alt-Shift-Backspace (redo) take 14 and 15, which no other key gives.
// Delete (83) has no table entry, so no key gives it; the line editor still
// answers it.
enum ScanCode : std::uint8_t {
  kScanUndo = 14, kScanRedo = 15, kScanF1 = 59,
  kScanHome = 71, kScanUp = 72, kScanPageUp = 73, kScanLeft = 75, kScanRight = 77,
  kScanEnd = 79, kScanDown = 80, kScanPageDown = 81, kScanDelete = 83,
  kScanCtrlLeft = 115, kScanCtrlRight = 116, kScanCtrlEnd = 117, kScanCtrlHome = 119,
  kScanCtrlUp = 141, kScanCtrlDown = 145,
  kScanShiftUp = 152, kScanShiftLeft = 155, kScanShiftRight = 157, kScanShiftDown = 160,
};
extern const KeyTableEntry KeyTable[kKeyTableSize];

// Mouse button codes of the last mouse event.
enum : int { kMouseMoved = 0, kMouseLeft = 1, kMouseRight = 2 };

struct EventState {
  std::uint8_t Queue[kKeyQueueSize] = {};
  int Count = 0;
  int MouseX = 0, MouseY = 0;   // client pixels of the last mouse event
  int MouseButton = kMouseMoved;
};
extern EventState Events;

void ClearEvents();

// Appends a code; when the queue is full the oldest code is dropped first.
void PushKey(std::uint8_t code);
// Removes and returns the oldest code (0 when empty: check Count first).
std::uint8_t PopKey();

// The window procedure's handlers, in the terms of the event model.
void OnKeyDown(VirtualKey key, bool ctrl, bool shift, bool alt = false);  // table lookup
void OnCharacter(std::uint8_t code);                     // CP1251 byte
void OnMouseMove(int x, int y);
void OnLeftPress(int x, int y);
void OnRightPress(int x, int y);
void OnMiddlePress(int x, int y, bool onlyButtonHeld);
void OnWheel(int delta);  // > 0 away from the user

}  // namespace platform

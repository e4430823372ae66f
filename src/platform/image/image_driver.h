// src/platform/image/image_driver.h — the image driver: the window is the
// in-memory picture, and the user is a queue of input events that a test
// or a script fills before the program runs.
//
// Pumping takes the input events one by one, in order, through the same
// handlers the Qt window uses (KeyTable, mouse state, menu commands), so a
// script replays what a user would have done. Time is simulated: DrvDelay
// only adds to a clock.
//
// When the program reads a key and the input has run out, DrvReadKey calls
// InputExhaustedHook; the default ends the program as a confirmed close
// does (exit code 0). A hook that returns makes DrvReadKey give Esc and
// sets InputExhausted.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/events.h"

namespace platform {

constexpr int kImageDefaultWidth = 1280;
constexpr int kImageDefaultHeight = 1024;
// Key polls in a row, with the input empty and nothing drawn in between,
// after which DrvKeyPressed reports a key (the Esc of exhausted input): a
// loop that waits for the mouse would otherwise wait for ever.
constexpr int kIdlePollLimit = 100000;
// Reads of exhausted input in a row after which the program is ended with
// kRunawayExitCode: it ignores Esc and would read for ever.
constexpr int kExhaustedReadLimit = 10000;
constexpr int kRunawayExitCode = 3;

enum class InputKind : std::uint8_t {
  Character,    // Code: one key code, pushed as it is
  Key,          // Key with Ctrl and Shift: through KeyTable
  MouseMove,    // X, Y
  LeftClick,    // X, Y
  RightClick,   // X, Y
  MiddleClick,  // X, Y; OnlyButton: no other button or modifier held
  Wheel,        // Delta: > 0 away from the user
  MenuCommand,  // Command: a menu-bar item number
  CloseWindow,  // the window's close box
  Snapshot,     // Path: write the picture as a PNG file at this moment
  Resize,       // X, Y: the window's new client size
};

struct InputEvent {
  InputKind Kind = InputKind::Character;
  std::uint8_t Code = 0;
  VirtualKey Key = VirtualKey::Other;
  bool Ctrl = false, Shift = false, Alt = false;
  int X = 0, Y = 0;
  bool OnlyButton = true;
  int Delta = 0;
  int Command = 0;
  std::string Path;
};

using ExhaustedHook = void (*)();

struct AskRecord {  // one question box the program showed
  std::string Text, Caption;
  bool QuestionIcon = false;
  std::string Buttons;  // of a choice: "yes|no|cancel"; empty for a yes/no box
};

struct ImageDriverState {
  std::deque<InputEvent> Input;        // what the user does next
  std::deque<int> Answers;             // answers (platform::Answer) to the next boxes
  bool DefaultYesNo = true;            // when no answer is prepared
  // True: the queued input counts as typed ahead, so DrvKeyPressed sees it
  // and a drawing stops at the next key. False (scripted runs): the user
  // types each key only when the program waits for one, so every picture
  // is drawn whole before the next key arrives.
  bool TypeAhead = true;
  std::vector<std::string> SnapshotErrors;  // "path: reason" of failed snapshots
  std::deque<std::string> FileAnswers; // next file dialogs; "" is a cancel
  std::vector<AskRecord> Asked;        // every yes/no box shown
  std::vector<std::string> Dialogs;    // "open EXT" / "save EXT" per dialog
  std::vector<std::string> OpenedDocuments;
  bool DocumentsOpen = true;           // a program is there to open documents
  std::string Title;                   // the window's caption
  int MenuLanguage = 0;                // of the menu bar's captions
  bool WaitedInVain = false;           // DrvWaitEvent found the input empty
  ExhaustedHook InputExhaustedHook = nullptr;
  bool InputExhausted = false;         // DrvReadKey gave Esc for want of input
  int ExhaustedReads = 0;              // in a row
  bool ClosePosted = false;            // a close request waits for the pump
  int IdlePolls = 0;
  std::uint64_t DrawCallsAtPoll = 0;
  long long Milliseconds = 0;          // simulated time of DrvDelay
  int PointerX = 0, PointerY = 0;      // the pointer now (screen = client)
  int ShowCount = 0;                   // pointer shown while >= 0
};
extern ImageDriverState Image;  // the one image driver

// Fills Drv with the image driver on a black picture of width × height,
// empties the input, the answers and the event model, and puts the menu-bar
// slots and InputExhaustedHook back to their defaults.
void InstallImageDriver(int width = kImageDefaultWidth, int height = kImageDefaultHeight);

// The default InputExhaustedHook: ends the program with exit code 0.
void EndOnExhaustedInput();

// Appending input.
void QueueCharacter(std::uint8_t code);
void QueueText(const std::string& codes);  // one Character per byte
void QueueKey(VirtualKey key, bool ctrl = false, bool shift = false, bool alt = false);
void QueueMouseMove(int x, int y);
void QueueLeftClick(int x, int y);
void QueueRightClick(int x, int y);
void QueueMiddleClick(int x, int y, bool onlyButton = true);
void QueueWheel(int delta);
void QueueMenuCommand(int command);
void QueueCloseWindow();
void QueueSnapshot(const std::string& path);
void QueueResize(int width, int height);
// Answers for the boxes and dialogs to come, in their order.
void QueueYesNo(bool yes);
void QueueAnswer(int answer);  // platform::Answer
void QueueFileAnswer(const std::string& path);  // "" cancels that dialog

// Takes one input event (or the posted close request) through the window
// procedure; false when there was nothing to take.
bool PumpOneEvent();

// Writes the picture as an 8-bit RGB PNG file; "" on success, else what
// went wrong.
std::string WritePicturePng(const std::string& path);

}  // namespace platform

// src/platform/driver.h — the seam between the program and the window
// system: a table of procedures that one installation routine fills.
//
// Two drivers fill it: the Qt window (src/platform/qt/) and the image driver
// (src/platform/image/), an in-memory picture with an input queue that tests
// and scripts fill. Nothing outside src/platform/ knows which one runs.
// Until a driver is installed every entry holds a harmless default that
// draws nothing and reads Esc.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// One result of a directory search.
struct FindResult {
  std::string FullName;   // name with extension, as the file system has it
  std::string Name;       // name without extension
  std::string Extension;  // with its dot; "." when the name has none
  int Attributes = -1;    // -1: nothing (more) found; else kAttrDirectory or 0
  std::int64_t Size = 0;
};
constexpr int kAttrDirectory = 0x10;

struct PlatformDriver {
  // --- Drawing entries (absolute window pixels, y downwards) -------------
  void (*DrvInitGraphics)();
  void (*DrvCloseGraphics)();          // ends the program (exit code 0)
  int (*DrvScreenWidth)();             // at least 1
  int (*DrvScreenHeight)();            // at least 1
  void (*DrvSetClip)(int left, int top, int right, int bottom);
  void (*DrvFillBar)(int left, int top, int right, int bottom);
  void (*DrvClearBar)(int left, int top, int right, int bottom);
  void (*DrvSetPenColor)(int colour);
  void (*DrvSetBackMode)(int mode);
  int (*DrvGetBackMode)();
  void (*DrvPoint)(int x, int y, int colour);
  void (*DrvXorPoint)(int x, int y, int colour);
  void (*DrvLine)(int x1, int y1, int x2, int y2, int colour);
  void (*DrvPutPixelRGB)(int x, int y, int red, int green, int blue);

  // --- Input entries ------------------------------------------------------
  std::uint8_t (*DrvReadKey)();        // next key code; waits for one
  bool (*DrvKeyPressed)();             // a key code is waiting
  // Waits until the user does something — a key, a click, a move of the
  // pointer, a menu command — without using the processor meanwhile;
  // returns at once when a key code is waiting.
  void (*DrvWaitEvent)();
  void (*DrvDelay)(int milliseconds);  // no events are processed meanwhile
  void (*DrvClientOrigin)(int width, int height, int& x0, int& y0);
  void (*DrvShowMouse)();
  void (*DrvHideMouse)();
  void (*DrvSetMousePos)(int x, int y);                 // screen
  void (*DrvGetMousePos)(int& x, int& y, int& button);  // screen, now
  void (*DrvGetMouseEvent)(int& x, int& y, int& button);// client, last event
  bool (*DrvMousePresent)();
  void (*DrvMouseRelease)();

  // --- Directory search ---------------------------------------------------
  // kind: 0 files with the pattern, 1 folders matching all names, 2 any
  // entry with the pattern, 3 folders with the pattern.
  void (*DrvFindFirst)(int kind, const std::string& pattern, FindResult& out);
  void (*DrvFindNext)(FindResult& out);

  // --- Window side ----------------------------------------------------------
  // A modal yes/no box (screen code page texts); true for yes.
  bool (*DrvAskYesNo)(const std::string& text, const std::string& caption, bool questionIcon);
  // A modal question box with the program's own buttons (screen code page
  // texts; no cancel button when cancel is empty). The default button is
  // yes; Esc and the box's close button give cancel, or no when there is
  // no cancel button.
  int (*DrvAskChoice)(const std::string& text, const std::string& caption, const std::string& yes,
                      const std::string& no, const std::string& cancel);
  // The system's open or save dialog for files of the extension (no dot);
  // true and the chosen path (file-system encoding) when one was chosen.
  bool (*DrvFileDialog)(bool open, const std::string& extension, std::string& path);
  // Opens a document with the system's default program; false when no
  // program could be started for it.
  bool (*DrvOpenDocument)(const std::string& path);
  // The window's caption (UTF-8).
  void (*DrvSetTitle)(const std::string& title);
  // The menu bar's captions in a language (0 Russian, 1 English; other
  // languages show the Russian ones).
  void (*DrvSetMenuLanguage)(int language);
};

// Answers of DrvAskChoice.
enum Answer : int { kAnswerCancel = -1, kAnswerNo = 0, kAnswerYes = 1 };

extern PlatformDriver Drv;  // the one table of the program

// Puts the harmless defaults back into every entry.
void ResetPlatformDriver();

}  // namespace platform

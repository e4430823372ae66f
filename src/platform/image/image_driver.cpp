// src/platform/image/image_driver.cpp — the image driver: the picture as
// the window, a prepared queue of input events as the user.
//
// Sections: state and input queue · the window procedure · input entries ·
// window side · installation.
#include "platform/image/image_driver.h"

#include <cstdio>
#include <cstdlib>

#include "platform/dir_search.h"
#include "platform/driver.h"
#include "platform/image/png.h"
#include "platform/menu_bar.h"
#include "platform/picture.h"

namespace platform {

ImageDriverState Image;

constexpr std::uint8_t kEscape = 27;

// --- Input queue -----------------------------------------------------------------

namespace {
void Append(const InputEvent& e) { Image.Input.push_back(e); }
}  // namespace

void QueueCharacter(std::uint8_t code) {
  InputEvent e;
  e.Kind = InputKind::Character;
  e.Code = code;
  Append(e);
}

void QueueText(const std::string& codes) {
  for (char c : codes) QueueCharacter(static_cast<std::uint8_t>(c));
}

void QueueKey(VirtualKey key, bool ctrl, bool shift, bool alt) {
  InputEvent e;
  e.Kind = InputKind::Key;
  e.Key = key;
  e.Ctrl = ctrl;
  e.Shift = shift;
  e.Alt = alt;
  Append(e);
}

namespace {
void QueueMouse(InputKind kind, int x, int y) {
  InputEvent e;
  e.Kind = kind;
  e.X = x;
  e.Y = y;
  Append(e);
}
}  // namespace

void QueueMouseMove(int x, int y) { QueueMouse(InputKind::MouseMove, x, y); }
void QueueLeftClick(int x, int y) { QueueMouse(InputKind::LeftClick, x, y); }
void QueueRightClick(int x, int y) { QueueMouse(InputKind::RightClick, x, y); }

void QueueMiddleClick(int x, int y, bool onlyButton) {
  InputEvent e;
  e.Kind = InputKind::MiddleClick;
  e.X = x;
  e.Y = y;
  e.OnlyButton = onlyButton;
  Append(e);
}

void QueueWheel(int delta) {
  InputEvent e;
  e.Kind = InputKind::Wheel;
  e.Delta = delta;
  Append(e);
}

void QueueMenuCommand(int command) {
  InputEvent e;
  e.Kind = InputKind::MenuCommand;
  e.Command = command;
  Append(e);
}

void QueueCloseWindow() {
  InputEvent e;
  e.Kind = InputKind::CloseWindow;
  Append(e);
}

void QueueSnapshot(const std::string& path) {
  InputEvent e;
  e.Kind = InputKind::Snapshot;
  e.Path = path;
  Append(e);
}

void QueueResize(int width, int height) { QueueMouse(InputKind::Resize, width, height); }

void QueueYesNo(bool yes) { QueueAnswer(yes ? kAnswerYes : kAnswerNo); }
void QueueAnswer(int answer) { Image.Answers.push_back(answer); }
void QueueFileAnswer(const std::string& path) { Image.FileAnswers.push_back(path); }

// --- The window procedure --------------------------------------------------------

namespace {
// The pointer moves to a pointer event's place before the event is handled.
void PointerEvent(const InputEvent& e) {
  Image.PointerX = e.X;
  Image.PointerY = e.Y;
  switch (e.Kind) {
    case InputKind::LeftClick: OnLeftPress(e.X, e.Y); break;
    case InputKind::RightClick: OnRightPress(e.X, e.Y); break;
    case InputKind::MiddleClick: OnMiddlePress(e.X, e.Y, e.OnlyButton); break;
    default: OnMouseMove(e.X, e.Y); break;
  }
}
}  // namespace

bool PumpOneEvent() {
  // A posted request comes before the input waiting behind it, as posted
  // messages do in a window system's queue.
  if (Image.ClosePosted) {
    Image.ClosePosted = false;
    CloseRequest();
    return true;
  }
  if (Image.Input.empty()) return false;
  const InputEvent e = Image.Input.front();
  Image.Input.pop_front();
  switch (e.Kind) {
    case InputKind::Character: OnCharacter(e.Code); break;
    case InputKind::Key: OnKeyDown(e.Key, e.Ctrl, e.Shift, e.Alt); break;
    case InputKind::MouseMove:
    case InputKind::LeftClick:
    case InputKind::RightClick:
    case InputKind::MiddleClick: PointerEvent(e); break;
    case InputKind::Wheel: OnWheel(e.Delta); break;
    case InputKind::MenuCommand: MenuBar.MenuCommandHook(e.Command); break;
    case InputKind::CloseWindow: CloseRequest(); break;
    case InputKind::Snapshot: {
      std::string error = WritePicturePng(e.Path);
      if (!error.empty()) Image.SnapshotErrors.push_back(e.Path + ": " + error);
      break;
    }
    case InputKind::Resize:
      ResizePicture(e.X, e.Y);
      MenuBar.ResizeHook();
      break;
  }
  return true;
}

// --- Input entries -----------------------------------------------------------------

namespace {

std::uint8_t ImageReadKey() {
  // The user types when the program waits: the moment for work that waits.
  if (Events.Count == 0) MenuBar.IdleHook();
  for (;;) {
    if (Events.Count > 0) {
      Image.ExhaustedReads = 0;
      Image.IdlePolls = 0;
      return PopKey();
    }
    if (!PumpOneEvent()) break;
  }
  Image.InputExhausted = true;
  if (++Image.ExhaustedReads > kExhaustedReadLimit) {
    // The program keeps reading after every Esc: it would never end.
    std::fprintf(stderr, "brelmora: input exhausted, %d keys read after its end\n",
                 kExhaustedReadLimit);
    std::exit(kRunawayExitCode);
  }
  (Image.InputExhaustedHook != nullptr ? Image.InputExhaustedHook : EndOnExhaustedInput)();
  return kEscape;
}

bool ImageKeyPressed() {
  // One event at a time, so that mouse moves before a click are applied in
  // their order and nothing after the first key is taken early.
  while (Image.TypeAhead && Events.Count == 0 && PumpOneEvent()) {
  }
  if (Events.Count > 0) {
    Image.IdlePolls = 0;
    return true;
  }
  if (Image.WaitedInVain) {  // nothing will ever come: the Esc of exhausted input
    Image.WaitedInVain = false;
    return true;
  }
  // The input is empty. A program that draws between its polls is busy
  // with a picture; one that only polls waits for the user who will never
  // come, and is told that a key waits (DrvReadKey then gives the Esc of
  // exhausted input).
  if (Pic.DrawCalls != Image.DrawCallsAtPoll) {
    Image.DrawCallsAtPoll = Pic.DrawCalls;
    Image.IdlePolls = 0;
    return false;
  }
  if (++Image.IdlePolls >= kIdlePollLimit) {
    Image.IdlePolls = 0;
    return true;
  }
  return false;
}

// The next event, whatever it is; with none left the program is told that
// a key waits, as the idle polls tell it.
void ImageWaitEvent() {
  if (Events.Count > 0) return;
  MenuBar.IdleHook();
  if (!PumpOneEvent()) Image.WaitedInVain = true;
}

void ImageDelay(int milliseconds) {
  if (milliseconds > 0) Image.Milliseconds += milliseconds;
}

void ImageClientOrigin(int, int, int& x0, int& y0) {
  x0 = 0;
  y0 = 0;
}

void ImageShowMouse() { ++Image.ShowCount; }
void ImageHideMouse() { --Image.ShowCount; }

void ImageSetMousePos(int x, int y) {
  Image.PointerX = x;
  Image.PointerY = y;
}

void ImageGetMousePos(int& x, int& y, int& button) {
  x = Image.PointerX;
  y = Image.PointerY;
  button = Events.MouseButton;
}

void ImageGetMouseEvent(int& x, int& y, int& button) {
  x = Events.MouseX;
  y = Events.MouseY;
  button = Events.MouseButton;
}

bool ImageMousePresent() { return true; }
void ImageMouseRelease() {}

// --- Window side ---------------------------------------------------------------------

void ImageCloseGraphics() {
  std::fflush(nullptr);
  std::exit(0);
}

int NextAnswer() {
  if (Image.Answers.empty()) return Image.DefaultYesNo ? kAnswerYes : kAnswerNo;
  const int answer = Image.Answers.front();
  Image.Answers.pop_front();
  return answer;
}

bool ImageAskYesNo(const std::string& text, const std::string& caption, bool questionIcon) {
  Image.Asked.push_back(AskRecord{text, caption, questionIcon, {}});
  return NextAnswer() == kAnswerYes;
}

int ImageAskChoice(const std::string& text, const std::string& caption, const std::string& yes,
                   const std::string& no, const std::string& cancel) {
  Image.Asked.push_back(AskRecord{text, caption, true, yes + "|" + no + "|" + cancel});
  const int answer = NextAnswer();
  return answer == kAnswerCancel && cancel.empty() ? kAnswerNo : answer;
}

bool ImageFileDialog(bool open, const std::string& extension, std::string& path) {
  Image.Dialogs.push_back((open ? "open " : "save ") + extension);
  if (Image.FileAnswers.empty()) return false;  // unprepared: a cancel
  path = Image.FileAnswers.front();
  Image.FileAnswers.pop_front();
  return !path.empty();
}

bool ImageOpenDocument(const std::string& path) {
  if (Image.DocumentsOpen) Image.OpenedDocuments.push_back(path);
  return Image.DocumentsOpen;
}

void ImageSetTitle(const std::string& title) { Image.Title = title; }
void ImageSetMenuLanguage(int language) { Image.MenuLanguage = language; }

void PostClose() { Image.ClosePosted = true; }

}  // namespace

void EndOnExhaustedInput() { Drv.DrvCloseGraphics(); }

std::string WritePicturePng(const std::string& path) {
  return WritePng(path, Pic.Pixels.data(), Pic.Width, Pic.Height);
}

// --- Installation ----------------------------------------------------------------------

void InstallImageDriver(int width, int height) {
  ResetPlatformDriver();
  Pic = Picture{};
  ResizePicture(width, height);
  InstallPictureDrawing(Drv);
  Drv.DrvCloseGraphics = ImageCloseGraphics;
  Drv.DrvReadKey = ImageReadKey;
  Drv.DrvKeyPressed = ImageKeyPressed;
  Drv.DrvWaitEvent = ImageWaitEvent;
  Drv.DrvDelay = ImageDelay;
  Drv.DrvClientOrigin = ImageClientOrigin;
  Drv.DrvShowMouse = ImageShowMouse;
  Drv.DrvHideMouse = ImageHideMouse;
  Drv.DrvSetMousePos = ImageSetMousePos;
  Drv.DrvGetMousePos = ImageGetMousePos;
  Drv.DrvGetMouseEvent = ImageGetMouseEvent;
  Drv.DrvMousePresent = ImageMousePresent;
  Drv.DrvMouseRelease = ImageMouseRelease;
  Drv.DrvAskYesNo = ImageAskYesNo;
  Drv.DrvAskChoice = ImageAskChoice;
  Drv.DrvFileDialog = ImageFileDialog;
  Drv.DrvOpenDocument = ImageOpenDocument;
  Drv.DrvSetTitle = ImageSetTitle;
  Drv.DrvSetMenuLanguage = ImageSetMenuLanguage;
  Drv.DrvFindFirst = FolderFindFirst;
  Drv.DrvFindNext = FolderFindNext;

  Image = ImageDriverState{};
  Image.InputExhaustedHook = EndOnExhaustedInput;
  ClearEvents();
  ResetMenuBar();
  MenuBar.PostCloseHook = PostClose;
}

}  // namespace platform

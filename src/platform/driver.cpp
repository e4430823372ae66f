// src/platform/driver.cpp — the PlatformDriver table and its harmless
// defaults: until a driver is installed nothing is drawn, every key read is
// Esc and the window has the size of one pixel.
#include "platform/driver.h"

namespace platform {

namespace {

void NoOp() {}
int One() { return 1; }
void NoRect(int, int, int, int) {}
void NoInt(int) {}
int Zero() { return 0; }
void NoPoint(int, int, int) {}
void NoLine(int, int, int, int, int) {}
void NoRgb(int, int, int, int, int) {}
std::uint8_t Escape() { return 27; }
bool No() { return false; }
void NoOrigin(int, int, int& x0, int& y0) { x0 = 0; y0 = 0; }
void NoXY(int, int) {}
void NoMouse(int& x, int& y, int& button) { x = 0; y = 0; button = 0; }
bool Yes() { return true; }
void NothingFound(int, const std::string&, FindResult& out) { out = FindResult{}; }
void NothingMore(FindResult& out) { out = FindResult{}; }
bool NoAnswer(const std::string&, const std::string&, bool) { return false; }
int NoChoice(const std::string&, const std::string&, const std::string&, const std::string&,
             const std::string& cancel) {
  return cancel.empty() ? kAnswerNo : kAnswerCancel;
}
bool NoFile(bool, const std::string&, std::string&) { return false; }
bool NoDocument(const std::string&) { return false; }
void NoText(const std::string&) {}

constexpr PlatformDriver kDefaultDriver = {
    .DrvInitGraphics = NoOp,
    .DrvCloseGraphics = NoOp,
    .DrvScreenWidth = One,
    .DrvScreenHeight = One,
    .DrvSetClip = NoRect,
    .DrvFillBar = NoRect,
    .DrvClearBar = NoRect,
    .DrvSetPenColor = NoInt,
    .DrvSetBackMode = NoInt,
    .DrvGetBackMode = Zero,
    .DrvPoint = NoPoint,
    .DrvXorPoint = NoPoint,
    .DrvLine = NoLine,
    .DrvPutPixelRGB = NoRgb,
    .DrvReadKey = Escape,
    .DrvKeyPressed = No,
    .DrvWaitEvent = NoOp,
    .DrvDelay = NoInt,
    .DrvClientOrigin = NoOrigin,
    .DrvShowMouse = NoOp,
    .DrvHideMouse = NoOp,
    .DrvSetMousePos = NoXY,
    .DrvGetMousePos = NoMouse,
    .DrvGetMouseEvent = NoMouse,
    .DrvMousePresent = Yes,
    .DrvMouseRelease = NoOp,
    .DrvFindFirst = NothingFound,
    .DrvFindNext = NothingMore,
    .DrvAskYesNo = NoAnswer,
    .DrvAskChoice = NoChoice,
    .DrvFileDialog = NoFile,
    .DrvOpenDocument = NoDocument,
    .DrvSetTitle = NoText,
    .DrvSetMenuLanguage = NoInt,
};

}  // namespace

// Constant-initialised, so the defaults are in place before any code runs.
PlatformDriver Drv = kDefaultDriver;

void ResetPlatformDriver() { Drv = kDefaultDriver; }

}  // namespace platform

// src/platform/qt/qt_window.h — the Qt window and its state: the client
// area that shows the picture and turns keys and the mouse into the event
// model, and the main window with the menu bar and the close box.
//
// Events are handled only while the program pumps (inside DrvReadKey,
// DrvKeyPressed, message boxes and dialogs). What an event asks for beyond
// the key queue and the mouse state — a resize, a menu command, a close
// request — is noted by the handler and run by the pump after Qt's event
// processing returns, so that the application's hooks never run inside a
// Qt event handler.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QWidget>

class QKeyEvent;

namespace platform {

class PictureView : public QWidget {
 public:
  explicit PictureView(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool focusNextPrevChild(bool next) override;  // false: Tab is a key here
};

class MainWindow : public QMainWindow {
 public:
  MainWindow();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

constexpr int kPendingCommandCapacity = 16;  // menu commands not yet run
constexpr long long kPumpIntervalNs = 1000000;       // DrvKeyPressed pumps at most once a ms
constexpr long long kPresentIntervalNs = 16000000;   // ~60 pictures a second while drawing

struct QtDriverState {
  MainWindow* Window = nullptr;
  PictureView* View = nullptr;
  QElapsedTimer Clock;
  long long LastPumpNs = 0;
  long long LastPresentNs = 0;
  bool ResizePending = false;
  int PendingWidth = 1, PendingHeight = 1;
  bool InRedrawHook = false;
  int PendingCommands[kPendingCommandCapacity] = {};
  int PendingCount = 0;
  bool ClosePosted = false;
  int ShowCount = 0;  // the pointer is shown while >= 0
};
extern QtDriverState QtWindow;  // the one window

// A key press as the window procedure sees it: table keys through
// OnKeyDown, characters (CP1251 bytes, control codes) through OnCharacter.
void TranslateKeyEvent(const QKeyEvent& event);

// Runs what the event handlers noted: a resize (picture and RedrawHook),
// a posted close request, menu commands, in that order, until none is left.
void RunPendingWindowWork();

}  // namespace platform

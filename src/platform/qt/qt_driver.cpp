// src/platform/qt/qt_driver.cpp — the Qt window: creation and menu bar, the
// window procedure (key, mouse, resize, close, menu), the pump, and the
// PlatformDriver entries of the window and input side. Drawing goes to the
// shared picture, which the client area shows.
//
// Sections: state · key translation · client area · main window and menu
// bar · the pump · driver entries · installation.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QResizeEvent>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <QWheelEvent>

#include <cstdio>
#include <cstdlib>

#include "platform/codepage.h"
#include "platform/dir_search.h"
#include "platform/driver.h"
#include "platform/events.h"
#include "platform/menu_bar.h"
#include "platform/picture.h"
#include "platform/qt/qt_driver.h"
#include "platform/qt/qt_window.h"

namespace platform {

QtDriverState QtWindow;

namespace {

constexpr int kMaxPathLength = 260;  // what the program's path buffers hold
constexpr int kRestoredWidth = 639, kRestoredHeight = 479;
const QColor kWindowBackground(128, 128, 128);  // shows where no picture is yet

QString FromScreen(const std::string& screen) {
  return QString::fromStdString(gfx::Utf8FromScreen(screen));
}

long long NowNs() { return QtWindow.Clock.nsecsElapsed(); }

// --- Key translation --------------------------------------------------------------

VirtualKey VirtualKeyOf(int key) {
  switch (key) {
    case Qt::Key_Left: return VirtualKey::Left;
    case Qt::Key_Right: return VirtualKey::Right;
    case Qt::Key_Up: return VirtualKey::Up;
    case Qt::Key_Down: return VirtualKey::Down;
    case Qt::Key_PageUp: return VirtualKey::PageUp;
    case Qt::Key_PageDown: return VirtualKey::PageDown;
    case Qt::Key_Home: return VirtualKey::Home;
    case Qt::Key_End: return VirtualKey::End;
    case Qt::Key_F1: return VirtualKey::F1;
    default: return VirtualKey::Other;
  }
}

// The Windows Cyrillic byte of a character, or -1 when the program's code
// pages have none for it. Letters go through the screen code page, which
// holds every Cyrillic letter the program can show.
int WinByteOf(char16_t unit) {
  if (unit < 0x80) return unit;
  const std::string utf8 = QString(QChar(unit)).toStdString();
  const std::string screen = gfx::ScreenFromUtf8(utf8);
  if (screen.size() != 1 || screen[0] == '?') return -1;
  return gfx::ScreenToWinByte(static_cast<unsigned char>(screen[0]));
}

}  // namespace

void TranslateKeyEvent(const QKeyEvent& event) {
  // Alt matters only to the table entries that ask for it (Alt-Backspace);
  // the other keys and the characters ignore it.
  const bool ctrl = event.modifiers() & Qt::ControlModifier;
  const bool shift = event.modifiers() & Qt::ShiftModifier;
  const bool alt = event.modifiers() & Qt::AltModifier;
  const int key = event.key();
  const VirtualKey vk = VirtualKeyOf(key);
  if (vk != VirtualKey::Other) {
    OnKeyDown(vk, ctrl, shift, alt);  // table keys give no character
    return;
  }
  if (key == Qt::Key_Backspace && alt) {
    OnKeyDown(VirtualKey::Backspace, ctrl, shift, alt);
    return;
  }
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: OnCharacter(13); return;
    case Qt::Key_Escape: OnCharacter(27); return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: OnCharacter(9); return;
    case Qt::Key_Backspace: OnCharacter(8); return;
    default: break;
  }
  if (ctrl && key >= Qt::Key_A && key <= Qt::Key_Z) {
    OnCharacter(static_cast<std::uint8_t>(key - Qt::Key_A + 1));  // Ctrl+Z is 26
    return;
  }
  const QString text = event.text();
  for (QChar c : text) {
    const char16_t u = c.unicode();
    // Control characters come only from the keys above; Delete (127) and
    // other keys without a character give nothing.
    if (u < 32 || u == 127) continue;
    const int b = WinByteOf(u);
    if (b >= 0) OnCharacter(static_cast<std::uint8_t>(b));
  }
}

// --- Client area ------------------------------------------------------------------

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QImage image(reinterpret_cast<const uchar*>(Pic.Pixels.data()), Pic.Width, Pic.Height,
                     Pic.Width * static_cast<int>(sizeof(std::uint32_t)), QImage::Format_RGB32);
  painter.drawImage(0, 0, image);
  if (width() > Pic.Width) painter.fillRect(Pic.Width, 0, width() - Pic.Width, height(), kWindowBackground);
  if (height() > Pic.Height) painter.fillRect(0, Pic.Height, Pic.Width, height() - Pic.Height, kWindowBackground);
}

void PictureView::resizeEvent(QResizeEvent* event) {
  QtWindow.ResizePending = true;
  QtWindow.PendingWidth = event->size().width();
  QtWindow.PendingHeight = event->size().height();
}

void PictureView::keyPressEvent(QKeyEvent* event) { TranslateKeyEvent(*event); }

void PictureView::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  switch (event->button()) {
    case Qt::LeftButton: OnLeftPress(p.x(), p.y()); break;
    case Qt::RightButton: OnRightPress(p.x(), p.y()); break;
    case Qt::MiddleButton:
      OnMiddlePress(p.x(), p.y(),
                    event->buttons() == Qt::MiddleButton &&
                        !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)));
      break;
    default: break;
  }
}

void PictureView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  OnMouseMove(p.x(), p.y());
}

void PictureView::wheelEvent(QWheelEvent* event) { OnWheel(event->angleDelta().y()); }

bool PictureView::focusNextPrevChild(bool) { return false; }

// --- Main window and menu bar ------------------------------------------------------

namespace {

void NoteCommand(int command) {
  // A burst beyond the capacity is dropped: nobody chooses sixteen menu
  // items while the program is busy.
  if (QtWindow.PendingCount < kPendingCommandCapacity)
    QtWindow.PendingCommands[QtWindow.PendingCount++] = command;
}

// The keyboard goes back to the picture whenever a menu or a box closes:
// the program's keys are read there.
void RestoreFocus() {
  if (QtWindow.Window == nullptr || QtWindow.View == nullptr) return;
  QtWindow.Window->activateWindow();
  QtWindow.View->setFocus(Qt::OtherFocusReason);
}

// The menus and items of the menu bar, one action for each entry.
QAction* MenuActions[kMenuBarEntryCount] = {};

void ShowMenuLanguage(int language) {
  for (int i = 0; i < kMenuBarEntryCount; ++i)
    if (MenuActions[i] != nullptr && MenuBarEntries[i].Command != kMenuSeparator)
      MenuActions[i]->setText(QString::fromUtf8(MenuBarCaption(MenuBarEntries[i], language)));
}

}  // namespace

MainWindow::MainWindow() {
  setWindowTitle(QString::fromUtf8("Brelmora"));
  QMenu* menu = nullptr;
  for (int i = 0; i < kMenuBarEntryCount; ++i) {
    const int command = MenuBarEntries[i].Command;
    if (command == kMenuCaption) {
      menu = menuBar()->addMenu(QString());
      MenuActions[i] = menu->menuAction();
      QObject::connect(menu, &QMenu::aboutToHide, [] { RestoreFocus(); });
    } else if (command == kMenuSeparator) {
      MenuActions[i] = menu->addSeparator();
    } else {
      QAction* action = menu->addAction(QString());
      action->setData(command);
      QObject::connect(action, &QAction::triggered, [command] { NoteCommand(command); });
      MenuActions[i] = action;
    }
  }
  ShowMenuLanguage(0);
  auto* view = new PictureView(this);
  setCentralWidget(view);
  QtWindow.View = view;
  view->setFocus();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The question is asked by the pump; the window stays until the answer.
  event->ignore();
  QtWindow.ClosePosted = true;
}

void MainWindow::keyPressEvent(QKeyEvent* event) { TranslateKeyEvent(*event); }

// --- The pump ------------------------------------------------------------------------

void RunPendingWindowWork() {
  for (;;) {
    // A resize noted while the redraw hook runs is taken up when it returns.
    if (QtWindow.ResizePending && !QtWindow.InRedrawHook) {
      QtWindow.ResizePending = false;
      ResizePicture(QtWindow.PendingWidth, QtWindow.PendingHeight);
      QtWindow.InRedrawHook = true;
      MenuBar.ResizeHook();
      QtWindow.InRedrawHook = false;
      continue;
    }
    if (QtWindow.ClosePosted) {
      QtWindow.ClosePosted = false;
      CloseRequest();
      RestoreFocus();
      continue;
    }
    if (QtWindow.PendingCount > 0) {
      const int command = QtWindow.PendingCommands[0];
      for (int i = 1; i < QtWindow.PendingCount; ++i)
        QtWindow.PendingCommands[i - 1] = QtWindow.PendingCommands[i];
      --QtWindow.PendingCount;
      MenuBar.MenuCommandHook(command);
      RestoreFocus();
      continue;
    }
    return;
  }
}

namespace {

// Brings what was drawn to the screen (at the next paint).
void Present() {
  if (!Pic.Dirty || QtWindow.View == nullptr) return;
  Pic.Dirty = false;
  QtWindow.LastPresentNs = NowNs();
  QtWindow.View->update();
}

void Pump(QEventLoop::ProcessEventsFlags flags) {
  QtWindow.LastPumpNs = NowNs();
  QCoreApplication::processEvents(flags);
  RunPendingWindowWork();
}

// --- Driver entries ----------------------------------------------------------------

// Brings the picture to the screen, lets the program do what waits for a
// quiet moment, then blocks until the window system has something:
// waiting for the user costs no processor time.
void WaitForUser() {
  Present();
  Pump(QEventLoop::AllEvents);  // the picture is painted before anything else
  if (Events.Count > 0) return;
  MenuBar.IdleHook();
  if (Events.Count > 0) return;
  Pump(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

std::uint8_t QtReadKey() {
  while (Events.Count == 0) WaitForUser();
  return PopKey();
}

void QtWaitEvent() {
  if (Events.Count == 0) WaitForUser();
}

bool QtKeyPressed() {
  // Called before every object of a redraw: the event processing and the
  // picture's way to the screen are rationed.
  const long long now = NowNs();
  if (Pic.Dirty && now - QtWindow.LastPresentNs >= kPresentIntervalNs) Present();
  if (Events.Count == 0 && now - QtWindow.LastPumpNs >= kPumpIntervalNs)
    Pump(QEventLoop::AllEvents);
  else
    RunPendingWindowWork();
  return Events.Count > 0;
}

void QtDelay(int milliseconds) {
  if (Pic.Dirty && QtWindow.View != nullptr) {
    Pic.Dirty = false;
    QtWindow.View->repaint();  // paints now, without handling other events
  }
  if (milliseconds > 0) QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void QtInitGraphics() {
  if (QtWindow.View != nullptr &&
      (QtWindow.View->width() != Pic.Width || QtWindow.View->height() != Pic.Height))
    ResizePicture(QtWindow.View->width(), QtWindow.View->height());
  PictureInitGraphics();
}

void QtCloseGraphics() {
  delete QtWindow.Window;
  QtWindow.Window = nullptr;
  QtWindow.View = nullptr;
  std::fflush(nullptr);
  std::exit(0);
}

void QtClientOrigin(int, int, int& x0, int& y0) {
  const QPoint origin = QtWindow.View ? QtWindow.View->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
  x0 = origin.x();
  y0 = origin.y();
}

void ApplyPointerShape() {
  if (QtWindow.View != nullptr)
    QtWindow.View->setCursor(QtWindow.ShowCount >= 0 ? Qt::ArrowCursor : Qt::BlankCursor);
}

void QtShowMouse() {
  ++QtWindow.ShowCount;
  ApplyPointerShape();
}

void QtHideMouse() {
  --QtWindow.ShowCount;
  ApplyPointerShape();
}

void QtSetMousePos(int x, int y) { QCursor::setPos(x, y); }

void QtGetMousePos(int& x, int& y, int& button) {
  const QPoint p = QCursor::pos();
  x = p.x();
  y = p.y();
  button = Events.MouseButton;
}

void QtGetMouseEvent(int& x, int& y, int& button) {
  x = Events.MouseX;
  y = Events.MouseY;
  button = Events.MouseButton;
}

bool QtMousePresent() { return true; }
void QtMouseRelease() {}

bool QtAskYesNo(const std::string& text, const std::string& caption, bool questionIcon) {
  QMessageBox box(questionIcon ? QMessageBox::Question : QMessageBox::NoIcon, FromScreen(caption),
                  FromScreen(text), QMessageBox::Yes | QMessageBox::No, QtWindow.Window);
  const bool yes = box.exec() == QMessageBox::Yes;
  RestoreFocus();
  return yes;
}

int QtAskChoice(const std::string& text, const std::string& caption, const std::string& yes,
                const std::string& no, const std::string& cancel) {
  QMessageBox box(QMessageBox::Question, FromScreen(caption), FromScreen(text), QMessageBox::NoButton,
                  QtWindow.Window);
  QPushButton* yesButton = box.addButton(FromScreen(yes), QMessageBox::YesRole);
  QPushButton* noButton = box.addButton(FromScreen(no), QMessageBox::NoRole);
  QPushButton* cancelButton =
      cancel.empty() ? nullptr : box.addButton(FromScreen(cancel), QMessageBox::RejectRole);
  box.setDefaultButton(yesButton);
  box.setEscapeButton(cancelButton != nullptr ? cancelButton : noButton);
  box.exec();
  RestoreFocus();
  if (box.clickedButton() == yesButton) return kAnswerYes;
  if (box.clickedButton() == noButton || cancelButton == nullptr) return kAnswerNo;
  return kAnswerCancel;
}

bool QtFileDialog(bool open, const std::string& extension, std::string& path) {
  const QString ext = QString::fromStdString(extension);
  QFileDialog dialog(QtWindow.Window);
  dialog.setNameFilters({QStringLiteral("Drawing files (*.%1)").arg(ext),
                         QStringLiteral("All files (*.*)")});
  dialog.setDefaultSuffix(ext);
  dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  // The program asks itself, about the file it will really write: its own
  // extension replaces the one chosen.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  RestoreFocus();
  if (!accepted || dialog.selectedFiles().isEmpty()) return false;
  const QByteArray chosen = QFile::encodeName(dialog.selectedFiles().front());
  if (chosen.isEmpty() || chosen.size() > kMaxPathLength) return false;
  path = chosen.toStdString();
  return true;
}

// xdg-open ends at once with an error when no program takes the document,
// and otherwise runs until that program has taken it (or, with some
// programs, until they are closed): a short wait tells the two apart.
constexpr int kOpenerVerdictMs = 2000;

bool QtOpenDocument(const std::string& path) {
  const QString document = QFile::decodeName(path.c_str());
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty()) return QDesktopServices::openUrl(QUrl::fromLocalFile(document));
  auto* process = new QProcess;
  process->start(opener, {document});
  if (!process->waitForStarted()) {
    delete process;
    return false;
  }
  if (process->waitForFinished(kOpenerVerdictMs)) {
    const bool opened = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    delete process;
    return opened;
  }
  // Still busy with the document: it was taken. The process object goes
  // when the opener ends.
  QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
  return true;
}

void QtSetTitle(const std::string& title) {
  if (QtWindow.Window != nullptr) QtWindow.Window->setWindowTitle(QString::fromStdString(title));
}

void QtSetMenuLanguage(int language) { ShowMenuLanguage(language); }

void QtPostClose() { QtWindow.ClosePosted = true; }

}  // namespace

// --- Installation ----------------------------------------------------------------------

void InstallQtDriver(int& argc, char** argv) {
  if (QCoreApplication::instance() == nullptr) new QApplication(argc, argv);

  ResetPlatformDriver();
  InstallPictureDrawing(Drv);
  Drv.DrvInitGraphics = QtInitGraphics;
  Drv.DrvCloseGraphics = QtCloseGraphics;
  Drv.DrvReadKey = QtReadKey;
  Drv.DrvKeyPressed = QtKeyPressed;
  Drv.DrvWaitEvent = QtWaitEvent;
  Drv.DrvDelay = QtDelay;
  Drv.DrvClientOrigin = QtClientOrigin;
  Drv.DrvShowMouse = QtShowMouse;
  Drv.DrvHideMouse = QtHideMouse;
  Drv.DrvSetMousePos = QtSetMousePos;
  Drv.DrvGetMousePos = QtGetMousePos;
  Drv.DrvGetMouseEvent = QtGetMouseEvent;
  Drv.DrvMousePresent = QtMousePresent;
  Drv.DrvMouseRelease = QtMouseRelease;
  Drv.DrvAskYesNo = QtAskYesNo;
  Drv.DrvAskChoice = QtAskChoice;
  Drv.DrvFileDialog = QtFileDialog;
  Drv.DrvOpenDocument = QtOpenDocument;
  Drv.DrvSetTitle = QtSetTitle;
  Drv.DrvSetMenuLanguage = QtSetMenuLanguage;
  Drv.DrvFindFirst = FolderFindFirst;
  Drv.DrvFindNext = FolderFindNext;

  ClearEvents();
  ResetMenuBar();
  MenuBar.PostCloseHook = QtPostClose;

  if (QtWindow.Window == nullptr) {
    QtWindow.Clock.start();
    QtWindow.Window = new MainWindow;
    // The size it returns to when the user restores it from maximised.
    QtWindow.Window->setGeometry(0, 0, kRestoredWidth, kRestoredHeight);
  }
  QtWindow.PendingCount = 0;
  QtWindow.ClosePosted = false;
  QtWindow.ShowCount = 0;
  QtWindow.Window->showMaximized();
  // The window takes its maximised size and paints once now, while the
  // hooks are still the defaults; the picture then starts at that size.
  QCoreApplication::processEvents();
  Pic = Picture{};
  ResizePicture(QtWindow.View->width(), QtWindow.View->height());
  QtWindow.ResizePending = false;
}

}  // namespace platform

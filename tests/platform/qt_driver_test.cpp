// Tests of the Qt window under the offscreen platform, with synthetic
// events sent straight to the window's widgets.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>
#include <QWheelEvent>

#include <sys/stat.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/codepage.h"
#include "platform/driver.h"
#include "platform/events.h"
#include "platform/menu_bar.h"
#include "platform/picture.h"
#include "platform/qt/qt_driver.h"
#include "platform/qt/qt_window.h"

namespace platform {
namespace {

int gArgc = 1;
char gProgramName[] = "test_platform";
char* gArgv[] = {gProgramName, nullptr};

std::vector<std::string> Calls;
bool AnswerNo(const std::string& text, const std::string& caption, bool icon) {
  Calls.push_back("ask " + text + "|" + caption + (icon ? "|?" : ""));
  return false;
}

class QtDriver : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::BuildPalette();
    InstallQtDriver(gArgc, gArgv);
    Drv.DrvAskYesNo = AnswerNo;  // no modal boxes in tests
    Calls.clear();
  }
  static QWidget* View() { return QtWindow.View; }
  static void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent e(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(View(), &e);
  }
  static void Press(Qt::MouseButton button, QPointF at, Qt::MouseButtons held,
                    Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent e(QEvent::MouseButtonPress, at, View()->mapToGlobal(at), button, held, mods);
    QCoreApplication::sendEvent(View(), &e);
  }
  static void Wheel(int delta) {
    QWheelEvent e(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(View(), &e);
  }
  static std::vector<int> Drain() {
    std::vector<int> codes;
    while (Drv.DrvKeyPressed()) codes.push_back(Drv.DrvReadKey());
    return codes;
  }
};

// --- Window and menu bar -----------------------------------------------------------

TEST_F(QtDriver, WindowCaptionPictureSizeAndPointer) {
  EXPECT_TRUE(QtWindow.Window->isVisible());
  EXPECT_TRUE(QtWindow.Window->windowState() & Qt::WindowMaximized);
  Drv.DrvSetTitle("tank.spw* — Brelmora (RU)");
  EXPECT_EQ(QtWindow.Window->windowTitle(), QString::fromUtf8("tank.spw* — Brelmora (RU)"));
  EXPECT_EQ(std::pair(Drv.DrvScreenWidth(), Drv.DrvScreenHeight()), std::pair(View()->width(), View()->height()));
  EXPECT_GT(View()->width(), 1);
  Drv.DrvHideMouse();
  EXPECT_EQ(View()->cursor().shape(), Qt::BlankCursor);
  Drv.DrvShowMouse();
  EXPECT_EQ(View()->cursor().shape(), Qt::ArrowCursor);
  EXPECT_TRUE(Drv.DrvMousePresent());
}

TEST_F(QtDriver, MenuBarCaptionsFollowTheLanguage) {
  struct Row { int menu, item; const char *russian, *english; int command; };
  const Row rows[] = {
      {0, -1, "&Файл", "&File", 0},
      {0, 0, "&Создать...", "&New...", 101},
      {0, 4, "В&ыход", "E&xit", 104},
      {1, -1, "&Правка", "&Edit", 0},
      {1, 0, "&Отменить\tAlt+Backspace", "&Undo\tAlt+Backspace", 201},
      {1, 1, "&Вернуть\tAlt+Shift+Backspace", "&Redo\tAlt+Shift+Backspace", 202},
      {2, -1, "&Руководство пользователя", "&Help", 0},
      {2, 6, "Руководство пользователя", "User's guide", 304},
  };
  const QList<QAction*> menus = QtWindow.Window->menuBar()->actions();
  ASSERT_EQ(menus.size(), 3);
  for (int language : {1, 2, 0}) {  // Polish shows the Russian captions
    Drv.DrvSetMenuLanguage(language);
    for (const Row& r : rows) {
      QAction* a = r.item < 0 ? menus[r.menu] : menus[r.menu]->menu()->actions()[r.item];
      EXPECT_EQ(a->text().toStdString(), language == 1 ? r.english : r.russian) << language;
      if (r.item >= 0) {
        EXPECT_EQ(a->data().toInt(), r.command);
      }
    }
  }
}

// --- Keys ------------------------------------------------------------------------------

TEST_F(QtDriver, EveryTableKeyGivesItsCodeAndNoOtherKeyAny) {
  struct Row { int key; Qt::KeyboardModifiers mods; int code; };
  const Qt::KeyboardModifiers none = Qt::NoModifier, ctrl = Qt::ControlModifier,
                              shift = Qt::ShiftModifier;
  const Row rows[] = {
      {Qt::Key_Left, none, 75},      {Qt::Key_Right, none, 77},   {Qt::Key_Up, none, 72},
      {Qt::Key_Down, none, 80},      {Qt::Key_Left, ctrl, 115},   {Qt::Key_Right, ctrl, 116},
      {Qt::Key_Up, ctrl, 141},       {Qt::Key_Down, ctrl, 145},   {Qt::Key_Home, ctrl, 119},
      {Qt::Key_Left, shift, 155},    {Qt::Key_Right, shift, 157}, {Qt::Key_Up, shift, 152},
      {Qt::Key_Down, shift, 160},    {Qt::Key_PageUp, none, 73},  {Qt::Key_PageDown, none, 81},
      {Qt::Key_Home, none, 71},      {Qt::Key_End, none, 79},     {Qt::Key_End, ctrl, 117},
      {Qt::Key_F1, none, 59},        {Qt::Key_Backspace, Qt::AltModifier, 14},
      {Qt::Key_Backspace, Qt::AltModifier | shift, 15},
      // Modifiers the table does not match, and keys outside it, give nothing.
      {Qt::Key_Left, ctrl | shift, -1}, {Qt::Key_PageUp, shift, -1}, {Qt::Key_PageDown, shift, -1},
      {Qt::Key_Backspace, Qt::AltModifier | ctrl, -1}, {Qt::Key_Home, ctrl | shift, -1},
      {Qt::Key_End, shift, -1}, {Qt::Key_Insert, none, -1},
  };
  for (const Row& r : rows) {
    Key(r.key, r.mods);
    const std::vector<int> want = r.code < 0 ? std::vector<int>{} : std::vector<int>{0, r.code};
    EXPECT_EQ(Drain(), want) << r.key << " " << r.mods.toInt();
  }
  Key(Qt::Key_Delete, Qt::NoModifier, QString(QChar(127)));
  EXPECT_EQ(Events.Count, 0);
}

// Control characters (Tab among them: it stays with the window, not the
// focus chain), letters, and Cyrillic letters in the Windows code page.
TEST_F(QtDriver, CharactersArriveAsTheirCodes) {
  View()->setFocus();
  Key(Qt::Key_Z, Qt::ControlModifier, QString(QChar(26)));
  Key(Qt::Key_A, Qt::ControlModifier);
  Key(Qt::Key_Return, Qt::NoModifier, "\r");
  Key(Qt::Key_Enter, Qt::KeypadModifier, "\r");
  Key(Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
  Key(Qt::Key_Tab, Qt::NoModifier, "\t");
  Key(Qt::Key_Backspace, Qt::NoModifier, "\b");
  Key(Qt::Key_7, Qt::NoModifier, "7");
  Key(Qt::Key_Q, Qt::ShiftModifier, "Q");
  Key(0x42F, Qt::NoModifier, QString::fromUtf8("я"));
  Key(0x416, Qt::ShiftModifier, QString::fromUtf8("Ж"));
  Key(0x401, Qt::NoModifier, QString::fromUtf8("ё"));
  Key(0x20AC, Qt::NoModifier, QString::fromUtf8("€"));  // no byte for it: nothing
  EXPECT_EQ(Drain(), (std::vector<int>{26, 1, 13, 13, 27, 9, 8, '7', 'Q', 0xFF, 0xC6, 0xB8}));
  // A posted key is handled only when the program reads a key.
  QCoreApplication::postEvent(View(), new QKeyEvent(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier, "k"));
  EXPECT_EQ(Events.Count, 0);
  EXPECT_EQ(Drv.DrvReadKey(), 'k');
}

// The event model's queue, first in first out, keeps the newest 64 codes.
TEST_F(QtDriver, FloodOfKeysKeepsTheNewestSixtyFour) {
  std::vector<int> newest;
  for (int i = 0; i < 100; ++i) {
    Key(Qt::Key_unknown, Qt::NoModifier, QString(QChar('0' + i % 75)));
    if (i >= 36) newest.push_back('0' + i % 75);
  }
  EXPECT_EQ(Drain(), newest);
  EXPECT_EQ(std::pair(Events.Count, int{PopKey()}), std::pair(0, 0));
}

// --- Mouse -------------------------------------------------------------------------------

// The window's mouse events as the event model takes them: a left click
// is a blank, a right click Enter, the middle button "B" only when held
// alone, a move notes the place, the wheel pages.
TEST_F(QtDriver, MouseEventsBecomeKeysAndState) {
  struct Row { void (*Event)(); std::vector<int> codes; int x, y, button; };
  const Row rows[] = {
      {[] { Press(Qt::LeftButton, QPointF(40, 30), Qt::LeftButton); }, {32}, 40, 30, kMouseLeft},
      {[] { Press(Qt::RightButton, QPointF(3, 4), Qt::RightButton); }, {13}, 3, 4, kMouseRight},
      {[] {
         Press(Qt::MiddleButton, QPointF(3, 4), Qt::MiddleButton | Qt::LeftButton);
         Press(Qt::MiddleButton, QPointF(3, 4), Qt::MiddleButton, Qt::ControlModifier);
         Press(Qt::MiddleButton, QPointF(3, 4), Qt::MiddleButton);
       }, {66}, 3, 4, kMouseRight},
      {[] {
         QMouseEvent move(QEvent::MouseMove, QPointF(77, 66), View()->mapToGlobal(QPointF(77, 66)),
                          Qt::NoButton, Qt::NoButton, Qt::NoModifier);
         QCoreApplication::sendEvent(View(), &move);
       }, {}, 77, 66, kMouseMoved},
      {[] { Wheel(120); Wheel(-120); Wheel(0); }, {0, 73, 0, 81}, 77, 66, kMouseMoved},
  };
  for (const Row& r : rows) {
    r.Event();
    EXPECT_EQ(Drain(), r.codes);
    int x = 0, y = 0, button = 0;
    Drv.DrvGetMouseEvent(x, y, button);
    EXPECT_EQ((std::array{x, y, button}), (std::array{r.x, r.y, r.button}));
  }
}

// --- Window work ---------------------------------------------------------------------------

TEST_F(QtDriver, ResizeResizesThePictureAndRedraws) {
  MenuBar.RedrawHook = [] { Calls.push_back("redraw"); };
  QResizeEvent resize(QSize(300, 200), View()->size());
  QCoreApplication::sendEvent(View(), &resize);
  EXPECT_TRUE(Calls.empty());  // not inside the event handler
  Drv.DrvKeyPressed();
  EXPECT_EQ(Calls, (std::vector<std::string>{"redraw"}));
  EXPECT_EQ(std::pair(Drv.DrvScreenWidth(), Drv.DrvScreenHeight()), std::pair(300, 200));
}

// Every item runs through MenuCommandHook; after a menu, chosen from or
// closed without a command, the keyboard goes back to the picture.
TEST_F(QtDriver, MenuItemsRunThroughMenuCommandHookAndGiveTheKeyboardBack) {
  MenuBar.MenuCommandHook = [](int n) { Calls.push_back("command " + std::to_string(n)); };
  QtWindow.Window->activateWindow();
  QtWindow.Window->menuBar()->setFocus();
  for (QAction* menu : QtWindow.Window->menuBar()->actions())
    for (QAction* item : menu->menu()->actions())
      if (!item->isSeparator()) item->trigger();
  Drv.DrvKeyPressed();
  EXPECT_EQ(Calls, (std::vector<std::string>{"command 101", "command 102", "command 103",
                                             "command 104", "command 201", "command 202",
                                             "command 303", "command 302", "command 301",
                                             "command 305", "command 304"}));
  EXPECT_EQ(QApplication::focusWidget(), View());
  QMenu* edit = QtWindow.Window->menuBar()->actions()[1]->menu();
  QtWindow.Window->menuBar()->setFocus();
  edit->popup(QPoint(10, 10));
  edit->hide();
  EXPECT_EQ(QApplication::focusWidget(), View());
}

TEST_F(QtDriver, ChoiceBoxHasTheProgramsButtons) {
  struct Row { const char* click; const char* cancel; int answer; };
  const Row rows[] = {{"Сохранить", "Отмена", kAnswerYes}, {"Не сохранять", "Отмена", kAnswerNo},
                      {"Отмена", "Отмена", kAnswerCancel}, {"Esc", "", kAnswerNo}};
  for (const Row& r : rows) {
    static std::string click;
    click = r.click;
    QTimer::singleShot(0, [] {
      QWidget* box = QApplication::activeModalWidget();
      ASSERT_NE(box, nullptr);
      if (click == "Esc") {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &esc);
      }
      for (QPushButton* b : box->findChildren<QPushButton*>())
        if (b->text() == QString::fromUtf8(click)) b->click();
    });
    EXPECT_EQ(Drv.DrvAskChoice("Сохранить?"_sc, "Brelmora", "Сохранить"_sc, "Не сохранять"_sc,
                               gfx::ScreenFromUtf8(r.cancel)),
              r.answer) << r.click;
  }
}

TEST_F(QtDriver, WaitingForTheUserEndsWithHisFirstEvent) {
  QTimer::singleShot(20, [] {
    QMouseEvent move(QEvent::MouseMove, QPointF(31, 32), View()->mapToGlobal(QPointF(31, 32)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(View(), &move);
  });
  // Each wait ends with some event of the window system; the move comes
  // after a few at most.
  for (int waits = 0; waits < 50 && Events.MouseX != 31; ++waits) Drv.DrvWaitEvent();
  EXPECT_EQ(Events.MouseX, 31);
  EXPECT_EQ(Events.Count, 0);
}

TEST_F(QtDriver, ADocumentNoProgramTakesIsReported) {
  char folder[] = "/tmp/brelmora-opener-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string path = std::getenv("PATH");
  setenv("PATH", folder, 1);
  const std::string opener = std::string(folder) + "/xdg-open";
  for (int status : {0, 3}) {  // 3: xdg-open found no program for it
    std::ofstream(opener) << "#!/bin/sh\nexit " << status << "\n";
    chmod(opener.c_str(), 0755);
    EXPECT_EQ(Drv.DrvOpenDocument("/tmp/VOD.HTM"), status == 0) << status;
  }
  setenv("PATH", path.c_str(), 1);
  std::remove(opener.c_str());
  rmdir(folder);
}

// New asks to save (no) and runs the new hook; the close box asks to end
// and, refused, leaves the window open.
TEST_F(QtDriver, NewItemAndCloseBoxAsk) {
  MenuBar.NewHook = [] { Calls.push_back("new"); };
  QtWindow.Window->menuBar()->actions()[0]->menu()->actions()[0]->trigger();
  Drv.DrvKeyPressed();
  QCloseEvent close;
  QCoreApplication::sendEvent(QtWindow.Window, &close);
  EXPECT_FALSE(close.isAccepted());
  Drv.DrvKeyPressed();
  EXPECT_EQ(Calls, (std::vector<std::string>{"ask Save file?|Edited|?", "new",
                                             "ask " + std::string("                  Закончить работу?"_sc) + "|Exit"}));
  EXPECT_TRUE(QtWindow.Window->isVisible());
}

TEST_F(QtDriver, ExitItemAndYesEndTheProgramWithCodeZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  Drv.DrvAskYesNo = [](const std::string&, const std::string&, bool) { return true; };
  EXPECT_EXIT(
      {
        QtWindow.Window->menuBar()->actions()[0]->menu()->actions()[4]->trigger();
        Drv.DrvKeyPressed();
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(QtDriver, DrawingReachesTheWindowsPicture) {
  Drv.DrvInitGraphics();
  Drv.DrvLine(0, 0, 9, 0, 12);
  EXPECT_EQ(PictureColour(9, 0), 0x0000FFu);
  EXPECT_TRUE(Pic.Dirty);
  QtWindow.LastPresentNs = -kPresentIntervalNs;
  Drv.DrvKeyPressed();
  EXPECT_FALSE(Pic.Dirty);
  const QImage shown = View()->grab().toImage();
  EXPECT_EQ(shown.pixel(5, 0) & 0xFFFFFFu, 0xFF0000u);
}

}  // namespace
}  // namespace platform

// src/help/help.cpp — the help pages and the user's guide command.
//
// Index:
//   1. page services
//   2. the key summary in three languages
//   3. the page about the framework
//   4. the eight pages on working with the program
//   5. the user's guide
#include "help/help.h"

#include <unistd.h>

#include <cstdio>
#include <iterator>

#include "graphics/kernel.h"
#include "graphics/lang.h"
#include "graphics/text.h"
#include "menu/menu.h"
#include "platform/codepage.h"
#include "platform/driver.h"

namespace help {

HelpState Help;

namespace {
constexpr std::uint8_t kEsc = 27;
}  // namespace

// ---------------------------------------------------------------------------
// 1. Page services

void HelpLayout() {
  menu::ClearPicture();  // also brings the screen layout up to date
  const int w = gfx::Layout.PictureWidth, h = gfx::Layout.PictureHeight;
  Help.BlockWidth = w / 2 + w / 5;
  Help.Margin = (w - Help.BlockWidth) / 2;
  if (Help.Margin < 2) Help.Margin = 0;
  Help.Pitch = Help.BlockWidth / kCharsPerLine;
  Help.Step = h / kLinesPerPage;
  Help.Y = Help.Step + kTitleGap;
  gfx::SetColor(gfx::kForeground);
}

void HelpLine(std::string_view text) {
  Help.Y += Help.Step;
  const int n = static_cast<int>(text.size());
  gfx::DrawTextPixels(text, Help.Margin, Help.Y, Help.Margin + Help.Pitch * n, Help.Y,
                      Help.Margin, Help.Y - Help.Pitch, 0);
}

void HelpTitleLine(std::string_view title) {
  gfx::DrawTextPixels(title, Help.Margin, Help.Y, Help.Margin + Help.BlockWidth, Help.Y,
                      Help.Margin, Help.Y - Help.Step, 0);
  Help.Y += kTitleGap;
}

void HelpPrompt(std::uint8_t& key) {
  key = menu::PromptAndReadKey(" Нажмите клавишу: пробел - дальше, 1-назад, Esc-закончить"_sc);
}

std::string_view ProductTitle() { return "             B r e l m o r a             "; }

namespace {
template <std::size_t N>
void Lines(const char* const (&lines)[N]) {
  for (const char* line : lines) HelpLine(line);
}
}  // namespace

// ---------------------------------------------------------------------------
// 2. The key summary. The lines list the keys themselves, ";" among them, so
// each language has its own table rather than ";"-separated variants.

namespace {
const char* const kSummaryRussian[] = {
    "Выход из программы: Ctrl-Z, затем цифра 0"_sc,
    "Цифры 1..9 - выбор пункта меню"_sc,
    "F - возврат в главное меню"_sc,
    "], Enter, правая кнопка мыши - завершить ввод или меню"_sc,
    "[ и Esc - отказ, шаг назад"_sc,
    "Alt-Backspace/Alt-Shift-Backspace - отменить/вернуть; F1 - помощь"_sc,
    "Стрелки - сдвиг изображения, Ctrl-стрелки - поворот"_sc,
    "R - перерисовать; Page Up, Page Down - изменить масштаб"_sc,
    "Ctrl-V и цифра - запомнить вид, V и цифра - вызвать вид"_sc,
    "B - всё изображение на экране; Z - увеличить окно"_sc,
    "Shift-2 - два окна, Tab - переход из окна в окно"_sc,
    "X - шаг сетки; Ctrl-D - удалить последний объект"_sc,
    ""_sc,
    "Курсор:"_sc,
    "Стрелки - движение курсора; X - шаг курсора"_sc,
    "+ и - : увеличить и уменьшить шаг"_sc,
    "Пробел или левая кнопка мыши - точка в центре курсора"_sc,
    "E - ближайший узел сетки; K - ввод координат"_sc,
    "D - смещение от последней точки"_sc,
    "P, L, A, M, C, T, U - выбор объекта по букве"_sc,
    "; - сменить цвет фона; / - сменить расположение меню"_sc,
};

const char* const kSummaryEnglish[] = {
    "Leaving the program: Ctrl-Z, then the digit 0",
    "Digits 1..9 - choose a menu item",
    "F - back to the main menu",
    "], Enter, right mouse button - complete the input or the menu",
    "[ and Esc - refuse, one step back",
    "Alt-Backspace/Alt-Shift-Backspace - undo/redo an edit; F1 - help",
    "Arrows - move the picture, Ctrl-arrows - turn it",
    "R - redraw; Page Up, Page Down - change the scale",
    "Ctrl-V and a digit - store the view, V and a digit - recall it",
    "B - the whole picture on the screen; Z - zoom to a window",
    "Shift-2 - two windows, Tab - from one window to the other",
    "X - grid step; Ctrl-D - delete the last object",
    "",
    "Cursor:",
    "Arrows - move the cursor; X - cursor step",
    "+ and - : larger and smaller step",
    "Space or left mouse button - the point at the cursor centre",
    "E - nearest grid node; K - type the coordinates",
    "D - displacement from the last point",
    "P, L, A, M, C, T, U - choose an object by its letter",
    "; - change the background colour; / - change the menu layout",
};

const char* const kSummaryPolish[] = {
    "Wyj~scie z programu: Ctrl-Z, potem cyfra 0",
    "Cyfry 1..9 - wyb~or pozycji menu",
    "F - powr~ot do menu g~l~ownego",
    "], Enter, prawy przycisk myszy - zako~nczenie",
    "[ i Esc - rezygnacja, krok wstecz",
    "Alt-Backspace/Alt-Shift-Backspace - cofnij/powt~orz; F1 - pomoc",
    "Strza~lki - przesuni~ecie rysunku, Ctrl-strza~lki - obr~ot",
    "R - od~swie~zenie; Page Up, Page Down - zmiana skali",
    "Ctrl-V i cyfra - zapami~etanie widoku, V i cyfra - przywo~lanie",
    "B - ca~ly rysunek na ekranie; Z - powi~ekszenie okna",
    "Shift-2 - dwa okna, Tab - przej~scie mi~edzy oknami",
    "X - krok siatki; Ctrl-D - usuni~ecie ostatniego obiektu",
    "",
    "Kursor:",
    "Strza~lki - ruch kursora; X - krok kursora",
    "+ i - : wi~ekszy i mniejszy krok",
    "Spacja lub lewy przycisk myszy - punkt w ~srodku kursora",
    "E - najbli~zszy w~eze~l siatki; K - wpisanie wsp~o~lrz~ednych",
    "D - przesuni~ecie od ostatniego punktu",
    "P, L, A, M, C, T, U - wyb~or obiektu liter~a",
    "; - zmiana koloru t~la; / - zmiana uk~ladu menu",
};
}  // namespace

HelpSlots Slots;

void KeySummaryPage() {
  HelpLayout();
  HelpTitleLine(ProductTitle());
  switch (gfx::LanguageIndex) {
    case 1: Lines(kSummaryEnglish); break;
    case 2: Lines(kSummaryPolish); break;
    default: Lines(kSummaryRussian); break;
  }
  Slots.AppKeySummaryHook();
  menu::PromptAndReadKey(gfx::LangPart(" Нажмите любую клавишу;Press any key;Press any key"_sc));
}

// ---------------------------------------------------------------------------
// 3. The framework

namespace {
const char* const kAboutSystem[] = {
    "  Brelmora - небольшая система черчения и расчётов, на которой"_sc,
    "построена эта программа. Система берёт на себя всё, что нужно"_sc,
    "прикладной программе для работы с изображением и с человеком."_sc,
    ""_sc,
    "  Состав системы:"_sc,
    "- меню внизу экрана с выбором пунктов цифрами, строки подсказок,"_sc,
    "  ввод чисел и текстов с русской и латинской раскладкой;"_sc,
    "- трёхмерный вид с управлением от клавиатуры: сдвиг, поворот,"_sc,
    "  масштаб, запомненные и стандартные виды, одно или два окна;"_sc,
    "- курсор с шагом, сетка, выбор точек и объектов;"_sc,
    "- векторный шрифт с русскими и польскими буквами;"_sc,
    "- буфер чертежа, через который изображение идёт на экран,"_sc,
    "  на принтер и в файлы обмена;"_sc,
    "- запись чертежа в файлы DXF, PLT, UGF, GEO и TRE;"_sc,
    "- печать на системном принтере на одном или нескольких листах;"_sc,
    "- страницы подсказки и руководство пользователя;"_sc,
    "- тонкий слой связи с оконной системой."_sc,
    ""_sc,
    "  Прикладная программа задаёт только свои данные, свои меню и"_sc,
    "свой рисунок; всё остальное делает система."_sc,
};
}  // namespace

void AboutSystemPage() {
  HelpLayout();
  HelpTitleLine(ProductTitle());
  Lines(kAboutSystem);
  menu::PromptAndReadKey(" Нажмите любую клавишу"_sc);
}

// ---------------------------------------------------------------------------
// 4. Working with the program

namespace {
const char* const kPage1[] = {
    "Особенности интерфейса"_sc,
    ""_sc,
    "  Программа рассчитана прежде всего на работу с клавиатуры."_sc,
    "Внизу экрана выводится небольшое меню того, что делается"_sc,
    "сейчас. Его пункты пронумерованы, и пункт выбирается нажатием"_sc,
    "клавиши с его номером."_sc,
    "  Меню сменяют друг друга по ходу работы: в каждом есть только"_sc,
    "то, что нужно в данный момент. Помнить много команд не нужно -"_sc,
    "достаточно читать меню."_sc,
    "  Мышью можно нажимать кнопки меню; левая кнопка мыши заменяет"_sc,
    "пробел, правая - клавишу завершения."_sc,
    "  Изображение перестраивается сразу после каждого изменения."_sc,
};
const char* const kPage2[] = {
    "Выход из программы"_sc,
    ""_sc,
    "  Чтобы закончить работу, нажмите Ctrl-Z: откроется меню файлов,"_sc,
    "в котором цифра 0 завершает программу."_sc,
    "  В том же меню данные записываются на диск, поэтому Ctrl-Z -"_sc,
    "и самый короткий путь к сохранению."_sc,
    "  Esc в главном меню снова показывает главное меню; во вложенных"_sc,
    "меню Esc поднимает на уровень выше."_sc,
    "  Если данные изменены и не записаны, программа перед выходом"_sc,
    "спрашивает, записать ли их: Y - записать, N - не записывать,"_sc,
    "Esc - остаться. Так же спрашивают кнопка закрытия окна и"_sc,
    "команды меню Файл. Без изменений выход прежний."_sc,
    "  Пока изменения не записаны, их копия лежит в файле"_sc,
    "восстановления; после сбоя программа предложит её вернуть."_sc,
};
const char* const kPage3[] = {
    "Управление изображением"_sc,
    ""_sc,
    "  Стрелки сдвигают изображение; Ctrl-стрелки и Shift-стрелки"_sc,
    "поворачивают его на 15 градусов."_sc,
    "  Page Up и Page Down увеличивают и уменьшают масштаб."_sc,
    "  B - всё изображение на экране, Z - увеличить выбранное окно,"_sc,
    "R - перерисовать."_sc,
    "  Любая клавиша прерывает перерисовку, так что ждать конца"_sc,
    "долгого рисунка не нужно."_sc,
    "  Запятая и точка меняют местами назначение стрелок и"_sc,
    "Ctrl-стрелок: сдвиг становится поворотом и наоборот."_sc,
    "  Shift-запятая задаёт повороты на 5 градусов, Shift-точка -"_sc,
    "более мелкие сдвиги."_sc,
};
const char* const kPage4[] = {
    "Управляющие клавиши"_sc,
    ""_sc,
    "  Меню выводятся в нижней части экрана. Первая строка меню -"_sc,
    "заголовок, ниже - пронумерованные пункты."_sc,
    "  Цифры 1..9 выбирают пункт. Если в пункте стоит число, сразу"_sc,
    "предлагается ввести новое значение."_sc,
    "  Клавиша ], Enter и правая кнопка мыши завершают ввод или"_sc,
    "работу с меню."_sc,
    "  Клавиша [ и Esc означают отказ: введённое значение не"_sc,
    "принимается, меню возвращается на шаг назад."_sc,
    "  Alt-Backspace отменяет последнюю правку данных,"_sc,
    "Alt-Shift-Backspace возвращает её; то же делают пункты меню"_sc,
    "Правка. Открытый файл отменяется как одна правка."_sc,
    "  F1 показывает подсказку к тому, что делается сейчас."_sc,
};
const char* const kPage5[] = {
    "Переход в другое меню"_sc,
    ""_sc,
    "  [ - вернуться в предыдущее меню; ] и Enter - завершить меню;"_sc,
    "Esc - отказаться и выйти на уровень выше."_sc,
    "  F - сразу вернуться в главное меню. J и буквы P, L, A, M, S, X"_sc,
    "вызывают свои меню из любого места."_sc,
    "  Ctrl-V с цифрой запоминает текущий вид под этим номером,"_sc,
    "V с цифрой восстанавливает его."_sc,
    "  Под цифрой 0 собраны девять стандартных видов: спереди,"_sc,
    "сверху, сбоку и в аксонометрии."_sc,
};
const char* const kPage6[] = {
    "Выбор курсором"_sc,
    ""_sc,
    "  Когда программе нужна точка или объект, на экране появляется"_sc,
    "курсор - перекрестие."_sc,
    "  Курсор движется в рабочей плоскости. Она проходит через"_sc,
    "выбранную точку и поворачивается вместе с изображением."_sc,
    "  Курсор можно вести и мышью: он следует за указателем, а левая"_sc,
    "кнопка мыши берёт точку, как пробел."_sc,
};
const char* const kPage7[] = {
    "Выбор курсором (продолжение)"_sc,
    ""_sc,
    "  Стрелки двигают курсор на один шаг вдоль локальных осей X и Y"_sc,
    "рабочей плоскости."_sc,
    "  Shift-Up и Shift-Down двигают курсор вдоль оси Z."_sc,
    "  + и - увеличивают и уменьшают шаг курсора."_sc,
    "  End возвращает курсор в рабочую плоскость."_sc,
    "  Координаты курсора всё время видны в правом нижнем углу"_sc,
    "экрана."_sc,
};
const char* const kPage8[] = {
    "Выбор курсором (продолжение)"_sc,
    ""_sc,
    "  Точка или объект выбирается курсором и буквой:"_sc,
    "  пробел или левая кнопка мыши - точка в центре курсора;"_sc,
    "  E - ближайший к курсору узел сетки;"_sc,
    "  K - точка по введённым координатам;"_sc,
    "  P, L, A, M, S, C, J, U - ближайший к курсору объект того"_sc,
    "вида, который обозначает буква."_sc,
};

void InterfacePage(int page) {
  HelpLayout();
  switch (page) {
    case 1: Lines(kPage1); break;
    case 2: Lines(kPage2); break;
    case 3: Lines(kPage3); break;
    case 4: Lines(kPage4); break;
    case 5: Lines(kPage5); break;
    case 6: Lines(kPage6); break;
    case 7: Lines(kPage7); break;
    default: Lines(kPage8); break;
  }
}
}  // namespace

void InterfacePages(int firstPage) {
  constexpr int kLastPage = 8;
  int page = firstPage < 1 ? 1 : firstPage > kLastPage ? kLastPage : firstPage;
  for (;;) {
    InterfacePage(page);
    std::uint8_t key = 0;
    if (page == 1) {
      key = menu::PromptAndReadKey(" Нажмите клавишу: пробел - дальше, Esc-закончить"_sc);
      if (key == kEsc) break;
      if (key != '1') page = 2;
    } else if (page < kLastPage) {
      HelpPrompt(key);
      if (key == kEsc) break;
      page += key == '1' ? -1 : 1;
    } else {
      key = menu::PromptAndReadKey(" Нажмите клавишу: 1-назад, Esc-закончить"_sc);
      if (key != '1') break;
      page = kLastPage - 1;
    }
  }
  // The redraw that follows brings the picture back under this prompt.
  menu::PromptLine(0, " Нажмите любую клавишу"_sc);
}

// ---------------------------------------------------------------------------
// 5. The user's guide

std::string ProgramFolder() {
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  std::string path(buffer, static_cast<std::size_t>(n));
  const std::size_t cut = path.find_last_of("\\:/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

void OpenHtmlHelp(const std::string& name) {
  const std::string path = ProgramFolder() + name;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    std::fclose(f);
    if (platform::Drv.DrvOpenDocument(path)) return;
    // No program takes HTML here: the user can open the guide by hand.
    const int mode = gfx::TextMode;
    gfx::TextMode = gfx::kTextModePlain;
    menu::PromptAndReadKey(gfx::LangPart("Нет программы для HTML. Руководство: ;No program opens HTML. The guide: "_sc) +
                           gfx::ScreenFromUtf8(path));
    gfx::TextMode = mode;
    return;
  }
  HelpLayout();
  const int mode = gfx::TextMode;
  gfx::TextMode = gfx::kTextModePlain;  // the path's backslashes are characters
  HelpLine(std::string("  Не найден файл "_sc) + gfx::ScreenFromUtf8(path));
  gfx::TextMode = mode;
  menu::PromptAndReadKey(" Нажмите любую клавишу"_sc);
}

}  // namespace help

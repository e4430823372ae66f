// src/exchange/file_menu.cpp — the file menu and its export driver.
#include "exchange/file_menu.h"

#include "exchange/exchange.h"
#include "exchange/file_io.h"
#include "graphics/lang.h"
#include "menu/input.h"
#include "platform/codepage.h"
#include "platform/driver.h"
#include "platform/file_write.h"

namespace exchange {

FileMenuState Files;

namespace {

using menu::KeyCode;

constexpr KeyCode kCtrlP = 16;
constexpr const char* kOtherVersion = "Реализовано в другой версии программы;Available in another version of the program"_sc;

std::string NoSave(const std::string&, std::string&) { return std::string(); }
std::string NoLoad(const std::string&, std::string&) { return std::string(); }
void NoName(const std::string&) {}
void Nothing() {}
void NoPrint(KeyCode&) {}
void NoInput(KeyCode&) {}
std::string NoChoice(const std::string&) { return std::string(); }
bool NothingUnsaved(std::string&) { return false; }

// What this program does not provide: said for half a second.
void OtherVersion() {
  menu::PromptLine(0, gfx::LangPart(kOtherVersion));
  platform::Drv.DrvDelay(500);
}

// An export this program does not provide: the reason comes back as the
// failure (UTF-8), for the prompt line and for the command line alike.
std::string NoExport(const std::string&) {
  return gfx::Utf8FromScreen(gfx::LangPart(kOtherVersion));
}

void Tell(const std::string& text) { menu::PromptAndReadKey(text); }


// A name typed from scratch; a name already there is a suggestion that the
// first key typed replaces.
void EditName(const char* prompt, std::string& name) {
  menu::KeyboardLayout = 0;
  menu::EditLine(prompt, name, true);
}

// The data file's name, asked again while an existing file is not to be
// overwritten; false when the user gave none.
bool AskDataFileName() {
  for (;;) {
    EditName("Вывод в файл :;Output to file"_sc, Files.FileName);
    if (Files.FileName.empty()) return false;
    const std::string full = Files.FileName + Files.DataExt;
    if (!FileExists(FileSystemName(full))) return true;
    KeyCode answer = 0;
    AskOverwrite(full, answer);
    if (answer == 'Y' || answer == 'y') return true;
  }
}

// Step 4 of the file menu: the name, the comment (the file's header line),
// the save. True when the file was written.
bool OutputToFile() {
  if (!AskDataFileName()) return false;
  menu::KeyboardLayout = 1;
  menu::EditLine("Заголовок файла ;Comment"_sc, Files.FileComment);
  return SaveDataFile(Files.FileName, Files.FileComment);
}

// The exit question when the work has changed since it was read or
// written: Y saves the usual way and leaves only when that worked, N
// leaves without saving, any other key stays. True: leave.
bool LeaveChangedWork(const std::string& shown) {
  const KeyCode answer = menu::PromptAndReadKey(
      gfx::LangPart("Изменения в ;Changes to "_sc) + shown +
      gfx::LangPart(" не сохранены. Сохранить? (Y/N, Esc - остаться); are not saved. Save them? (Y/N, Esc - stay)"_sc));
  if (answer == 'Y' || answer == 'y') return OutputToFile();
  return answer == 'N' || answer == 'n';
}

void InputFromFile() {
  Files.FileName = FileSlots.ChooseFile("*" + Files.DataExt);
  if (!Files.FileName.empty()) LoadDataFile(Files.FileName, Files.FileComment);
}

}  // namespace

namespace {
constexpr FileMenuSlots kDefaultFileSlots{NoSave, NoLoad,   NoName,   NoName,  Nothing,
                                          NoPrint, NoInput, NoChoice, Nothing, NothingUnsaved};
constexpr ExportSlots kDefaultExports{NoExport, NoExport, NoExport, NoExport, NoExport, NoExport, NoExport};
}  // namespace

FileMenuSlots FileSlots = kDefaultFileSlots;
ExportSlots Exports = kDefaultExports;

void ResetFileMenuSlots() {
  FileSlots = kDefaultFileSlots;
  Exports = kDefaultExports;
}

std::string FileSystemName(const std::string& screenName) { return gfx::Utf8FromScreen(screenName); }

bool SaveDataAt(const std::string& path, const std::string& shown, const std::string& comment) {
  std::string bytes, error;
  error = FileSlots.SaveData(comment, bytes);
  if (error.empty() && !platform::WriteFileAtomic(path, bytes, error)) error = gfx::ScreenFromUtf8(error);
  if (!error.empty()) {
    Tell(shown + ": " + error);
    return false;
  }
  return true;
}

bool LoadDataAt(const std::string& path, const std::string& shown, std::string& comment) {
  menu::PromptLine(0, shown);
  std::string bytes, error;
  if (!ReadWholeFile(path, bytes, error)) {
    Tell(shown + ": " + gfx::ScreenFromUtf8(error));
    return false;
  }
  error = FileSlots.LoadData(bytes, comment);
  if (!error.empty()) {
    Tell(shown + ": " + error);
    return false;
  }
  return true;
}

bool SaveDataFile(const std::string& name, const std::string& comment) {
  const std::string full = name + Files.DataExt;
  if (!SaveDataAt(FileSystemName(full), full, comment)) return false;
  FileSlots.AfterSave(name);
  return true;
}

bool LoadDataFile(const std::string& name, std::string& comment) {
  const std::string full = name + Files.DataExt;
  if (!LoadDataAt(FileSystemName(full), full, comment)) return false;
  FileSlots.AfterLoad(name);
  FileSlots.RedrawPicture();
  return true;
}

void ReportOutputDone() {
  menu::PromptLine(0, gfx::LangPart("Вывод завершен;Output done"_sc));
  platform::Drv.DrvReadKey();
}

void AskOverwrite(const std::string& fullName, KeyCode& key) {
  menu::PromptLine(0, gfx::LangPart("Файл ;File "_sc) + fullName + gfx::LangPart(" уже есть.; exists."_sc));
  menu::PromptLine(1, gfx::LangPart("Выводить в старый файл? (Y/N);Write over the old file? (Y/N)"_sc));
  key = platform::Drv.DrvReadKey();
}

void FileMenu(KeyCode& key) {
  bool show = true;
  if (key == menu::kKeyCtrlZ || key == menu::kKeyEnd) {
    show = false;
    key = '3';
  } else if (key == kCtrlP) {
    show = false;
  }
  for (;;) {
    if (show) {
      menu::SetTextItem(0, "Файл/выход -"_sc + Files.FileName + ";File/Exit " + Files.FileName);
      menu::SetTextItems(1, {"Вывод в файл;Output to file"_sc, "Ввод из файла;Input from file"_sc,
                             "Выход    (Ctrl-Z);Exit   (Ctrl-Z)"_sc, "Другой файл;Another file"_sc,
                             "Принтер/Экспорт;Printer/Export"_sc, "Ввод файла .BMP;Input file .BMP"_sc,
                             "Импорт;Import"_sc});
      menu::RunMenu(7, key);
      if (key < 16) return;
    }
    show = true;
    switch (key) {
      case '1': OutputToFile(); break;
      case '2': InputFromFile(); break;
      case '3': {
        std::string shown;
        if (FileSlots.UnsavedWork(shown)) {
          if (!LeaveChangedWork(shown)) break;
          key = menu::kKeyEnd;
          return;
        }
        menu::PromptLine(0, gfx::LangPart("1 - Выводить в файл, 0 - Нет;1 - Output to file, 0 - No"_sc));
        KeyCode answer = platform::Drv.DrvReadKey();
        if (answer == '1') {
          OutputToFile();
        } else if (answer == '0') {
          key = menu::kKeyEnd;
          return;
        }
        break;
      }
      case '4': {
        menu::PromptLine(0, gfx::LangPart("Вызов другого файла. Сохранить файл (Y/N) ?;Another file. Save this one (Y/N) ?"_sc));
        KeyCode answer = platform::Drv.DrvReadKey();
        if (answer == menu::kKeyEsc) break;
        // The work is left only once it is saved, when saving was asked for.
        if ((answer == 'Y' || answer == 'y') &&
            !(AskDataFileName() && SaveDataFile(Files.FileName, Files.FileComment)))
          break;
        FileSlots.NewDrawing();
        InputFromFile();
        break;
      }
      case kCtrlP:
      case '5':
      case '6':
      case '7':
        if (key == '6') FileSlots.InputBMP(key);
        else if (key == '7') ImportMenu(key);
        else OutputMenu(key);
        if (!menu::IsBackKey(key)) return;
        break;
      case '9': break;
      default: return;
    }
  }
}

const ExportFormat kExportFormats[] = {
    {"ugf", ".UGF", "Вывод в файл .UGF:;Output to file .UGF"_sc, 2, &ExportSlots::Ugf},
    {"geo", ".GEO", "Вывод координат X,Y,Z в файл (.GEO) :;Output to file .GEO"_sc, 3, &ExportSlots::Geo},
    {"dxf", ".DXF", "Вывод в файл .DXF:;Output to file .DXF"_sc, 4, &ExportSlots::Dxf},
    {nullptr, ".SGA", "Вывод в файл .SGA:"_sc, 5, nullptr},
    {"tre", ".TRE", "Вывод в файл .TRE:"_sc, 6, &ExportSlots::Tre},
    {"plt", ".PLT", "Вывод в файл .PLT:"_sc, 7, &ExportSlots::Plt},
    {"pdf", ".PDF", "Вывод в файл .PDF:;Output to file .PDF"_sc, 8, &ExportSlots::Pdf},
    {"svg", ".SVG", "Вывод в файл .SVG:;Output to file .SVG"_sc, 9, &ExportSlots::Svg},
    {"png", nullptr, nullptr, 0, nullptr},
    {"ccx", nullptr, nullptr, 0, nullptr},
};

const ExportFormat* FindExportFormat(std::string_view name) {
  for (const ExportFormat& f : kExportFormats)
    if (f.Name != nullptr && name == f.Name) return &f;
  return nullptr;
}

namespace {
const ExportFormat* MenuFormat(int item) {
  for (const ExportFormat& f : kExportFormats)
    if (f.MenuItem == item) return &f;
  return nullptr;
}
}  // namespace

void OutputMenu(KeyCode& key) {
  bool show = key != kCtrlP;
  for (;;) {
    if (show) {
      menu::SetTextItem(0, "Графопостроитель;Printer/Export"_sc);
      menu::SetTextItem(1, "Вывод на принтер;Print"_sc);
      for (int item = 2; item <= 9; ++item) {
        const std::string ext = MenuFormat(item)->Extension;
        menu::SetTextItem(item, "Вывод в файл "_sc + ext + ";To file " + ext);
      }
      menu::RunMenu(9, key);
      if (key < 16) return;
    }
    show = true;
    if (key == kCtrlP || key == '1') {
      FileSlots.PrintPicture(key);
      if (!menu::IsBackKey(key)) return;
      continue;
    }
    if (key < '2' || key > '9') return;
    const ExportFormat& t = *MenuFormat(key - '0');
    std::string name;
    EditName(t.Prompt, name);
    if (name.empty()) continue;
    const std::string full = name + t.Extension;
    if (FileExists(FileSystemName(full))) {
      KeyCode answer = 0;
      AskOverwrite(full, answer);
      if (answer != 'Y' && answer != 'y') continue;
    }
    if (t.Slot == nullptr) {
      OtherVersion();
      continue;
    }
    const std::string error = (Exports.*t.Slot)(FileSystemName(full));
    if (!error.empty()) {
      Tell(full + ": " + gfx::ScreenFromUtf8(error));
    } else if (!Exchange.Cancelled) {
      ReportOutputDone();
    }
    FileSlots.RedrawPicture();
  }
}

void ImportMenu(KeyCode& key) {
  static const char* const kExt[6] = {"", "SGB", "UGF", "GEO", "DXF", "SGA"};
  menu::SetTextItem(0, "Импорт;Import"_sc);
  for (int i = 1; i <= 5; ++i)
    menu::SetTextItem(i, "Ввод файла ."_sc + std::string(kExt[i]) + ";From file ." + kExt[i]);
  menu::RunMenu(5, key);
  if (key < '1' || key > '5') return;
  const int i = key - '0';
  const std::string chosen = FileSlots.ChooseFile(std::string("*.") + kExt[i]);
  if (chosen.empty()) return;
  // This program reads none of these formats.
  OtherVersion();
  if ((i == 1 || i == 4) && Files.FileName.empty()) Files.FileName = chosen;
}

}  // namespace exchange

// src/exchange/file_menu.h — the file menu: saving and loading the
// application's data file, leaving the program, and exporting the picture
// to the printer or to an exchange file.
//
// Export re-runs the application's own drawing routine with the output
// device switched, so every piece the picture flushes is also written to
// the open exchange file.
#pragma once

#include <string>
#include <string_view>

#include "menu/menu.h"

namespace exchange {

struct FileMenuState {
  std::string FileName;     // the current data file, without extension (screen text)
  std::string FileComment;  // "Заголовок файла"
  std::string DataExt = ".SGA";
};
extern FileMenuState Files;

// An export writes the picture into the file at path (file-system
// encoding) and returns "" or what went wrong; a failed export leaves no
// file under that name.
using FileExport = std::string (*)(const std::string& path);
struct ExportSlots {
  FileExport Ugf, Geo, Dxf, Tre, Plt, Pdf, Svg;
};
extern ExportSlots Exports;  // default: "Реализовано в другой версии программы"

// The export formats, the one list of them: the output menu offers those
// with a menu item (2..9), in their order, and --export those with a
// name. A format without a slot is written by no exporter of the menu:
// the picture (png) and the CalculiX deck (ccx) have writers of their own,
// and .SGA files only another version of the program writes.
struct ExportFormat {
  const char* Name;       // for --export; nullptr: only the menu offers it
  const char* Extension;  // of the file the menu writes; nullptr: not in the menu
  const char* Prompt;     // the menu's question for the file name (screen text)
  int MenuItem;           // 2..9 of the output menu; 0: not there
  FileExport ExportSlots::*Slot;
};
extern const ExportFormat kExportFormats[];
// The format --export names, or nullptr.
const ExportFormat* FindExportFormat(std::string_view name);

// The file menu's slots. Their defaults say what is missing and wait for a
// key, or do nothing; ResetFileMenuSlots puts them and Exports back.
struct FileMenuSlots {
  // The application's reader and writer of its data file: bytes in, bytes
  // out; a reader returns "" or what went wrong (screen text).
  std::string (*SaveData)(const std::string& comment, std::string& bytes);
  std::string (*LoadData)(const std::string& bytes, std::string& comment);
  void (*AfterSave)(const std::string& name);
  void (*AfterLoad)(const std::string& name);
  void (*NewDrawing)();
  void (*PrintPicture)(menu::KeyCode& key);
  void (*InputBMP)(menu::KeyCode& key);
  // The in-program file chooser: a name without extension, or "" when the
  // user gave up.
  std::string (*ChooseFile)(const std::string& pattern);
  // The whole picture drawn again (after a load or an export).
  void (*RedrawPicture)();
  // Whether the work in hand has changed since it was last read or written;
  // shown: its data file's name for the question before leaving (screen
  // text). Default: nothing has changed.
  bool (*UnsavedWork)(std::string& shown);
};
extern FileMenuSlots FileSlots;
void ResetFileMenuSlots();

void FileMenu(menu::KeyCode& key);
void OutputMenu(menu::KeyCode& key);
void ImportMenu(menu::KeyCode& key);
// name + DataExt written or read through SaveData / LoadData; a failure is
// shown on the prompt line with the file and the reason, and the model is
// left as it was. True when it worked.
bool SaveDataFile(const std::string& name, const std::string& comment);
bool LoadDataFile(const std::string& name, std::string& comment);
// The same for a file-system path (extension included), shown as `shown`
// (screen text); no AfterSave/AfterLoad and no redraw.
bool SaveDataAt(const std::string& path, const std::string& shown, const std::string& comment);
bool LoadDataAt(const std::string& path, const std::string& shown, std::string& comment);
void ReportOutputDone();
void AskOverwrite(const std::string& fullName, menu::KeyCode& key);

// The file-system name of a name typed on the prompt line.
std::string FileSystemName(const std::string& screenName);

}  // namespace exchange

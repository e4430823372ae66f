// src/print/qt/qt_printer.h — the printer backend on Qt: the default
// printer through QPrinterInfo and QPrinter, PDF files through QPdfWriter.
#pragma once

#include "print/print.h"

namespace print {

// The Qt procedures of the backend table.
PrinterBackend QtPrinterBackend();
// Puts QtPrinterBackend into Printing.Backend (start-up of the windowed program).
void InstallQtPrinter();

}  // namespace print

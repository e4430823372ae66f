// src/print/qt/qt_printer.cpp — the printer backend on Qt.
//
// A document is either the default printer (a QPrinter of it) or a PDF
// file: QPdfWriter on a FileSink, which writes through the program's one
// file-writing routine (platform/file_write.h), so a failure leaves nothing
// under the name asked for. Lines are drawn in device pixels, as wide as
// the job asks, with round ends.
#include "print/qt/qt_printer.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <memory>

#include "graphics/numbers.h"
#include "platform/file_write.h"

namespace print {

namespace {

// Qt's paint devices want an application object; the windowed program has
// one already, tests and scripted runs may not.
void EnsureApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "brelmora";
  static char* argv[] = {name, nullptr};
  new QGuiApplication(argc, argv);
}

// A write-only device over the program's output file: what QPdfWriter
// writes goes to a temporary file beside the target, renamed over the
// target by Finish; a sink dropped unfinished leaves nothing behind.
class FileSink : public QIODevice {
 public:
  explicit FileSink(const std::string& path) : Path(path) {}
  ~FileSink() override { platform::AbandonOutput(Out); }
  bool Begin() { return platform::BeginOutput(Path, Out) && open(QIODevice::WriteOnly); }
  bool Finish() {
    close();
    return platform::FinishOutput(Out);
  }
  void Cancel() {
    close();
    platform::AbandonOutput(Out);
  }
  std::string Error() const { return Out.Error.empty() ? "cannot write the file" : Out.Error; }
  bool isSequential() const override { return true; }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    return platform::WriteOutput(Out, data, static_cast<std::size_t>(size)) ? size : -1;
  }

 private:
  std::string Path;
  platform::OutputFile Out;
};

// The document being drawn.
struct QtDocument {
  std::unique_ptr<QPrinter> Printer;
  std::unique_ptr<FileSink> File;
  std::unique_ptr<QPdfWriter> Pdf;
  QPainter Painter;
  bool Started = false;
  bool FirstPage = true;
};
QtDocument* doc = nullptr;

void DropDocument() {
  if (doc == nullptr) return;
  if (doc->Painter.isActive()) doc->Painter.end();
  doc->Pdf.reset();
  if (doc->File) doc->File->Cancel();
  delete doc;
  doc = nullptr;
}

std::string Utf8(const QString& s) { return s.toUtf8().toStdString(); }

bool QtProbe(PrinterInfo& out) {
  EnsureApplication();
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) return false;
  QPrinter printer(info, QPrinter::HighResolution);
  if (!printer.isValid()) return false;
  const int dpi = printer.resolution();
  const QRect area = printer.pageLayout().paintRectPixels(dpi);
  out.Name = Utf8(info.printerName());
  out.ResolutionX = out.ResolutionY = static_cast<float>(dpi);
  out.Width = static_cast<float>(area.width());
  out.Height = static_cast<float>(area.height());
  return true;
}

std::string QtBeginDocument(const DocumentRequest& request) {
  EnsureApplication();
  DropDocument();
  doc = new QtDocument;
  if (request.PdfPath.empty()) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
      DropDocument();
      return "no default printer";
    }
    doc->Printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    doc->Printer->setDocName(QString::fromStdString(request.Title));
    doc->Printer->setFullPage(false);
    return std::string();
  }
  doc->File = std::make_unique<FileSink>(request.PdfPath);
  if (!doc->File->Begin()) {
    const std::string error = doc->File->Error();
    DropDocument();
    return error;
  }
  doc->Pdf = std::make_unique<QPdfWriter>(doc->File.get());
  doc->Pdf->setTitle(QString::fromStdString(request.Title));
  doc->Pdf->setCreator("Brelmora");
  doc->Pdf->setResolution(std::clamp(gfx::NearestInt(request.Resolution), 1, 1 << 16));
  doc->Pdf->setPageLayout(QPageLayout(
      QPageSize(QSizeF(request.PageWidthMm, request.PageHeightMm), QPageSize::Millimeter),
      QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
  return std::string();
}

std::string QtBeginPage(int clipRight, int clipBottom) {
  if (doc == nullptr) return "no document";
  if (!doc->Started) {
    QPaintDevice* device = doc->Printer ? static_cast<QPaintDevice*>(doc->Printer.get())
                                        : static_cast<QPaintDevice*>(doc->Pdf.get());
    if (!doc->Painter.begin(device)) {
      DropDocument();
      return "the printer cannot start the document";
    }
    doc->Started = true;
  } else {
    const bool ok = doc->Printer ? doc->Printer->newPage() : doc->Pdf->newPage();
    if (!ok) return "the printer cannot start a new page";
  }
  doc->FirstPage = false;
  doc->Painter.setRenderHint(QPainter::Antialiasing, false);
  doc->Painter.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  doc->Painter.setClipRect(QRect(0, 0, clipRight + 1, clipBottom + 1));
  return std::string();
}

void QtLine(int x1, int y1, int x2, int y2, float widthPx) {
  if (doc == nullptr || !doc->Painter.isActive()) return;
  if (doc->Painter.pen().widthF() != widthPx)
    doc->Painter.setPen(QPen(Qt::black, widthPx, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  doc->Painter.drawLine(x1, y1, x2, y2);
}

void QtEndPage() {}

std::string QtEndDocument() {
  if (doc == nullptr) return "no document";
  std::string error;
  if (doc->Painter.isActive() && !doc->Painter.end()) error = "the printer did not finish the document";
  if (doc->Printer && doc->Printer->printerState() == QPrinter::Error && error.empty())
    error = "printer error";
  if (doc->File) {
    doc->Pdf.reset();  // flushes the last page into the file
    if (error.empty() && !doc->File->Finish()) error = doc->File->Error();
  }
  DropDocument();
  return error;
}

}  // namespace

PrinterBackend QtPrinterBackend() {
  return PrinterBackend{QtProbe, QtBeginDocument, QtBeginPage, QtLine, QtEndPage, QtEndDocument};
}

void InstallQtPrinter() { Printing.Backend = QtPrinterBackend(); }

}  // namespace print

// fuzz/fuzz_exports.cpp — every exporter on a fuzzed model: the DXF, plotter,
// .UGF, .GEO and .TRE writers, the SVG and PDF pages and the screen picture
// (PNG).
// A written number that is not one, or a file beyond 50 MB, is a finding.
#include <cstdint>

#include "fuzz_support.h"
#include "platform/file_write.h"

namespace {
constexpr std::size_t kMaxExportBytes = 50u << 20;

// Text formats are read for numbers too; the PDF's streams are compressed.
void Check(const char* what, const std::string& bytes, bool text = true) {
  if (bytes.size() > kMaxExportBytes) {
    std::fprintf(stderr, "%s: %zu bytes\n", what, bytes.size());
    std::abort();
  }
  if (text) fuzzing::ExpectOnlyNumbers(what, bytes);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  app::ShellModel m;
  if (!fuzzing::ReadModel(data, size, m)) return 0;
  fuzzing::FreshProgram(640, 480);
  try {
    app::StartFramework();
    app::Shell = m;
    view::FitView();
    exchange::Exchange.Batch = true;
    const struct {
      const char* Name;
      exchange::ExportProcedure Export;
    } kWriters[] = {{"DXF", exchange::ExportDXF}, {"PLT", exchange::ExportPLT},
                    {"UGF", exchange::ExportUGF}, {"GEO", exchange::ExportGEO},
                    {"TRE", exchange::ExportTRE}};
    for (const auto& w : kWriters) {
      exchange::ExportFile file;
      w.Export(file);
      store::OutputDevice = 0;
      Check(w.Name, file.Bytes);
    }
    const print::VectorPicture page = print::CollectPicture(print::Printing.Page);
    Check("SVG", print::SvgText(page));
    Check("PDF", print::PdfText(page), false);
    if (!platform::WritePicturePng("/dev/null").empty()) std::abort();
  } catch (const fuzzing::RunEnded&) {
  }
  store::CloseStoreFiles();
  return 0;
}

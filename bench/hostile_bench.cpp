// Absurd models: every export and the redraw, also after extreme zooms.
// The bounds they must keep on this machine: an export under 10 s and
// 50 MB ("bytes"), a redraw under 2 s.
#include <benchmark/benchmark.h>

#include <string>

#include "app/main_program.h"
#include "app/shell_model.h"
#include "exchange/exchange.h"
#include "platform/image/image_driver.h"
#include "print/print.h"
#include "store/store.h"
#include "view/view.h"

namespace {

// The default shell made absurd.
struct Absurd {
  const char* Name;
  void (*Change)(app::ShellModel& m);
};

// 49 sections of straight segments: the most the picture holds.
void LongCylinder(app::ShellModel& m) {
  m.SectionCount = app::kMaxSections;
  for (int i = 1; i <= m.SectionCount; ++i) {
    m.SectionRadius[i] = i % 2 == 0 ? 120.0f : 100.0f;
    m.SectionHeight[i] = 50.0f * static_cast<float>(i);
    m.Thickness[i] = 2;
    m.GeneratrixKind[i] = 0;
  }
}

const Absurd kModels[] = {
    {"wall_1e30_thick", [](app::ShellModel& m) {
       LongCylinder(m);
       m.Thickness[10] = 1e30f;
     }},
    {"nodes_at_capacity", [](app::ShellModel& m) {
       LongCylinder(m);
       m.ContourStep = 0;  // enlarged to the smallest that fits: 4998 nodes
     }},
    {"picture_scale_1e30", [](app::ShellModel& m) {
       LongCylinder(m);
       m.ContourStep = 0;
       m.PictureScale = 1e30f;
     }},
    {"scales_1e30", [](app::ShellModel& m) {
       m.ForceScale = m.StressScale = m.DisplacementScale = 1e30f;
     }},
    {"radii_1e12", [](app::ShellModel& m) {
       for (int i = 1; i <= 3; ++i) m.SectionRadius[i] *= 1e10f, m.SectionHeight[i] *= 1e10f;
       m.ArcRadius[1] = m.ArcRadius[2] = 1e12f;
     }},
    {"font_1e6", [](app::ShellModel& m) { m.FontHeight = 1e6f; }},
};

void Start(const Absurd& model) {
  static bool started = false;
  if (!started) {
    started = true;
    platform::InstallImageDriver(1920, 1080);
    platform::Image.TypeAhead = false;
    platform::Image.InputExhaustedHook = [] {};
    app::StartFramework();
  }
  app::ResetShellModel(app::Shell);
  model.Change(app::Shell);
  exchange::Exchange.Batch = true;
  view::FitView();
}

// The length of an export's text (older builds, built beside this one for
// comparison, kept it in Bytes).
std::size_t TextLength(const auto& file) {
  if constexpr (requires { file.Bytes; }) {
    return file.Bytes.size();
  } else {
    return file.Length;
  }
}

void Export(benchmark::State& state, const Absurd& model, exchange::ExportProcedure procedure) {
  Start(model);
  std::size_t bytes = 0;
  for (auto _ : state) {
    exchange::ExportFile file;
    procedure(file);
    store::OutputDevice = store::Device::Screen;
    bytes = TextLength(file);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

// The vector pages, written by our own code for PDF as for SVG.
void Page(benchmark::State& state, const Absurd& model, bool pdf) {
  Start(model);
  std::size_t bytes = 0;
  for (auto _ : state) {
    const print::VectorPicture page = print::CollectPicture(print::Printing.Page);
    bytes = (pdf ? print::PdfText(page) : print::SvgText(page)).size();
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

// zoom: 0 fitted; +n zoomed in n times (PgUp), -n zoomed out; 1000 a zoom
// window of a thousandth of a pixel round the picture's middle.
void Redraw(benchmark::State& state, const Absurd& model, int zoom) {
  Start(model);
  if (zoom == 1000) {
    view::SetViewWindow(view::V.ViewCentreU, view::V.ViewCentreV,
                        view::V.ViewCentreU + view::V.ViewScaleU / 1000, view::V.ViewCentreV + view::V.ViewScaleV / 1000);
  } else {
    constexpr int kPageUp = 73, kPageDown = 81;
    for (int k = 0; k < (zoom < 0 ? -zoom : zoom); ++k) view::ExtendedViewKey(zoom > 0 ? kPageUp : kPageDown);
  }
  for (auto _ : state) view::Redraw();
}

void Register() {
  const struct {
    const char* Name;
    exchange::ExportProcedure Procedure;
  } kExports[] = {{"DXF", exchange::ExportDXF}, {"PLT", exchange::ExportPLT}, {"UGF", exchange::ExportUGF},
                  {"GEO", exchange::ExportGEO}, {"TRE", exchange::ExportTRE}};
  for (const Absurd& m : kModels) {
    const std::string name = m.Name;
    for (const auto& e : kExports)
      benchmark::RegisterBenchmark(("Export" + std::string(e.Name) + "/" + name).c_str(), Export, m, e.Procedure)
          ->Unit(benchmark::kMillisecond)->Iterations(2);
    for (bool pdf : {false, true})
      benchmark::RegisterBenchmark(((pdf ? "ExportPDF/" : "ExportSVG/") + name).c_str(), Page, m, pdf)
          ->Unit(benchmark::kMillisecond)->Iterations(2);
    for (int zoom : {0, 60, -250, 1000})
      benchmark::RegisterBenchmark(("Redraw/" + name + "/zoom:" + std::to_string(zoom)).c_str(), Redraw, m, zoom)
          ->Unit(benchmark::kMillisecond)->Iterations(2);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Register();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

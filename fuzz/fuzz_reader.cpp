// fuzz/fuzz_reader.cpp — the data-file reader followed by one solve and one
// report, as brelmora --report and --nodes run them.
#include <cstdint>

#include "app/batch.h"
#include "app/shell_check.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  app::ShellModel m;
  if (!fuzzing::ReadModel(data, size, m)) return 0;
  static app::ShellSolution s;  // large: kept off the stack
  app::SolveShell(m, s);
  app::SolveShell(m, s);
  if (!app::ShellFault(m, s).empty()) return 0;  // said instead of printed
  fuzzing::ExpectOnlyNumbers("the report", app::ResultReport(m, s));
  fuzzing::ExpectOnlyNumbers("the node table", app::NodeTableCsv(m, s));
  return 0;
}

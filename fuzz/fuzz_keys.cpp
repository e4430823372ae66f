// fuzz/fuzz_keys.cpp — a stream of keys (in the --script notation) typed into
// the program on the image driver, starting from the default shell. Inputs
// are bounded to a few hundred keys; screenshots, which would write files
// the fuzzer names, are left out.
#include <cstdint>

#include "fuzz_support.h"
#include "platform/image/script.h"

namespace {
constexpr std::size_t kMaxScriptBytes = 600;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxScriptBytes) return 0;
  const std::string script(reinterpret_cast<const char*>(data), size);
  if (script.find("<shot") != std::string::npos) return 0;
  fuzzing::FreshProgram(640, 480);
  std::string error;
  if (!platform::QueueScript(script, error)) return 0;
  try {
    app::RunProgram({});
  } catch (const fuzzing::RunEnded&) {
  }
  store::CloseStoreFiles();
  return 0;
}

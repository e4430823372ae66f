// src/app/version.cpp — the program's version: the project version that
// CMakeLists.txt gives this file while compiling.
#include "app/batch.h"

namespace app {

const char* const kVersion = BRELMORA_VERSION;

}  // namespace app

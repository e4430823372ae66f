// src/app/main.cpp — the program's entry.
#include <cstdio>

#include "app/batch.h"

int main(int argc, char** argv) {
  int status = app::RunCommandLine(argc, argv, stdout, stderr);
  return status < 0 ? 0 : status;
}

// src/app/main_program.h — start-up, the main loop and the end of the
// program, and the scripted runs that type a file of keys into it
// (platform/image/script.h reads the keys).
#pragma once

#include <string>
#include <vector>

#include "app/model_fields.h"

namespace app {

// The main program's globals.
struct MainProgram {
  int StartArgCount = 0;
  std::string StartFileName;  // name part of the first argument, at most 8 characters
  std::string DataExtension = "spw";
  std::string DataExt = ".spw";
  std::string HelpFileName = "VOD.HTM";
  // Of the command line: values set after the start file is loaded, and
  // whether the picture's scales are fitted then (and before the last shot).
  std::vector<ModelSetting> StartSettings;
  bool StartFit = false;
  std::string StartError;  // why the start settings were refused (UTF-8)
};
extern MainProgram Program;

// The name rule of the command line: the first argument is cut to 79
// characters and split into folder, name and extension; its name part, at
// most 8 characters, names the start file.
std::string StartNameOf(const std::string& arg);

// Start-up up to the default shell: the framework, the banner, the slots
// and the initial window, on the installed platform driver.
void StartFramework();

// Runs the program on the installed platform driver with the command-line
// arguments that name the start file (none or one); returns when the main
// loop ends (the caller ends the process).
void RunProgram(const std::vector<std::string>& args);

// brelmora --export FORMAT OUT [FILE]: the picture of FILE (or of the
// default shell) written without a screen; returns the exit status.
int RunBatchExport(const std::string& format, const std::string& out, const std::string& file);

// The start-up banner (also the repaint procedure while it is shown).
void ShowBanner();

// brelmora --script FILE [--size WxH] [--shot PNG] [NAME]: returns the
// exit status.
int RunScripted(const std::string& script, int width, int height, const std::string& shot,
                const std::vector<std::string>& args);

}  // namespace app

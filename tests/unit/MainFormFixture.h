// The main window's handlers on the headless adapter: files in a temporary
// folder, scripted dialogs and message boxes, recorded process starts.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "TempFolder.h"
#include "app/MainForm.h"
#include "headless/HeadlessWindows.h"
#include "headless/IconvCodePages.h"
#include "headless/MemoryRegistry.h"
#include "headless/PosixFileSystem.h"

namespace vantorel {

inline const std::string kKey(kSettingsKey);

class MainFormTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) { return folder.Write(name, bytes); }
  static std::string Read(const std::string& path) { return TempFolder::Read(path); }

  TempFolder folder;
  const std::filesystem::path& dir = folder.Path();
  HeadlessWindowHost memoHost;
  THLEditor memo{&memoHost};
  HeadlessMainWindow window;
  MemoryRegistry registry;
  PosixFileSystem fs;
  ScriptedDialogs dialogs;
  RecordingProcesses processes;
  IconvCodePages codePages;
  RecordingShell shell;
  TFmain form{window, memo, registry, fs, dialogs, processes, codePages, shell};
};

}  // namespace vantorel

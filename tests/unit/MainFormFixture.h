// The main window's handlers on the headless adapter: files in a temporary
// folder, scripted dialogs and message boxes, recorded process starts.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/MainForm.h"
#include "headless/HeadlessWindows.h"
#include "headless/MemoryRegistry.h"
#include "headless/PosixFileSystem.h"

namespace vantorel {

inline const std::string kKey(kSettingsKey);

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("vantorel-form-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path dir;
  HeadlessWindowHost memoHost;
  THLEditor memo{&memoHost};
  HeadlessMainWindow window;
  MemoryRegistry registry;
  PosixFileSystem fs;
  ScriptedDialogs dialogs;
  RecordingProcesses processes;
  TFmain form{window, memo, registry, fs, dialogs, processes};
};

}  // namespace vantorel

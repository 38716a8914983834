// The build output's ports for tests: a captured command that writes and ends when
// the test says, and a pane that records what it was told.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/BuildPane.h"
#include "platform/CapturedProcesses.h"

namespace vantorel {

class ScriptedCapture : public CapturedProcesses {
 public:
  std::optional<std::string> StartCaptured(const std::string& commandLine, CaptureListener& listener) override {
    commands.push_back(commandLine);
    if (startFailure) return startFailure;
    listener_ = &listener;
    return std::nullopt;
  }
  void EndCaptured() noexcept override {
    if (listener_) ++ended;
    listener_ = nullptr;
  }

  // --- for tests ---
  bool Running() const noexcept { return listener_ != nullptr; }
  void Write(std::vector<std::string> lines) {
    if (listener_) listener_->CapturedLines(lines);
  }
  void Exit(int code) {
    CaptureListener* listener = listener_;
    listener_ = nullptr;
    if (listener) listener->CaptureEnded(code);
  }
  std::vector<std::string> commands;
  std::optional<std::string> startFailure;
  int ended = 0;  // commands ended by the program

 private:
  CaptureListener* listener_ = nullptr;
};

class RecordingPane : public BuildPane {
 public:
  void SetClient(BuildPaneClient* c) override { client = c; }
  void LinesChanged(int dropped) override {
    ++changes;
    droppedTotal += dropped;
  }
  void ShowSelection() override { shownSelections.push_back(client ? client->SelectedLine() : -2); }
  void SetFont(const FontDesc& f) override { font = f; }
  void Beep() override { ++beeps; }
  int LineHeight() const override { return lineHeight; }
  int FrameHeight() const override { return frameHeight; }

  // The lines as the pane would show them.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (int i = 0; client && i < client->LineCount(); ++i) texts.emplace_back(client->Line(i).text);
    return texts;
  }

  BuildPaneClient* client = nullptr;
  int changes = 0;
  int droppedTotal = 0;
  std::vector<int> shownSelections;
  FontDesc font;
  int beeps = 0;
  int lineHeight = 16;
  int frameHeight = 20;
};

}  // namespace vantorel

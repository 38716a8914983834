// A bare editor on the headless window, for the tests of the editor's text model.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/Editor.h"
#include "headless/HeadlessWindows.h"

namespace vantorel {

// Counts the whole-text notifications and the text hook's calls.
class CountingEditor : public TEditor {
 public:
  using TEditor::TEditor;
  void TextAllChanged() override {
    ++textAllChanged;
    TEditor::TextAllChanged();
  }
  void TextModified(int x, int y, std::string_view text, TextAction action) override {
    modifications.push_back({x, y, std::string(text), static_cast<int>(action)});
  }
  struct Modification {
    int x, y;
    std::string text;
    int action;
  };
  int textAllChanged = 0;
  std::vector<Modification> modifications;
};

class EditorFixture : public ::testing::Test {
 protected:
  EditorFixture() {
    editor.OnChange = [this] { ++changeEvents; };
  }
  std::vector<std::string> AllLines() const {
    std::vector<std::string> out;
    for (int i = 0; i < editor.Lines().Count(); ++i) out.push_back(editor.Lines().Get(i));
    return out;
  }
  // Fills the list and forgets what that notified.
  void SetLines(const std::vector<std::string>& lines) {
    editor.Lines().Assign(lines);
    editor.textAllChanged = 0;
    editor.modifications.clear();
  }

  HeadlessWindowHost host;
  CountingEditor editor{&host};
  int changeEvents = 0;
};

using Lines = std::vector<std::string>;

// The bytes of a literal, NUL bytes included.
template <std::size_t N>
std::string Bytes(const char (&s)[N]) {
  return std::string(s, N - 1);
}

}  // namespace vantorel

// The check the highlighter's change tracking must pass after any edit: the per-line
// states it kept through the change reports equal the states of the same text computed
// from scratch. Shared by the property tests and the command fuzzer.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "highlight/HLEditor.h"

namespace vantorel {

// Empty when the states agree, else the first line where they differ.
inline std::string LongStatesProblem(THLEditor& editor) {
  const THighlighter rules = editor.Highlighter();
  if (LanguageOf(rules) == nullptr || !editor.LongTokens()) return {};
  THLEditor fresh(nullptr);
  fresh.SetHighlighter(rules);
  std::string text;
  for (int i = 0; i < editor.LineCount(); ++i) {
    text += editor.LineView(i);
    text += "\r\n";
  }
  fresh.Lines().SetTextStr(text);
  if (fresh.LineCount() != editor.LineCount()) return "the copy of the text has another line count";
  for (int i = 0; i < editor.LineCount(); ++i) {
    if (fresh.LineView(i) != editor.LineView(i)) return "the copy of line " + std::to_string(i) + " differs";
  }
  const int last = std::min(editor.LineCount() - 1, kLastTrackedLine);
  for (int i = 0; i <= last; ++i) {
    const int kept = editor.StoredLongState(i);
    const int expected = fresh.StoredLongState(i);
    if (kept != longstate::Unknown && kept != expected) {
      return "line " + std::to_string(i) + " starts in state " + std::to_string(kept) + " but a rescan gives " +
             std::to_string(expected);
    }
  }
  for (int i = 0; i <= last; ++i) {
    const int resolved = editor.LongStateOfLine(i);
    if (resolved != fresh.StoredLongState(i)) {
      return "line " + std::to_string(i) + " resolves to state " + std::to_string(resolved) + " but a rescan gives " +
             std::to_string(fresh.StoredLongState(i));
    }
  }
  return {};
}

}  // namespace vantorel

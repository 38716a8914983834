// THLEditor: the editor with syntax highlighting, as the main window uses it.
// The highlighter itself is added by the highlighting feature; until then the text
// is painted in the editor's plain colours.
#pragma once

#include "editor/Editor.h"

namespace vantorel {

enum class THighlighter { hlNone, hlJava };

class THLEditor : public TEditor {
 public:
  using TEditor::TEditor;
  THighlighter Highlighter = THighlighter::hlNone;
};

}  // namespace vantorel

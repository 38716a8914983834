// What a test inspects inside an editor: the pieces its modules work on (the undo
// buffer's records, the view's geometry and bars, the caret and selection models, the
// dispatcher's macro and bookmarks). The editor's public face does not hand them out.
#pragma once

#include "editor/Editor.h"

namespace vantorel {

class EditorInternals {
 public:
  static EditorContext& Of(TCustomEditorBase& editor) noexcept { return editor.context_; }
};

inline EditorContext& Inside(TCustomEditorBase& editor) noexcept { return EditorInternals::Of(editor); }

}  // namespace vantorel

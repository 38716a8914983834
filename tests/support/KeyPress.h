// One key as the editor's window hands it on: the key-down, the character message it
// makes (none when ch is 0), then the commands the editor posted to itself. Shared by
// the property tests that replay random keys.
#pragma once

#include "editor/Editor.h"
#include "headless/HeadlessWindows.h"

namespace vantorel {

inline void PressKey(TCustomEditorBase& editor, HeadlessWindowHost& host, int key, ShiftState shift, char ch) {
  editor.KeyDown(key, shift);
  if (ch != 0) editor.KeyPress(ch);
  for (int posted : host.postedCommands) editor.RunCommand(posted);
  host.postedCommands.clear();
}

}  // namespace vantorel

// The one road by which the editing commands, the undo records and the completion
// change the text: the change itself (with the undo record the command makes before
// it), then its report to TextModified, then the repaint and Changed the command asks
// for. Nothing else calls TextModified, so a change and its report cannot part.
//
// The steps come in one order; where a command sizes the view before its report
// (Enter, a joined line) or after it (a deleted line), the steps say so.
#pragma once

#include <string>
#include <string_view>

#include "editor/EditorContext.h"
#include "editor/EditorView.h"

namespace vantorel {

// What TextModified is told: the position, the text and the action the command gives.
struct EditReport {
  int x = 0;
  int y = 0;
  std::string_view text;
  TextAction action = TextAction::StreamInsert;
};

// A report whose text is read off the changed text, so it holds its own copy.
struct ReadReport {
  int x = 0;
  int y = 0;
  std::string text;
  TextAction action = TextAction::StreamInsert;
};

// What follows the report, in this order.
struct EditSteps {
  bool sizeBefore = false;  // UpdateEditorSize before the report
  bool sizeAfter = false;   // UpdateEditorSize right after it
  int repaintLine = -1;     // the line to repaint, when one is
  bool repaintAll = false;
  bool changed = false;     // Changed: the user's edit is done
};

namespace edit_detail {
// The steps after a change: its report and what the command asks for around it.
inline void Report(EditorContext& c, int x, int y, std::string_view text, TextAction action, const EditSteps& steps) {
  if (steps.sizeBefore) c.view.UpdateSize();
  c.notices.TextModified(x, y, text, action);
  if (steps.sizeAfter) c.view.UpdateSize();
  if (steps.repaintLine >= 0) c.view.RepaintLine(steps.repaintLine);
  if (steps.repaintAll) c.view.RepaintAll();
  if (steps.changed) c.notices.Changed();
}
}  // namespace edit_detail

// change() changes the text; the report is then made as it was given.
template <class Change>
void EditText(EditorContext& c, Change&& change, const EditReport& report, const EditSteps& steps = {}) {
  change();
  edit_detail::Report(c, report.x, report.y, report.text, report.action, steps);
}

// The same for a report that can only be read off the changed text.
template <class Change, class MakeReport>
void EditTextReportedAfter(EditorContext& c, Change&& change, MakeReport&& makeReport,
                           const EditSteps& steps = {}) {
  change();
  const ReadReport report = makeReport();
  edit_detail::Report(c, report.x, report.y, report.text, report.action, steps);
}

}  // namespace vantorel

// What the command modules, the undo records and the completion work on: the text,
// its undo buffer, the caret and selection, the view, the other modules, the behaviour
// settings, the window host, and the editor's notices behind a narrow interface. The
// editor owns every piece and hands this to each module when it makes it, so a module
// reaches its collaborators directly and never through the editor's public face.
//
// The guards for the editor's locks and undo groups live here as well, since every
// module holds them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "editor/EditorTypes.h"
#include "platform/Types.h"

namespace vantorel {

class BlockCommands;
class Caret;
class CaretCommands;
class CommandDispatcher;
class EditorView;
class MouseHandler;
class Selection;
class Surface;
class TEditorStrings;
class TUndoBuffer;
class TypingCommands;
class WindowHost;

// The behaviour settings the commands read; the editor publishes them under these names.
struct EditorBehaviour {
  bool DoubleClickLine = false;
  bool CursorBeyondEOF = false;
  bool SmartTab = true;
  bool BackSpaceUnindents = true;
  bool AutoIndent = true;
  bool KeepTrailingBlanks = false;
  bool BeepOnError = true;
  std::string TabStops = "3 5";
};

// The events the editor raises for its owner; the editor publishes them under these names.
struct EditorEvents {
  std::function<void()> OnChange;
  std::function<void()> OnChangeStatus;
  std::function<void()> OnScroll;
  std::function<void(std::string& text, int line, TLineAttrs& attrs)> OnGetLineAttr;
  std::function<void(Surface& canvas)> OnPaintGutter;
  std::function<void(int key, ShiftState shift)> OnKeyUp;
  std::function<void(MouseButton button, ShiftState shift, Point at)> OnMouseUp;
  std::function<void(MouseButton button, ShiftState shift, Point at)> OnMouseDown;
  std::function<void(ShiftState shift, Point at)> OnMouseMove;
  std::function<void()> OnDblClick;
  std::function<void()> OnSelectionChange;
  std::function<void(int line)> OnGutterClick;
  std::function<void(int line)> OnGutterDblClick;
  std::function<void(int& key, ShiftState shift)> OnKeyDown;
  std::function<void(char& ch)> OnKeyPress;
};

// The editor's own state that the modules read and change.
struct EditorState {
  bool insertMode = true;
  bool readOnly = false;
  int updateLock = 0;  // BeginUpdate nesting; also the paint lock
};

// What the editor is told, in the order the modules tell it. These are the editor's
// hooks: a subclass (the highlighting editor) overrides them.
class EditorNotices {
 public:
  // A user's edit is done.
  virtual void Changed() = 0;
  // The caret, a mode or the block format changed.
  virtual void StatusChanged() = 0;
  // Every change of the text, once, after it happened, with the topmost line it touched.
  virtual void TextModified(int x, int y, std::string_view text, TextAction action) = 0;

 protected:
  ~EditorNotices() = default;
};

// The completion's share of the keyboard, present in an editor that has a completion.
class CompletionHooks {
 public:
  // Sees a key first; true when it used the key up.
  virtual bool OfferKey(int& key, ShiftState shift) = 0;
  virtual void OfferChar(char ch) = 0;
  // Whether a typed character goes on with the word being completed (offered after it
  // is typed) rather than ending it (offered before).
  virtual bool ContinuesWord(char ch) const = 0;
  virtual void Show(bool templates) = 0;
  virtual void Close(bool apply) = 0;

 protected:
  ~CompletionHooks() = default;
};

struct EditorContext {
  EditorContext(TUndoBuffer& undoBuffer, Caret& caretModel, Selection& selectionModel, EditorView& editorView,
                EditorState& editorState, bool& modifiedFlag, int& groupDepth, EditorBehaviour& behaviourSettings,
                EditorEvents& ownerEvents, EditorNotices& editorNotices, WindowHost* windowHost) noexcept
      : undo(undoBuffer), caret(caretModel), selection(selectionModel), view(editorView), state(editorState),
        modified(modifiedFlag), undoGroupDepth(groupDepth), behaviour(behaviourSettings), events(ownerEvents),
        notices(editorNotices), host(windowHost) {}
  EditorContext(const EditorContext&) = delete;
  EditorContext& operator=(const EditorContext&) = delete;

  TUndoBuffer& undo;
  Caret& caret;
  Selection& selection;
  EditorView& view;
  EditorState& state;
  bool& modified;        // the editor's Modified
  int& undoGroupDepth;   // open undo groups; a changed selection waits for the last one
  EditorBehaviour& behaviour;
  EditorEvents& events;
  EditorNotices& notices;
  WindowHost* host;
  // The modules, set by the editor as it makes them.
  CaretCommands* caretOps = nullptr;
  CommandDispatcher* commands = nullptr;
  MouseHandler* mouse = nullptr;
  TEditorStrings* lines = nullptr;
  TypingCommands* typing = nullptr;
  BlockCommands* blocks = nullptr;
  CompletionHooks* completion = nullptr;  // none without a completion

  TEditorStrings& Lines() const noexcept { return *lines; }
  int LineCount() const;
  std::string_view LineView(int y) const;
  int LineLength(int y) const { return static_cast<int>(LineView(y).size()); }
  // The text's length with CR LF between lines and none after the last.
  long long TextLength() const;
  int GetTabStop(int x, bool next) const;
  // The paint lock alone: raised and lowered with no repaint at the end.
  void LockPaint() const noexcept { ++state.updateLock; }
  void UnlockPaint() const noexcept { --state.updateLock; }
  bool PaintLocked() const noexcept { return state.updateLock > 0; }

  // The completion's share, where there is one.
  bool OfferKeyToCompletion(int& key, ShiftState shift) const { return completion && completion->OfferKey(key, shift); }
  void OfferCharToCompletion(char ch) const {
    if (completion) completion->OfferChar(ch);
  }
  bool CompletionContinuesWord(char ch) const;
  void ShowCompletion(bool templates) const {
    if (completion) completion->Show(templates);
  }
  void CloseCompletionList(bool apply) const {
    if (completion) completion->Close(apply);
  }

  // Locks and groups. EndUpdate repaints and reports the status at the outermost end
  // (and throws EAssertionFailed when no update is open); ReleaseUpdate ends one for a
  // scope left by an error, only marking the view for a full repaint.
  void BeginUpdate() noexcept { ++state.updateLock; }
  void EndUpdate();
  void ReleaseUpdate() noexcept;
  void BeginUndoGroup();
  void EndUndoGroup();
  // Closes a group for a scope left by an error: the depth falls even should the end
  // marker fail to be recorded, so the error already in flight is the one reported.
  void CloseUndoGroupQuietly() noexcept;
  // Hides the system caret, or shows it in the caret's cell.
  void PaintCaret(bool show) const;
};

// Holds the update lock of an editor (or its context) for a scope. End() ends the
// update with the repaint and status report of the outermost end, which may throw; a
// scope left without it (an exception, an early return) only releases the lock, so the
// error in flight is the one reported and no destructor throws.
template <class Owner>
class TEditorUpdate {
 public:
  explicit TEditorUpdate(Owner& owner) : o_(owner) { o_.BeginUpdate(); }
  ~TEditorUpdate() {
    if (open_) o_.ReleaseUpdate();
  }
  void End() {
    if (!open_) return;
    open_ = false;
    o_.EndUpdate();
  }
  TEditorUpdate(const TEditorUpdate&) = delete;
  TEditorUpdate& operator=(const TEditorUpdate&) = delete;

 private:
  Owner& o_;
  bool open_ = true;
};

// Holds the paint lock for a scope.
class TEditorPaintLock {
 public:
  explicit TEditorPaintLock(EditorContext& c) noexcept : c_(c) { c_.LockPaint(); }
  ~TEditorPaintLock() { c_.UnlockPaint(); }
  TEditorPaintLock(const TEditorPaintLock&) = delete;
  TEditorPaintLock& operator=(const TEditorPaintLock&) = delete;

 private:
  EditorContext& c_;
};

// Holds an undo group open for a scope; the group is closed on every path. End()
// closes it where a failure to record the end marker must be reported; a scope left
// without it closes the group quietly.
class TEditorUndoGroup {
 public:
  explicit TEditorUndoGroup(EditorContext& c) : c_(c) { c_.BeginUndoGroup(); }
  ~TEditorUndoGroup() {
    if (open_) c_.CloseUndoGroupQuietly();
  }
  void End() {
    if (!open_) return;
    open_ = false;
    c_.EndUndoGroup();
  }
  TEditorUndoGroup(const TEditorUndoGroup&) = delete;
  TEditorUndoGroup& operator=(const TEditorUndoGroup&) = delete;

 private:
  EditorContext& c_;
  bool open_ = true;
};

// What an edit of several steps holds while it runs, beyond the update that every such
// edit holds (the view and the list's notices wait for its end).
// Nothing is drawn while an edit runs (the paint that follows it hides the caret and
// puts it in its place), so the caret is not hidden around one.
struct EditHolds {
  bool group = false;         // the steps one undo step
  bool groupOutside = false;  // the group opened before the update and closed after it
};

// One guard for an edit of several steps: the update, and as the edit asks an undo
// group, each opened and closed in the order the edit gives. End()
// closes them where the edit's work is done (ending the update repaints and reports,
// and may throw); a scope left without it (an error, an early return) releases them
// quietly, so the error in flight is the one reported and no destructor throws.
class TEditorEdit {
 public:
  TEditorEdit(EditorContext& c, EditHolds holds);
  ~TEditorEdit();
  // Opens the undo group now, for an edit whose first steps (reading the clipboard)
  // belong to no undo step.
  void OpenGroup();
  void End();
  TEditorEdit(const TEditorEdit&) = delete;
  TEditorEdit& operator=(const TEditorEdit&) = delete;

 private:
  // Ends the group where a failure to record its end is reported.
  void CloseGroup();

  EditorContext& c_;
  const EditHolds holds_;
  // Each released quietly by its own destructor, in the order the edit gives.
  std::optional<TEditorUndoGroup> group_;
  std::optional<TEditorUpdate<EditorContext>> update_;
};

}  // namespace vantorel

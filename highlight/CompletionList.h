// TEditorCompletionList: the completion's drop-down list. It keeps the items, the
// selection and the first visible item, moves the selection for the keys and the
// mouse as a list box does, and draws itself through its owner; the window around it
// is a PopupWindow made by the editor's window host when the list first opens.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/PopupWindow.h"
#include "platform/WindowHost.h"

namespace vantorel {

enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };

// What the list asks of the completion that owns it.
class CompletionListOwner {
 public:
  virtual ~CompletionListOwner() = default;
  virtual void DrawListItem(Surface& surface, int index, const Rect& rect, bool selected) = 0;
  // The height of an item of a variable-height list; fixed lists use ItemHeight.
  virtual int MeasureListItem(int index, int height) = 0;
  // The user ended the list: a click, or the system cancelling the mouse mode.
  virtual void ListDone(bool apply) = 0;
};

// The scroll timer's periods while the mouse is held beyond the list: far (more than
// one item height) and near.
inline constexpr int kListScrollFastMs = 50;
inline constexpr int kListScrollSlowMs = 200;
inline constexpr int kListItemHeight = 13;

class TEditorCompletionList : public PopupClient {
 public:
  TEditorCompletionList(WindowHost* host, CompletionListOwner& owner) noexcept : host_(host), owner_(owner) {}

  void Clear();
  void Add(std::string item);
  // All items at once in place of those there (one repaint, for long lists).
  void Assign(std::vector<std::string> items);
  int Count() const noexcept { return static_cast<int>(items_.size()); }
  const std::string& Item(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  // -1: nothing selected.
  int ItemIndex() const noexcept { return itemIndex_; }
  // Selects an item (or none) and scrolls it into view.
  void SetItemIndex(int index);
  int TopIndex() const noexcept { return top_; }
  int ItemHeight() const noexcept { return itemHeight_; }
  void SetItemHeight(int value);
  TListBoxStyle Style() const noexcept { return style_; }
  void SetStyle(TListBoxStyle value);
  // The height of one item (for a variable-height list, as its owner measured it).
  int HeightOf(int index) const;

  // Moves and sizes the window (screen coordinates, border included) and shows it
  // without taking the focus.
  void Open(const Rect& bounds);
  void Hide();
  bool Visible() const noexcept { return window_ && window_->Visible(); }
  // A key going down in the editor while the list is shown: Up, Down, Page Up, Page
  // Down, Home and End move the selection.
  void KeyDown(int key);
  // The item at a point of the client area, or -1.
  int ItemAt(Point at) const;
  // What the window is, for tests and the adapter's checks.
  PopupWindow* Window() const noexcept { return window_.get(); }

  // PopupClient
  void PopupPaint(Surface& surface, const Rect& clip) override;
  void PopupMouseDown(MouseButton button, Point at) override;
  void PopupMouseMove(bool leftHeld, Point at) override;
  void PopupMouseUp(MouseButton button, Point at) override;
  void PopupTimer() override;
  void PopupCancelMode() override;

 private:
  int ClientHeight() const;
  // How many whole items fit from the first visible one.
  int VisibleCount() const;
  void ScrollIntoView(int index);
  void Measure();
  void EndMouseMode();
  void StopScrollTimer();
  void Repaint();

  WindowHost* host_;
  CompletionListOwner& owner_;
  std::unique_ptr<PopupWindow> window_;
  std::vector<std::string> items_;
  std::vector<int> heights_;  // per item, for a variable-height list
  int itemIndex_ = -1;
  int top_ = 0;
  int itemHeight_ = kListItemHeight;
  TListBoxStyle style_ = TListBoxStyle::lbOwnerDrawFixed;
  bool mouseHeld_ = false;
  int scrollStep_ = 0;      // -1 up, 1 down, 0 no scroll timer
  int scrollInterval_ = 0;  // the running scroll timer's period, 0 when it is stopped
};

}  // namespace vantorel

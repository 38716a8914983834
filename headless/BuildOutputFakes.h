// The build output's ports for tests: a captured command that writes and ends when
// the test says, and a pane window without a screen.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/CapturedProcesses.h"
#include "platform/PaneWindow.h"

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

// The pane's window without a screen: a client area the test sets, and a record of
// the scroll bars, the focus, the capture and the beeps. The input helpers hand the
// client what the system would.
class HeadlessPaneWindow : public PaneWindow {
 public:
  void SetClient(PaneClient* c) override { client = c; }
  Rect ClientRect() const override { return area; }
  Point ClientOrigin() const override { return origin; }
  void Invalidate(const Rect&) override { ++invalidations; }
  void InvalidateAll() override { ++invalidations; }
  void SetScrollBar(ScrollBarKind kind, int min, int max, int page, int position) override {
    bars[kind == ScrollBarKind::Vertical ? 1 : 0] = Bar{min, max, page, position};
  }
  bool Focused() const override { return focused; }
  void TakeFocus() override {
    if (focused) return;
    focused = true;
    if (client) client->PaneFocusChanged();
  }
  void CaptureMouse() override { captured = true; }
  void ReleaseMouse() override {
    captured = false;
    if (client) client->PaneCaptureLost();
  }
  std::optional<Point> FontCell(const FontDesc& f) override {
    font = f;
    return cell;
  }
  void Beep() override { ++beeps; }

  // --- for tests ---
  // The client area changes as a layout would change it.
  void Resize(int width, int height) {
    area = Rect{0, 0, width, height};
    if (client) client->PaneSized();
  }
  void Click(Point at) {
    client->PaneMouseDown(MouseButton::Left, at);
    client->PaneMouseUp(MouseButton::Left, at);
  }
  void DoubleClick(Point at) {
    Click(at);
    client->PaneDoubleClick(MouseButton::Left, at);
    client->PaneMouseUp(MouseButton::Left, at);
  }
  // The lines as the pane shows them.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (int i = 0; client && i < client->State().count; ++i) texts.push_back(client->Row(i)->text);
    return texts;
  }

  struct Bar {
    int min = 0, max = 0, page = 0, position = 0;
    bool operator==(const Bar&) const = default;
  };
  PaneClient* client = nullptr;
  Rect area{0, 0, 600, 15 + 8 * 16};
  Point origin{0, 300};
  std::optional<Point> cell = Point{8, 16};
  Bar bars[2];  // horizontal, vertical
  FontDesc font;
  bool focused = false;
  bool captured = false;
  int invalidations = 0;
  int beeps = 0;
};

}  // namespace vantorel

#include "headless/HeadlessWindows.h"

#include <algorithm>

#include "editor/Editor.h"

namespace vantorel {

void HeadlessWindowHost::Invalidate(const Rect& rect) {
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  if (invalid.Width() <= 0 || invalid.Height() <= 0) {
    invalid = rect;
    return;
  }
  invalid = Rect{std::min(invalid.left, rect.left), std::min(invalid.top, rect.top), std::max(invalid.right, rect.right),
                 std::max(invalid.bottom, rect.bottom)};
}

void HeadlessWindowHost::UpdateNow() {
  if (invalid.Width() <= 0 || invalid.Height() <= 0) return;
  const Rect clip = invalid;
  invalid = Rect{};
  if (control) control->Paint(canvas, clip);
}

std::string HeadlessMainWindow::PanelText(int index) const {
  const auto it = panels.find(index);
  return it == panels.end() ? std::string() : it->second;
}

std::optional<std::string> ScriptedDialogs::OpenFile(const FileDialogDesc& desc) {
  fileDialogs.push_back(desc);
  if (files.empty()) return std::nullopt;
  auto answer = files.front();
  files.pop_front();
  return answer;
}

std::optional<std::string> ScriptedDialogs::SaveFile(const FileDialogDesc& desc) { return OpenFile(desc); }

MessageResult ScriptedDialogs::ShowMessage(const std::string& text, const std::string& caption,
                                          MessageButtons buttons, MessageIcon icon) {
  shown.push_back({text, caption, buttons, icon});
  if (!answers.empty()) {
    const MessageResult r = answers.front();
    answers.pop_front();
    return r;
  }
  return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ? MessageResult::Yes
                                                                                    : MessageResult::Ok;
}

void HeadlessMainWindow::SendEditorChar(unsigned char code) {
  sentChars += static_cast<char>(code);
  if (!editor) return;
  char ch = static_cast<char>(code);
  editor->KeyPress(ch);
}

}  // namespace vantorel

#include "headless/HeadlessWindows.h"

#include <algorithm>
#include <utility>

#include "editor/Editor.h"

namespace vantorel {

void HeadlessWindowHost::Invalidate(const Rect& rect) {
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  if (!canvas.raster.empty()) {
    invalidPixels.resize(canvas.raster.size());
    canvas.ForEachPixelIn(rect, [this](std::size_t i) { invalidPixels[i] = 1; });
  }
  if (invalid.Width() <= 0 || invalid.Height() <= 0) {
    invalid = rect;
    return;
  }
  invalid = Rect{std::min(invalid.left, rect.left), std::min(invalid.top, rect.top), std::max(invalid.right, rect.right),
                 std::max(invalid.bottom, rect.bottom)};
}

void HeadlessWindowHost::UpdateNow() {
  if (control) control->PrepareToPaint();
  if (invalid.Width() <= 0 || invalid.Height() <= 0) return;
  const Rect clip = invalid;
  invalid = Rect{};
  const std::vector<char> region = std::exchange(invalidPixels, {});
  struct Clipped {
    RecordingSurface& surface;
    ~Clipped() { surface.clipMask = nullptr; }
  } clipped{canvas};
  if (!region.empty()) canvas.clipMask = &region;
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

std::optional<std::string> ScriptedDialogs::BrowseForFolder(const std::string& title) {
  folderTitles.push_back(title);
  if (folders.empty()) return std::nullopt;
  auto answer = folders.front();
  folders.pop_front();
  return answer;
}

std::optional<FontDesc> ScriptedDialogs::PickFont(const FontDesc& initial) {
  fontDialogs.push_back(initial);
  if (fonts.empty()) return std::nullopt;
  auto answer = fonts.front();
  fonts.pop_front();
  return answer;
}

HeadlessSettingsWindow::HeadlessSettingsWindow(Dialogs& dialogs) : dialogs_(dialogs) {
  for (const SettingsControl& c : SettingsControls()) {
    if (c.kind == SettingsControlKind::Field) fields[c.field] = std::string(c.caption);
  }
}

std::string HeadlessSettingsWindow::FieldText(SettingField field) const {
  const auto it = fields.find(field);
  return it == fields.end() ? std::string() : it->second;
}

ModalResult HeadlessMainWindow::ShowSettingsDialog(TFsetting& form) {
  ++settingsShown;
  ScriptedDialogs none;
  HeadlessSettingsWindow dialog(settingsDialogs ? *settingsDialogs : none);
  form.Attach(&dialog);
  form.FormShow();
  if (settingsScript) settingsScript(form, dialog);
  if (dialog.result == ModalResult::None) form.B_closeClick();  // the close box
  form.Attach(nullptr);
  return dialog.result;
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

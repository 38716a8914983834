#include "headless/HeadlessWindows.h"

namespace vantorel {

std::string HeadlessMainWindow::PanelText(int index) const {
  const auto it = panels.find(index);
  return it == panels.end() ? std::string() : it->second;
}

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

}  // namespace vantorel

// In-memory stand-ins for the editor's window, the main window and the message
// boxes: they keep what the core set and let a test read it back or script answers.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "app/MainWindowPort.h"
#include "platform/Dialogs.h"
#include "platform/WindowHost.h"

namespace vantorel {

class HeadlessWindowHost : public WindowHost {
 public:
  bool HasWindow() const override { return hasWindow; }
  bool IsShowing() const override { return showing; }
  Rect ClientRect() const override { return client; }
  void InvalidateAll() override { ++invalidations; }
  void RecreateWindow() override { ++recreations; }

  bool hasWindow = true;
  bool showing = true;
  Rect client{0, 0, 640, 480};
  int invalidations = 0;
  int recreations = 0;
};

class HeadlessMainWindow : public MainWindowPort {
 public:
  Rect Bounds() const override { return bounds; }
  void SetBounds(const Rect& b) override {
    bounds = b;
    boundsHistory.push_back(b);
  }
  Point ScreenSize() const override { return screen; }
  std::string PanelText(int index) const override;
  void SetPanelText(int index, const std::string& text) override { panels[index] = text; }
  void SetMenuCaption(MenuItemId item, const std::string& caption) override { captions[item] = caption; }
  void SetButtonLeft(std::string_view name, int left) override { buttonLeft[std::string(name)] = left; }
  std::string ProgramPath() const override { return programPath; }
  std::vector<std::string> CommandLineArgs() const override { return args; }
  void Close() override { ++closeRequests; }

  Rect bounds{216, 122, 216 + 696, 122 + 405};
  std::vector<Rect> boundsHistory;
  Point screen{1024, 768};
  std::map<int, std::string> panels;
  std::map<MenuItemId, std::string> captions;
  std::map<std::string, int> buttonLeft;
  std::string programPath = "C:\\Tools\\vantorel.exe";
  std::vector<std::string> args;
  int closeRequests = 0;
};

struct ShownMessage {
  std::string text;
  std::string caption;
  MessageButtons buttons;
  MessageIcon icon;
};

class ScriptedDialogs : public Dialogs {
 public:
  // Answers the next message box with the scripted result, or Ok / Yes when none is left.
  MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons,
                           MessageIcon icon) override;
  std::deque<MessageResult> answers;
  std::vector<ShownMessage> shown;
};

}  // namespace vantorel

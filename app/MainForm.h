// The main window's behaviour: start-up, placement and settings, the resize rule,
// the status bar panels it owns, the scroll-bar toggle and the dispatch of every
// menu item and button to its handler.
#pragma once

#include <string>

#include "app/MainLayout.h"
#include "app/MainWindowPort.h"
#include "app/Settings.h"
#include "highlight/HLEditor.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"

namespace vantorel {

struct MenuItemState {
  std::string Caption;
  std::string Hint;
};

// Where the tool bar and the editor go in the window's client area.
struct ClientLayout {
  Rect Pbutton;
  Rect Memo1;
};

class TFmain {
 public:
  TFmain(MainWindowPort& window, THLEditor& memo, RegistryPort& registry, FileSystem& fs, Dialogs& dialogs);
  TFmain(const TFmain&) = delete;
  TFmain& operator=(const TFmain&) = delete;

  // --- window events ---
  void FormCreate();
  void FormShow();
  void FormResize();
  // True when the window may close.
  bool FormCloseQuery();
  void FormClose();
  void Memo1KeyUp();
  void Memo1MouseUp();
  void Memo1Change();

  // Runs the handler of a menu item or button.
  void Run(Handler handler);
  void BV1Click();
  void N_closeClick();

  ClientLayout Layout(const Rect& client, int statusBarHeight) const;

  THLEditor& Memo1;
  TSettings Settings;
  std::string ProgramDir;
  MenuItemState Last1;

 private:
  void ShowCaretPosition();

  MainWindowPort& window_;
  RegistryPort& registry_;
  FileSystem& fs_;
  Dialogs& dialogs_;
};

// The directory part of a path with its trailing backslash ("" when it has none).
std::string ExtractFileDir(const std::string& path);

}  // namespace vantorel

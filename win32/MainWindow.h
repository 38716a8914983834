// The main window: builds the menu bar, tool bar, palette, editor and status bar from
// the core's tables, and hands every window event to TFmain.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "win32/BuildPaneWindow.h"
#include "win32/EditorWindow.h"
#include "win32/Win32Capture.h"
#include "win32/Win32Registry.h"
#include "win32/Win32Services.h"
#include "win32/WindowClass.h"
#include "win32/XPButtonWindow.h"

#include <commdlg.h>

namespace vantorel::win32 {

inline constexpr wchar_t kMainClassName[] = L"TFmain";
inline constexpr int kEditorId = 100;
inline constexpr int kStatusBarId = 101;

// The image drawn over the button face: pixel art has alpha, BS_BITMAP has none.
HBITMAP BitmapOnButtonFace(const PixelImage& image);

// A plain panel: button face, an optional etched frame, and the commands of its
// buttons passed on to the window that owns it.
class Panel : public OwnWindow {
 public:
  explicit Panel(bool framed) : framed_(framed) {}
  void Create(HWND parent, const Rect& bounds);
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  bool framed_;
};

class MainWindow : public MainWindowPort, public OwnWindow {
 public:
  MainWindow();
  ~MainWindow() override;

  void Create();
  void Show(int showCommand);
  EditorWindow& Memo() noexcept { return memo_; }
  // The shortcut table that holds now.
  HACCEL Accelerators() const noexcept {
    const std::size_t table = form_->ShortcutTable();
    return table < accelerators_.size() ? accelerators_[table].get() : nullptr;
  }
  // The modeless find dialog while it is open: the message loop gives it its keys.
  HWND FindDialog() const noexcept { return findDialog_; }

  // MainWindowPort
  Rect Bounds() const override;
  void SetBounds(const Rect& bounds) override;
  Point ScreenSize() const override;
  std::string PanelText(int index) const override;
  void SetPanelText(int index, const std::string& text) override;
  void SetMenuCaption(MenuItemId item, const std::string& caption) override;
  void SetButtonLeft(std::string_view name, int left) override;
  std::string ProgramPath() const override;
  std::vector<std::string> CommandLineArgs() const override;
  void Close() override;
  void Destroy() override;
  void FocusEditor() noexcept override;
  void SendEditorChar(unsigned char code) override;
  void DropDownMenu(std::string_view buttonName, std::span<const MenuItem> items, int offsetX) override;
  void WakeForIndex() override;
  void SetMenuChecked(MenuItemId item, bool checked) override;
  void SetMenuItemShown(MenuItemId item, bool shown) override;
  void SetMenuRadioChoice(MenuItemId first, MenuItemId last, MenuItemId chosen) override;
  void SetToolPanelVisible(ToolPanel panel, bool visible) override;
  void ShowFindDialog(const std::string& text) override;
  void CloseFindDialog() override;
  ModalResult ShowSettingsDialog(TFsetting& form) override;

 private:
  // MessageTarget
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void CreateChildren();
  // Appends the items to the menu, sub-menus made for the items that have children.
  void FillMenu(HMENU menu, std::span<const MenuItem> items);
  void CreateButtons();
  void CreateStatusBar();
  void LayoutChildren();
  void RunCommand(int id, bool fromButton);
  void FindMessage(const FINDREPLACEW& find);

  EditorWindow memo_;
  Win32Registry registry_;
  Win32FileSystem files_;
  Win32Dialogs dialogs_;
  Win32Processes processes_;
  Win32CodePages codePages_;
  Win32Shell shell_;
  // Before form_: the build it holds ends before they go.
  Win32CapturedProcesses capture_;
  BuildPaneWindow pane_;
  std::unique_ptr<TFmain> form_;

  Panel pbutton_{true};
  Panel ptools_{false};
  HWND status_ = nullptr;
  HWND tooltip_ = nullptr;
  // One per table of the form's.
  std::deque<OwnedAccelerators> accelerators_;  // not movable: a deque keeps them in place
  // What a command id runs, and the name of the item or button it came from.
  struct Command {
    Handler handler;
    std::string_view sender;
  };
  std::map<int, Command> commands_;
  // Menus built once and dropped down by buttons.
  std::map<const MenuItem*, OwnedMenu> dropDowns_;
  std::map<Handler, int> menuCommandIds_;  // the first menu item of each handler
  std::map<HMENU, Handler> menuOpenHandlers_;
  FINDREPLACEW find_{};
  wchar_t findText_[256] = L"";
  HWND findDialog_ = nullptr;
  UINT findMessage_ = 0;
  std::map<MenuItemId, std::pair<HMENU, UINT>> menuItems_;
  // Where an item stands in its menu as made, and its text: an item taken out comes
  // back there.
  struct MenuPlace {
    UINT position;
    std::wstring text;
  };
  std::map<MenuItemId, MenuPlace> menuPlaces_;
  std::map<std::string, HWND, std::less<>> buttons_;
  std::deque<GdiObject<HBITMAP>> bitmaps_;
  std::vector<std::unique_ptr<XPButtonWindow>> xpButtons_;
  GdiObject<HFONT> formFont_;
  int nextCommandId_ = 1000;
};

}  // namespace vantorel::win32

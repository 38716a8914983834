// The main window: builds the menu bar, tool bar, palette, editor and status bar from
// the core's tables, and hands every window event to TFmain.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "win32/EditorWindow.h"
#include "win32/Win32Registry.h"
#include "win32/Win32Services.h"

namespace vantorel::win32 {

inline constexpr wchar_t kMainClassName[] = L"TFmain";
inline constexpr int kEditorId = 100;
inline constexpr int kStatusBarId = 101;

class MainWindow : public MainWindowPort {
 public:
  MainWindow();
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  void Create();
  void Show(int showCommand);
  HWND Handle() const noexcept { return hwnd_; }
  HACCEL Accelerators() const noexcept { return accelerators_; }

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

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  void CreateChildren();
  HMENU BuildMenu(std::span<const MenuItem> items);
  void CreateButtons();
  void CreateStatusBar();
  void LayoutChildren();
  void RunCommand(int id);
  void ReportError(const char* text) noexcept;

  EditorWindow memo_;
  Win32Registry registry_;
  Win32FileSystem files_;
  Win32Dialogs dialogs_;
  Win32Processes processes_;
  std::unique_ptr<TFmain> form_;

  HWND hwnd_ = nullptr;
  HWND pbutton_ = nullptr;
  HWND ptools_ = nullptr;
  HWND status_ = nullptr;
  HWND tooltip_ = nullptr;
  HACCEL accelerators_ = nullptr;
  std::map<int, Handler> commands_;
  std::map<MenuItemId, std::pair<HMENU, UINT>> menuItems_;
  std::map<std::string, HWND, std::less<>> buttons_;
  std::vector<GdiObject<HBITMAP>> bitmaps_;
  GdiObject<HFONT> formFont_;
  int nextCommandId_ = 1000;
};

}  // namespace vantorel::win32

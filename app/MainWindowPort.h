// What the main window's handlers need from the real window around them.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/MainLayout.h"
#include "app/SettingsDialog.h"
#include "app/Settings.h"
#include "platform/Types.h"

namespace vantorel {

// Bounds() are the outer bounds in screen pixels (the maximised bounds when maximised).
enum class ToolPanel { Pbutton, Ptools, BuildOutput };

class MainWindowPort : public PlacementTarget, public SettingsDialogHost {
 public:
  virtual std::string PanelText(int index) const = 0;
  virtual void SetPanelText(int index, const std::string& text) = 0;
  virtual void SetMenuCaption(MenuItemId item, const std::string& caption) = 0;
  virtual void SetMenuChecked(MenuItemId item, bool checked) = 0;
  // Puts the item in its menu, where the table has it, or takes it out.
  virtual void SetMenuItemShown(MenuItemId item, bool shown) = 0;
  // Marks chosen as the choice of the radio group of the items first to last (items
  // that follow each other in one menu) and clears the others' marks.
  virtual void SetMenuRadioChoice(MenuItemId first, MenuItemId last, MenuItemId chosen) = 0;
  // Shows or hides a panel of the tool bar and lays the client area out again (the
  // editor takes the space of a hidden tool bar).
  virtual void SetToolPanelVisible(ToolPanel panel, bool visible) = 0;
  // The system's modeless find dialog: shown with this search text when it is not
  // open, brought up as it is when it is. Its find-next event runs Find1Find with the
  // dialog's text in Find1.Text.
  virtual void ShowFindDialog(const std::string& text) = 0;
  virtual void CloseFindDialog() = 0;
  // Moves a button of the tool bar to a new left edge.
  virtual void SetButtonLeft(std::string_view name, int left) = 0;
  // The running program's full path and the command-line arguments after it.
  virtual std::string ProgramPath() const = 0;
  virtual std::vector<std::string> CommandLineArgs() const = 0;
  // Asks the window to close, through the same path as its close box.
  virtual void Close() = 0;
  // Destroys the window now; the program ends with it.
  virtual void Destroy() = 0;
  // Gives the keyboard focus to the editor when another control of this window holds
  // it (not when it is in another program or a dialog).
  virtual void FocusEditor() noexcept = 0;
  // Sends the editor window one typed-character message and waits until it is handled.
  virtual void SendEditorChar(unsigned char code) = 0;
  // Drops a menu down below a button, its left edge offsetX from the button's.
  virtual void DropDownMenu(std::string_view buttonName, std::span<const MenuItem> items, int offsetX) = 0;
  // Called on another thread: has the form's IndexReady run soon on the window's own.
  virtual void WakeForIndex() = 0;
};

}  // namespace vantorel

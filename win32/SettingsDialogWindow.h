// The settings dialog's window: built from the core's control table, shown modally
// over the main window, and destroyed when TFsetting ends it.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "app/SettingsDialog.h"
#include "win32/Win32Services.h"
#include "win32/WindowClass.h"
#include "win32/XPButtonWindow.h"

namespace vantorel::win32 {

inline constexpr wchar_t kSettingsClassName[] = L"TFsetting";

class SettingsDialog : public SettingsDialogWindow, public OwnWindow {
 public:
  SettingsDialog(TFsetting& form, HWND owner) : form_(form), owner_(owner) {}
  ~SettingsDialog() override;

  // Creates the window, runs FormShow and a message loop until the form ends the
  // dialog; the owner is disabled meanwhile.
  ModalResult RunModal();

  // SettingsDialogWindow
  std::string FieldText(SettingField field) const override;
  void SetFieldText(SettingField field, const std::string& text) override;
  void SetSaveEnabled(bool enabled) override;
  void FocusField(SettingField field) override;
  void EndModal(ModalResult result) override { ended_ = true; (void)result; }
  Dialogs& OwnedDialogs() override { return dialogs_; }

 private:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void Create();
  void CreateControls();

  TFsetting& form_;
  HWND owner_;
  Win32Dialogs dialogs_;
  bool ended_ = false;
  bool settingText_ = false;  // a change the program makes is no change event
  std::map<SettingField, HWND> fields_;
  std::map<int, SettingsCommand> commands_;
  HWND save_ = nullptr;
  HWND panel_ = nullptr;
  GdiObject<HFONT> formFont_;
  GdiObject<HFONT> fieldFont_;
  std::vector<std::unique_ptr<XPButtonWindow>> xpButtons_;
};

}  // namespace vantorel::win32

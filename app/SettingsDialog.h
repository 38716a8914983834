// The settings dialog: the four setting variables in four fields, pick buttons for
// folders and files, and "Сохранить", which copies the fields into the variables (the
// registry is written when the main window closes). A new dialog is made for every
// opening and shown modally.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "app/ButtonImages.h"
#include "app/Settings.h"
#include "platform/Dialogs.h"
#include "platform/Types.h"

namespace vantorel {

enum class SettingField { E_masm_path, E_prog_path, E_compile_file, E_run_file };
enum class ModalResult { None = 0, Ok = 1, Cancel = 2 };

// The dialog's window as the core drives it.
class SettingsDialogWindow {
 public:
  virtual ~SettingsDialogWindow() = default;
  virtual std::string FieldText(SettingField field) const = 0;
  // Sets the text without raising the field's change event.
  virtual void SetFieldText(SettingField field, const std::string& text) = 0;
  virtual void SetSaveEnabled(bool enabled) = 0;
  // Gives the field the keyboard focus.
  virtual void FocusField(SettingField field) = 0;
  // Ends the modal loop; the window is destroyed after it.
  virtual void EndModal(ModalResult result) = 0;
  // The file and folder dialogs, owned by this window.
  virtual Dialogs& OwnedDialogs() = 0;
};

class TFsetting;

// Makes the dialog's window for the form, shows it modally (the form's FormShow runs
// when it shows) and destroys it when it closes.
class SettingsDialogHost {
 public:
  virtual ~SettingsDialogHost() = default;
  virtual ModalResult ShowSettingsDialog(TFsetting& form) = 0;
};

class TFsetting {
 public:
  explicit TFsetting(TSettings& settings);
  TFsetting(const TFsetting&) = delete;
  TFsetting& operator=(const TFsetting&) = delete;

  // The window made for this form; the handlers need it.
  void Attach(SettingsDialogWindow* window) noexcept { window_ = window; }

  void FormShow();
  // The change event of all four fields: the user typed, or a pick button set a text.
  void E_masm_pathChange();
  void B_selectClick();
  void B_select_2Click();
  void Bcomp_fileClick();
  void Brun_fileClick();
  void B_saveClick();
  // "Отмена"; the close box and closing by the system end the dialog the same way.
  void B_closeClick();

  bool SaveEnabled() const noexcept { return saveEnabled_; }
  ModalResult Result() const noexcept { return result_; }
  FileDialogDesc Dialog1;

 private:
  // Replaces a field's text; the change event fires only when the text differs.
  void SetField(SettingField field, const std::string& text);
  void PickFolder(SettingField field);
  void PickFile(SettingField field);
  SettingsDialogWindow& Window() const;

  TSettings& settings_;
  SettingsDialogWindow* window_ = nullptr;
  bool saveEnabled_ = false;
  ModalResult result_ = ModalResult::None;
};

// --- the dialog's look, as data for the window that builds it ---

inline constexpr std::string_view kSettingsCaption = "Настройки программы";
inline constexpr Point kSettingsClientSize{472, 353};
inline constexpr std::string_view kFieldFontName = "Courier New";
inline constexpr int kFieldFontHeight = -13;
inline constexpr std::string_view kFolderDialogTitle = "Выбор каталога";

enum class SettingsControlKind { GroupBox, Label, Field, PickButton, Panel, PushButton };

enum class SettingsCommand { None, B_select, B_select_2, Bcomp_file, Brun_file, B_save, B_close };

struct SettingsControl {
  std::string_view name;
  SettingsControlKind kind;
  std::string_view parent;  // "" for the dialog itself
  Rect bounds;              // in the parent's client coordinates; the panel's is worked out
  std::string_view caption;  // a field's design text, replaced when the dialog shows
  SettingsCommand command = SettingsCommand::None;
  SettingField field = SettingField::E_masm_path;  // for fields
};

// In tab order: a parent comes before its children.
std::span<const SettingsControl> SettingsControls();
// The picture of a pick button: a folder for the two path fields, a file for the two
// batch files.
ButtonImageId PickButtonImage(SettingsCommand command);
inline constexpr int kSettingsPanelHeight = 40;  // P1, at the bottom over the full width
inline constexpr Color kSettingsPanelColor = clGray;

// Runs the handler of a pick or push button.
void RunSettingsCommand(TFsetting& form, SettingsCommand command);

}  // namespace vantorel

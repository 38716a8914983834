#include "app/SettingsDialog.h"

#include <stdexcept>

namespace vantorel {

TFsetting::TFsetting(TSettings& settings) : settings_(settings) {
  Dialog1 = FileDialogDesc{"Выбор файла",
                           {{"Коммандные файлы (*.bat)", "*.bat"},
                            {"Исполняемые файлы", "*.exe;*.com"},
                            {"Все файлы", "*.*"}},
                           1,
                           "",
                           ""};
}

SettingsDialogWindow& TFsetting::Window() const {
  if (!window_) throw std::logic_error("the settings dialog has no window");
  return *window_;
}

ButtonImageId PickButtonImage(SettingsCommand command) {
  return command == SettingsCommand::B_select || command == SettingsCommand::B_select_2 ? ButtonImageId::PickFolder
                                                                                          : ButtonImageId::PickFile;
}

void TFsetting::FormShow() {
  SetField(SettingField::E_masm_path, settings_.MASM_PATH);
  SetField(SettingField::E_prog_path, settings_.PROG_PATH);
  SetField(SettingField::E_compile_file, settings_.COMPILE_FILE);
  SetField(SettingField::E_run_file, settings_.RUN_FILE);
  saveEnabled_ = false;
  Window().SetSaveEnabled(false);
  Window().FocusField(SettingField::E_masm_path);
}

void TFsetting::E_masm_pathChange() {
  saveEnabled_ = true;
  Window().SetSaveEnabled(true);
}

void TFsetting::SetField(SettingField field, const std::string& text) {
  if (Window().FieldText(field) == text) return;
  Window().SetFieldText(field, text);
  E_masm_pathChange();
}

void TFsetting::PickFolder(SettingField field) {
  const auto folder = Window().OwnedDialogs().BrowseForFolder(std::string(kFolderDialogTitle));
  if (folder && !folder->empty()) SetField(field, *folder);
}

void TFsetting::PickFile(SettingField field) {
  if (const auto file = Window().OwnedDialogs().OpenFile(Dialog1)) SetField(field, *file);
}

void TFsetting::B_selectClick() { PickFolder(SettingField::E_masm_path); }
void TFsetting::B_select_2Click() { PickFolder(SettingField::E_prog_path); }
void TFsetting::Bcomp_fileClick() { PickFile(SettingField::E_compile_file); }
void TFsetting::Brun_fileClick() { PickFile(SettingField::E_run_file); }

void TFsetting::B_saveClick() {
  // Taken as they stand: no trimming, no check that they exist.
  SettingsDialogWindow& w = Window();
  settings_.MASM_PATH = w.FieldText(SettingField::E_masm_path);
  settings_.PROG_PATH = w.FieldText(SettingField::E_prog_path);
  settings_.COMPILE_FILE = w.FieldText(SettingField::E_compile_file);
  settings_.RUN_FILE = w.FieldText(SettingField::E_run_file);
  result_ = ModalResult::Ok;
  w.EndModal(result_);
}

void TFsetting::B_closeClick() {
  result_ = ModalResult::Cancel;
  Window().EndModal(result_);
}

namespace {

constexpr Rect At(int left, int top, int width, int height) { return Rect{left, top, left + width, top + height}; }

using K = SettingsControlKind;
using C = SettingsCommand;
using F = SettingField;

constexpr SettingsControl kControls[] = {
    {"GroupBox1", K::GroupBox, "", At(36, 28, 405, 115), "Каталоги"},
    {"Label1", K::Label, "GroupBox1", At(20, 33, 0, 0), "Masm32"},
    {"E_masm_path", K::Field, "GroupBox1", At(81, 30, 284, 24), "C:\\Masm32", C::None, F::E_masm_path},
    {"B_select", K::PickButton, "GroupBox1", At(368, 30, 25, 24), "", C::B_select},
    {"Label2", K::Label, "GroupBox1", At(20, 69, 0, 0), "Projects"},
    {"E_prog_path", K::Field, "GroupBox1", At(81, 65, 284, 24), "C:\\Masm32\\Bin", C::None, F::E_prog_path},
    {"B_select_2", K::PickButton, "GroupBox1", At(368, 65, 25, 24), "", C::B_select_2},
    {"GroupBox2", K::GroupBox, "", At(36, 164, 405, 115), "Компиляторы"},
    {"Label3", K::Label, "GroupBox2", At(28, 37, 0, 0), "Build"},
    {"E_compile_file", K::Field, "GroupBox2", At(81, 34, 284, 24), "BLDALL.BAT", C::None, F::E_compile_file},
    {"Bcomp_file", K::PickButton, "GroupBox2", At(368, 34, 25, 24), "", C::Bcomp_file},
    {"Label4", K::Label, "GroupBox2", At(29, 71, 0, 0), "Run"},
    {"E_run_file", K::Field, "GroupBox2", At(81, 69, 284, 24), "RunAll.bat", C::None, F::E_run_file},
    {"Brun_file", K::PickButton, "GroupBox2", At(368, 69, 25, 24), "", C::Brun_file},
    {"P1", K::Panel, "",
     At(0, kSettingsClientSize.y - kSettingsPanelHeight, kSettingsClientSize.x, kSettingsPanelHeight), ""},
    {"B_save", K::PushButton, "P1", At(120, 7, 90, 26), "Сохранить", C::B_save},
    {"B_close", K::PushButton, "P1", At(256, 7, 90, 26), "Отмена", C::B_close},
};

}  // namespace

std::span<const SettingsControl> SettingsControls() { return kControls; }

void RunSettingsCommand(TFsetting& form, SettingsCommand command) {
  switch (command) {
    case SettingsCommand::B_select: form.B_selectClick(); break;
    case SettingsCommand::B_select_2: form.B_select_2Click(); break;
    case SettingsCommand::Bcomp_file: form.Bcomp_fileClick(); break;
    case SettingsCommand::Brun_file: form.Brun_fileClick(); break;
    case SettingsCommand::B_save: form.B_saveClick(); break;
    case SettingsCommand::B_close: form.B_closeClick(); break;
    case SettingsCommand::None: break;
  }
}

}  // namespace vantorel

#include "app/MainLayout.h"

#include <iterator>
#include <stdexcept>
#include <string>

#include "highlight/Languages.h"

namespace vantorel {

namespace {

constexpr MenuItem kLastItems[] = {
    {"Last1", "", {}, Handler::Last1Click, {}, MenuItemId::Last1},
};

constexpr MenuItem kFileItems[] = {
    {"N_new", "новый проект", {}, Handler::N_newClick, {}},
    {"N_open", "открыть проект", {}, Handler::N_openClick, {}},
    {"N11", "открыть последний", {}, Handler::None, kLastItems},
    {"N_save", "сохранить", {vk::F2, false, "F2"}, Handler::N_saveClick, {}},
    {"N_save_as", "сохранить как", {}, Handler::N_save_asClick, {}},
    {"N10", "-", {}, Handler::None, {}},
    {"N_close", "завершить работу", {}, Handler::N_closeClick, {}},
};

constexpr MenuItem kProjectItems[] = {
    {"N_compile", "компилировать", {vk::F9, true, "Ctrl+F9"}, Handler::N_compileClick, {}},
    {"N_run", "выполнить", {vk::F9, false, "F9"}, Handler::N_runClick, {}},
    // Shown only while the build's output goes to the window: only such a build can be stopped.
    {"N_stopBuild", "остановить сборку", {vk::Cancel, true, "Ctrl+Break"}, Handler::N_stopBuildClick, {},
     MenuItemId::N_stopBuild},
    {"N3", "-", {}, Handler::None, {}},
    {"N_setup", "настройки", {}, Handler::N_setupClick, {}},
};

constexpr MenuItem kEditItems[] = {
    {"N_undo", "отмена", {}, Handler::BundoClick, {}},
    {"N13", "-", {}, Handler::None, {}},
    {"N_copy", "копировать", {}, Handler::BCopy1Click, {}},
    {"N_cut", "вырезать", {}, Handler::BCut1Click, {}},
    {"N_paste", "вставить", {}, Handler::BPaste1Click, {}},
    {"N_del", "удалить", {}, Handler::BdelClick, {}},
    {"N7", "-", {}, Handler::None, {}},
    {"WinDos1", "конвертация Win > Dos", {}, Handler::WinDos1Click, {}},
    {"DosWin1", "конвертация Dos > Win", {}, Handler::DosWin1Click, {}},
    {"N9", "-", {}, Handler::None, {}},
    {"N8", "найти", {vk::F3, false, "F3"}, Handler::N8Click, {}},
};

constexpr MenuItem kViewItems[] = {
    {"_Ntools", "панель инструментов", {}, Handler::_NtoolsClick, {}, MenuItemId::_Ntools},
    {"_Ncomp", "панель компонентов", {}, Handler::_NcompClick, {}, MenuItemId::_Ncomp},
    {"_Nfont", "выбрать шрифт", {}, Handler::_NfontClick, {}},
    {"N6", "помощь", {vk::F1, false, "F1"}, Handler::N6Click, {}},
    {"N_buildOutput", "вывод сборки в окне", {}, Handler::N_buildOutputClick, {}, MenuItemId::N_buildOutput},
    {"N_codeHints", "подсказки из include-файлов", {}, Handler::N_codeHintsClick, {}, MenuItemId::N_codeHints},
    {"N_hlsep", "-", {}, Handler::None, {}},
};

// The View menu: its own items, then a radio item for each language of the table.
std::span<const MenuItem> ViewItems() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> out;
    for (const LanguageRow& row : Languages()) out.push_back("N_hl" + std::string(row.name));
    return out;
  }();
  static const std::vector<MenuItem> items = [] {
    std::vector<MenuItem> out(std::begin(kViewItems), std::end(kViewItems));
    for (std::size_t i = 0; i < names.size(); ++i) {
      out.push_back({names[i], Languages()[i].caption, {}, LanguageHandler(i), {}, LanguageMenuItem(i)});
    }
    return out;
  }();
  return items;
}

constexpr Rect At(int left, int top, int width, int height) { return Rect{left, top, left + width, top + height}; }

constexpr ButtonDesc kButtons[] = {
    {"_Bopen", ButtonKind::XP, ButtonParent::Pbutton, At(3, 3, 27, 26), "Открыть", true, Handler::N_openClick,
     ButtonImageId::Open},
    {"_Bnew", ButtonKind::XP, ButtonParent::Pbutton, At(32, 3, 27, 26), "Новый", true, Handler::N_newClick,
     ButtonImageId::New},
    {"_Bsave", ButtonKind::XP, ButtonParent::Pbutton, At(61, 3, 27, 26), "Сохранить", true, Handler::N_saveClick,
     ButtonImageId::Save},
    {"_Bsaveas", ButtonKind::XP, ButtonParent::Pbutton, At(90, 3, 27, 26), "Сохранить как", true,
     Handler::N_save_asClick, ButtonImageId::SaveAs},
    {"_Bset", ButtonKind::XP, ButtonParent::Pbutton, At(131, 3, 27, 26), "Настройки", true, Handler::N_setupClick,
     ButtonImageId::Settings},
    {"_Bcompile", ButtonKind::XP, ButtonParent::Pbutton, At(160, 3, 27, 26), "Компилировать все", true,
     Handler::N_compileClick, ButtonImageId::Compile},
    {"_Brun", ButtonKind::XP, ButtonParent::Pbutton, At(189, 3, 27, 26), "Выполнить", true, Handler::N_runClick,
     ButtonImageId::Run},
    {"BCopy1", ButtonKind::XP, ButtonParent::Pbutton, At(230, 3, 28, 26), "Копировать", true, Handler::BCopy1Click,
     ButtonImageId::Copy},
    {"BCut1", ButtonKind::XP, ButtonParent::Pbutton, At(260, 3, 28, 26), "Вырезать", true, Handler::BCut1Click,
     ButtonImageId::Cut},
    {"BPaste1", ButtonKind::XP, ButtonParent::Pbutton, At(290, 3, 28, 26), "Вставить", true, Handler::BPaste1Click,
     ButtonImageId::Paste},
    {"Bdel", ButtonKind::XP, ButtonParent::Pbutton, At(320, 3, 28, 26), "Удалить", true, Handler::BdelClick,
     ButtonImageId::Delete},
    {"Bundo", ButtonKind::XP, ButtonParent::Pbutton, At(350, 3, 28, 26), "Отменить", true, Handler::BundoClick,
     ButtonImageId::Undo},
    // BV1's left edge follows the window's width (TFmain::FormResize).
    {"BV1", ButtonKind::Flat, ButtonParent::Pbutton, At(0, 3, kBV1Width, 26), "Scroll", true, Handler::BV1Click,
     ButtonImageId::Scroll},
    {"Bedit", ButtonKind::Flat, ButtonParent::Ptools, At(1, 0, 26, 24), "TEdit", true, Handler::BeditClick,
     ButtonImageId::Edit},
    {"Blist", ButtonKind::Flat, ButtonParent::Ptools, At(27, 0, 26, 24), "TListBox", true, Handler::BeditClick,
     ButtonImageId::ListBox},
    {"Bbutton", ButtonKind::Flat, ButtonParent::Ptools, At(53, 0, 26, 24), "TButton", true, Handler::BeditClick,
     ButtonImageId::Button},
    {"Bcheck", ButtonKind::Flat, ButtonParent::Ptools, At(79, 0, 26, 24), "TCheckBox", true, Handler::BeditClick,
     ButtonImageId::CheckBox},
    {"Bradio", ButtonKind::Flat, ButtonParent::Ptools, At(105, 0, 26, 24), "TRadioButton", true,
     Handler::BeditClick, ButtonImageId::RadioButton},
    {"Bcombo", ButtonKind::Flat, ButtonParent::Ptools, At(131, 0, 26, 24), "TComboBox", true, Handler::BeditClick,
     ButtonImageId::ComboBox},
    {"Bevents", ButtonKind::XP, ButtonParent::Ptools, At(165, 2, 21, 20), "Events", false, Handler::BeventsClick,
     ButtonImageId::EventsArrow, true},
};

constexpr PanelDesc kPanels[] = {
    {38, PanelAlignment::Center, false, "Файл:"},
    {260, PanelAlignment::Left, true, ""},
    {50, PanelAlignment::Center, true, ""},
    {18, PanelAlignment::Center, true, ""},
    {50, PanelAlignment::Left, true, ""},
};

}  // namespace

std::span<const MenuDesc> MainMenu() {
  static const MenuDesc menus[] = {
      {"N1", "Файл", kFileItems},
      {"Proect1", "Проект", kProjectItems},
      {"N2", "Правка", kEditItems},
      {"N4", "Вид", ViewItems(), Handler::N4Click},
  };
  return menus;
}

std::optional<std::size_t> LanguageRowOf(Handler handler) {
  const auto row = static_cast<std::size_t>(handler) - static_cast<std::size_t>(Handler::N_hljavaClick);
  if (handler < Handler::N_hljavaClick || row >= Languages().size()) return std::nullopt;
  return row;
}

namespace {
void CollectAccelerators(std::span<const MenuItem> items, std::vector<Accelerator>& out) {
  for (const MenuItem& item : items) {
    CollectAccelerators(item.children, out);
    if (item.shortcut.key == 0) continue;
    Accelerator accelerator{item.shortcut.key, ShiftState{}, item.handler};
    accelerator.shift.ctrl = item.shortcut.ctrl;
    for (const Accelerator& known : out) {
      if (known.key == accelerator.key && known.shift == accelerator.shift) {
        throw std::logic_error("menu: the shortcut of " + std::string(item.name) + " is taken");
      }
    }
    out.push_back(accelerator);
  }
}
}  // namespace

std::vector<Accelerator> MenuAccelerators(std::span<const MenuDesc> menus) {
  std::vector<Accelerator> accelerators;
  for (const MenuDesc& menu : menus) CollectAccelerators(menu.items, accelerators);
  return accelerators;
}
std::span<const ButtonDesc> ToolButtons() { return kButtons; }
std::span<const PanelDesc> StatusPanels() { return kPanels; }

namespace {
constexpr MenuItem kWindowEvents[] = {
    {"_CREATE", "WM_CREATE", {}, Handler::_MOUSEWHEELClick, {}},
    {"_PAINT", "WM_PAINT", {}, Handler::_MOUSEWHEELClick, {}},
    {"_ACTIVATE", "WM_ACTIVATE", {}, Handler::_MOUSEWHEELClick, {}},
    {"_SETFOCUS", "WM_SETFOCUS", {}, Handler::_MOUSEWHEELClick, {}},
    {"_KILLFOCUS", "WM_KILLFOCUS", {}, Handler::_MOUSEWHEELClick, {}},
    {"_QUERYENDSESSION", "WM_QUERYENDSESSION", {}, Handler::_MOUSEWHEELClick, {}},
    {"_DESTROY", "WM_DESTROY", {}, Handler::_MOUSEWHEELClick, {}},
    {"_CLOSE", "WM_CLOSE", {}, Handler::_MOUSEWHEELClick, {}},
    {"_MOVE", "WM_MOVE", {}, Handler::_MOUSEWHEELClick, {}},
    {"_SIZE", "WM_SIZE", {}, Handler::_MOUSEWHEELClick, {}},
    {"_KEYDOWN", "WM_KEYDOWN", {}, Handler::_MOUSEWHEELClick, {}},
    {"_KEYUP", "WM_KEYUP", {}, Handler::_MOUSEWHEELClick, {}},
    {"_MOUSEMOVE", "WM_MOUSEMOVE", {}, Handler::_MOUSEWHEELClick, {}},
    {"_LBUTTONDOWN", "WM_LBUTTONDOWN", {}, Handler::_MOUSEWHEELClick, {}},
    {"_LBUTTONUP", "WM_LBUTTONUP", {}, Handler::_MOUSEWHEELClick, {}},
    {"_LBUTTONDBLCLK", "WM_LBUTTONDBLCLK", {}, Handler::_MOUSEWHEELClick, {}},
    {"_MOUSEWHEEL", "WM_MOUSEWHEEL", {}, Handler::_MOUSEWHEELClick, {}},
    {"_RBUTTONDOWN", "WM_RBUTTONDOWN", {}, Handler::_MOUSEWHEELClick, {}},
    {"_RBUTTONUP", "WM_RBUTTONUP", {}, Handler::_MOUSEWHEELClick, {}},
};
constexpr MenuItem kPopup1[] = {
    {"_Window", "Window events", {}, Handler::None, kWindowEvents},
    {"N5", "-", {}, Handler::None, {}},
};
}  // namespace

std::span<const MenuItem> EventsMenu() { return kPopup1; }

}  // namespace vantorel

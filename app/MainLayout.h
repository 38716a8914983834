// What the main window is made of, as data: the menu bar, the tool bar and palette
// buttons, the status bar panels and the handler each command calls. The Win32
// adapter builds the real controls from these tables; the handlers live in TFmain.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "app/ButtonImages.h"
#include "platform/Types.h"

namespace vantorel {

inline constexpr std::string_view kMainCaption = "Vantorel 1.1";
inline constexpr Rect kDesignedBounds{216, 122, 216 + 696, 122 + 405};
inline constexpr int kMinWindowWidth = 350;
inline constexpr std::string_view kFormFontName = "MS Sans Serif";
inline constexpr int kFormFontHeight = -13;

// Every handler a menu item or button can call.
enum class Handler {
  None,
  N_newClick,
  N_openClick,
  Last1Click,
  N_saveClick,
  N_save_asClick,
  N_closeClick,
  N_compileClick,
  N_runClick,
  N_setupClick,
  BundoClick,
  BCopy1Click,
  BCut1Click,
  BPaste1Click,
  BdelClick,
  WinDos1Click,
  DosWin1Click,
  N8Click,
  _NtoolsClick,
  _NcompClick,
  _NfontClick,
  N6Click,
  BeditClick,
  BV1Click,
  BeventsClick,
  _MOUSEWHEELClick,
  N4Click,
  N_buildOutputClick,
  N_codeHintsClick,
  N_stopBuildClick,
  NextBuildMessage,
  PreviousBuildMessage,
  // The languages' items, one per row of the language table in its order, the first
  // two named: kept last, so that a further language needs no value of its own.
  N_hljavaClick,
  N_hlmasmClick,
};

struct Shortcut {
  int key = 0;  // virtual key, 0 for none
  bool ctrl = false;
  std::string_view text;  // as shown in the menu
};

// The languages' radio items come last, as their handlers do.
enum class MenuItemId { None, Last1, _Ntools, _Ncomp, N_buildOutput, N_codeHints, N_stopBuild, N_hljava, N_hlmasm };

// The View menu's radio item, and its handler, of the language in row of the table.
constexpr MenuItemId LanguageMenuItem(std::size_t row) noexcept {
  return static_cast<MenuItemId>(static_cast<std::size_t>(MenuItemId::N_hljava) + row);
}
constexpr Handler LanguageHandler(std::size_t row) noexcept {
  return static_cast<Handler>(static_cast<std::size_t>(Handler::N_hljavaClick) + row);
}
// The row of the language whose item calls handler, if it is one.
std::optional<std::size_t> LanguageRowOf(Handler handler);

struct MenuItem {
  std::string_view name;
  std::string_view caption;  // "-" is a separator
  Shortcut shortcut;
  Handler handler;
  std::span<const MenuItem> children;  // a submenu when not empty
  MenuItemId id = MenuItemId::None;        // items the program changes later
};

struct MenuDesc {
  std::string_view name;
  std::string_view caption;
  std::span<const MenuItem> items;
  Handler onOpen = Handler::None;  // run each time the menu opens
};

std::span<const MenuDesc> MainMenu();

// A key that runs a menu item's command without opening the menu.
struct Accelerator {
  int key;           // virtual key
  ShiftState shift;  // only shift, ctrl and alt are set
  Handler command;
  bool operator==(const Accelerator&) const = default;
};

// The shortcuts of the items of menus, submenus included, in menu order. Two items
// with the same key and shift throw std::logic_error: that is a typo in the table.
std::vector<Accelerator> MenuAccelerators(std::span<const MenuDesc> menus);

enum class ButtonKind { XP, Flat };
enum class ButtonParent { Pbutton, Ptools };

struct ButtonDesc {
  std::string_view name;
  ButtonKind kind;
  ButtonParent parent;
  Rect bounds;  // in the parent's client coordinates
  std::string_view hint;
  bool showHint;
  Handler handler;
  ButtonImageId image;
  // No click of its own: it drops its menu down on every release over it, of either
  // mouse button, by running handler.
  bool dropsMenu = false;
};

std::span<const ButtonDesc> ToolButtons();

// Popup1: "Window events" with the nineteen message items (each named after its
// message without "WM"), then a separator. The Events button drops it down.
std::span<const MenuItem> EventsMenu();
// The drop-down menu's left edge stands this far from the button's.
inline constexpr int kDropDownOffsetX = -1;

inline constexpr int kToolBarHeight = 31;       // Pbutton
inline constexpr Rect kPaletteBounds{402, 3, 402 + 223, 3 + 24};  // Ptools inside Pbutton
inline constexpr int kBV1Width = 17;
inline constexpr int kBV1Margin = 10;
inline constexpr int kStatusBarHeight = 19;

enum class PanelAlignment { Left, Center };

struct PanelDesc {
  int width;
  PanelAlignment alignment;
  bool bevel;  // lowered bevel, or none
  std::string_view initialText;
};

std::span<const PanelDesc> StatusPanels();

// The panels the program reads and writes by number.
namespace panel {
inline constexpr int Label = 0;
inline constexpr int File = 1;
inline constexpr int Caret = 2;
inline constexpr int Modified = 3;
inline constexpr int Build = 4;
}  // namespace panel

}  // namespace vantorel

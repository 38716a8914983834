#include "app/Snippets.h"

#include <array>

namespace vantorel {

namespace {

// Exactly as they are typed: the runs of blanks in the comment lines, the missing
// blank in "NULL,WS_CHILD" and the leading blank of the check box's invoke line too.
constexpr std::array<std::string_view, 2> kEdit{
    "; EditClass     db 'edit',0\r",
    "invoke CreateWindowEx, WS_EX_CLIENTEDGE, addr EditClass, NULL,WS_CHILD or WS_VISIBLE or WS_BORDER or ES_LEFT or "
    "ES_AUTOHSCROLL, 9,9,40,23, hWnd, 2, hInstance, NULL\r",
};
constexpr std::array<std::string_view, 2> kList{
    "; ListBoxClass     db 'listbox',0\r",
    "invoke CreateWindowEx, WS_EX_CLIENTEDGE, addr ListBoxClass, NULL,WS_CHILD or WS_VISIBLE or WS_BORDER or "
    "WS_VSCROLL or LBS_HASSTRINGS or LBS_NOINTEGRALHEIGHT or LBS_DISABLENOSCROLL, 9,9,100,100, hWnd, 3, hInstance, "
    "NULL\r",
};
constexpr std::array<std::string_view, 2> kButton{
    "; ButtonClass   db 'button',0\r",
    "invoke CreateWindowEx, WS_EX_CLIENTEDGE, addr ButtonClass, NULL, WS_CHILD or WS_VISIBLE, 9,9,80,23, hWnd, 4, "
    "hInstance, NULL\r",
};
constexpr std::array<std::string_view, 3> kCheck{
    "; ButtonClass   db 'button',0\r",
    "; CheckBoxCap   db 'CheckBox',0\r",
    " invoke CreateWindowEx, NULL, addr ButtonClass, addr CheckBoxCap, BS_AUTOCHECKBOX or WS_CHILD or WS_VISIBLE, "
    "9,9,80,23, hWnd, 5, hInstance, NULL\r",
};
constexpr std::array<std::string_view, 3> kRadio{
    "; ButtonClass   db 'button',0\r",
    "; RadioButCap   db 'RadioButton',0\r",
    "invoke CreateWindowEx, NULL, addr ButtonClass, NULL, BS_AUTORADIOBUTTON or WS_CHILD or WS_VISIBLE, 9,9,120,23, "
    "hWnd, 6, hInstance, NULL\r",
};
constexpr std::array<std::string_view, 2> kCombo{
    "; ComboClass    db 'combobox',0\r",
    "invoke CreateWindowEx, WS_EX_CLIENTEDGE, addr ComboClass, NULL, WS_CHILD or WS_VISIBLE or WS_BORDER or "
    "CBS_DROPDOWNLIST, 9,9,120,90, hWnd, 7, hInstance, NULL\r",
};

struct Palette {
  std::string_view name;
  std::span<const std::string_view> fragments;
};
constexpr std::array<Palette, 6> kPalette{{
    {"Bedit", kEdit},
    {"Blist", kList},
    {"Bbutton", kButton},
    {"Bcheck", kCheck},
    {"Bradio", kRadio},
    {"Bcombo", kCombo},
}};

}  // namespace

std::span<const std::string_view> ControlFragments(std::string_view buttonName) {
  for (const Palette& p : kPalette) {
    if (p.name == buttonName) return p.fragments;
  }
  return {};
}

EventBlock EventBlockFor(std::string_view itemName) {
  return {"    .IF uMsg == WM" + std::string(itemName) + "\r", "    .ENDIF\r"};
}

}  // namespace vantorel

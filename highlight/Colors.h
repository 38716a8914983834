// The colour set of the highlighter: one look per token class.
#pragma once

#include "platform/Types.h"

namespace vantorel {

struct TSymbolColor {
  FontStyle Style = FontStyle::None;
  Color ForeColor = clWindowText;
  Color BackColor = clWindow;
  bool operator==(const TSymbolColor&) const = default;
};

inline constexpr Color clNavy = Color::Rgb(0, 0, 128);
inline constexpr Color clPurple = Color::Rgb(128, 0, 128);
inline constexpr Color clBlue = Color::Rgb(0, 0, 255);
inline constexpr Color clGreen = Color::Rgb(0, 128, 0);

// Assigning one set to another copies all eleven looks.
struct TColors {
  TSymbolColor Comment{FontStyle::Italic, clOlive};
  TSymbolColor Number{FontStyle::None, clNavy};
  TSymbolColor Strings{FontStyle::None, clPurple};
  TSymbolColor Symbol{FontStyle::None, clBlue};
  TSymbolColor Reserved{FontStyle::Bold};
  TSymbolColor Identifier;
  TSymbolColor Preproc{FontStyle::None, clGreen};
  TSymbolColor FunctionCall;
  TSymbolColor Declaration;
  TSymbolColor Statement{FontStyle::Bold};
  TSymbolColor PlainText;
  bool operator==(const TColors&) const = default;
};

}  // namespace vantorel

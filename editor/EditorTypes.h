// Values shared by the editor's model, view and facade: the settings' enumerations,
// the reachable column range, a text position and the look of one painted column.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/Types.h"

namespace vantorel {

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TBorderStyle { bsNone, bsSingle };
enum class TSelBlockFormat { bfInclusive, bfLine, bfColumn, bfNonInclusive };
enum class TCursor { crDefault, crArrow, crIBeam, crCross, crHourGlass, crHandPoint, crSizeAll, crNo };

// The style bits of the editor's window, as its settings ask for them.
struct EditorWindowStyle {
  bool border = false;      // a plain border
  bool clientEdge = false;  // the sunken edge that replaces it in the 3-D look
  bool tabStop = true;
  bool vscroll = false;
  bool hscroll = false;
  bool readOnly = false;
  bool operator==(const EditorWindowStyle&) const = default;
};

// Columns 0 to MaxLineColumns are reachable by caret and selection; at most this many
// columns of a line are shown.
inline constexpr int MaxLineColumns = 1024;
inline constexpr std::string_view kAssertionFailure = "Assertion failure";
inline constexpr Point kCaretOutOfSight{-32767, -32767};
// The private clipboard format that carries a copied block's type (one byte), shared
// with other editors that know it.
inline constexpr const char* kBlockTypeFormatName = "Borland IDE Block Type";

// What a text change was, as the editor reports it to its highlighter; the values are
// the ones other editors of this family use.
enum class TextAction : int {
  AllChanged = 0,     // the whole text was replaced
  StreamInsert = 1,   // text inserted at a point
  StreamDelete = 2,   // text removed from a point
  ColumnInsert = 3,   // a rectangle inserted
  ColumnDelete = 4,   // a rectangle removed
  Replace = 5,        // text replaced in place (an undone overwrite or replacement)
};

// A column and a line of the text, 0-based.
struct TextPoint {
  int x = 0;
  int y = 0;
  friend constexpr bool operator==(TextPoint, TextPoint) noexcept = default;
  // Earlier in the text: an earlier line, or the same line and a smaller column.
  friend constexpr bool operator<(TextPoint a, TextPoint b) noexcept { return a.y != b.y ? a.y < b.y : a.x < b.x; }
};

// How one column of a painted line looks; two neighbouring columns with equal
// records are drawn as one run.
struct TLineAttr {
  Color ForeColor;
  Color BackColor;
  FontStyle Style = FontStyle::None;
  Color BorderColor = clNone;
  bool operator==(const TLineAttr&) const = default;
};
// Index i describes column i - 1; indices 1 to 1024 hold columns 0 to 1023.
using TLineAttrs = std::array<TLineAttr, MaxLineColumns + 1>;

// The three bytes after Style are padding: code that compares records as bytes
// (the painter's run search) ignores them.
static_assert(sizeof(TLineAttr) == 16 && offsetof(TLineAttr, Style) == 8 && offsetof(TLineAttr, BorderColor) == 12);

// Sets the records first to last - 1 to value, one 16-byte store each (assigning the
// record writes its four fields one by one), the padding zero.
inline void FillLineAttrs(TLineAttr* first, TLineAttr* last, const TLineAttr& value) noexcept {
  unsigned char image[sizeof(TLineAttr)] = {};
  std::memcpy(image + offsetof(TLineAttr, ForeColor), &value.ForeColor, sizeof value.ForeColor);
  std::memcpy(image + offsetof(TLineAttr, BackColor), &value.BackColor, sizeof value.BackColor);
  std::memcpy(image + offsetof(TLineAttr, Style), &value.Style, sizeof value.Style);
  std::memcpy(image + offsetof(TLineAttr, BorderColor), &value.BorderColor, sizeof value.BorderColor);
#if defined(__SSE2__)
  const __m128i record = _mm_loadu_si128(reinterpret_cast<const __m128i*>(image));
  for (; first < last; ++first) _mm_storeu_si128(reinterpret_cast<__m128i*>(first), record);
#else
  for (; first < last; ++first) std::memcpy(static_cast<void*>(first), image, sizeof image);
#endif
}

}  // namespace vantorel

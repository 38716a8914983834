// The pictures of the XP-look buttons: image lists of one cell size shared by every
// button through a process-wide cache, the picture of one button cut from its bitmap
// lazily, and the standard layout of a glyph and a caption on a button.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/Surface.h"
#include "platform/Types.h"

namespace vantorel {

enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };


// All cut glyph images of one size.
class TXPGlyphL {
 public:
  TXPGlyphL(int width, int height) noexcept : width_(width), height_(height) {}
  int Width() const noexcept { return width_; }
  int Height() const noexcept { return height_; }
  // The first free slot (a new empty image appended when all are used), now used.
  int AllocateSlot();
  // A slot holding bitmap (of the list's size), its pixels of maskColor (and any of
  // alpha 0) transparent; counts one more used slot.
  int AddGlyph(const PixelImage& bitmap, Color maskColor);
  // Frees a used slot; a free or unknown index is ignored.
  void ReleaseSlot(int index);
  int UsedCount() const noexcept { return used_; }
  int Count() const noexcept { return static_cast<int>(images_.size()); }
  const PixelImage& Image(int index) const { return images_.at(static_cast<std::size_t>(index)); }
  // Draws an image; disabled draws the greyed rendering: the image's shape (its
  // pixels that are not light) once in clBtnHighlight one pixel right and down, then
  // in clBtnShadow in place.
  void Draw(Surface& surface, int index, Point at, bool disabled) const;

 private:
  int width_;
  int height_;
  std::vector<PixelImage> images_;
  std::vector<bool> usedSlots_;
  int used_ = 0;
};

// The process-wide cache of image lists, one per size.
class TXPGlyphC {
 public:
  // The list of exactly that size (the most recently added first), else a new one.
  TXPGlyphL& ListForSize(int width, int height);
  // A list with no used slot is removed and destroyed.
  void ReturnList(TXPGlyphL& list);
  bool IsEmpty() const noexcept { return lists_.empty(); }
  int ListCount() const noexcept { return static_cast<int>(lists_.size()); }

 private:
  std::vector<std::unique_ptr<TXPGlyphL>> lists_;
};

// The cache while any glyph (or cut image) needs it; nullptr otherwise.
TXPGlyphC* GlyphCache() noexcept;

// The picture of one button.
class TXPBGlyph {
 public:
  TXPBGlyph();
  ~TXPBGlyph();
  TXPBGlyph(const TXPBGlyph&) = delete;
  TXPBGlyph& operator=(const TXPBGlyph&) = delete;

  // Copies the bitmap (an empty image: no glyph). Its bottom-left pixel becomes the
  // transparent colour; a width that is a whole multiple of the height gives
  // NumGlyphs = width / height when below 5, else 1.
  void SetGlyph(const PixelImage& bitmap);
  const PixelImage& Glyph() const noexcept { return source_; }
  int NumGlyphs() const noexcept { return numGlyphs_; }
  void SetNumGlyphs(int n);
  Color TransparentColor() const noexcept { return transparent_; }
  // The source bitmap changed (or the system colours did): the images are cut anew.
  void GlyphChanged();
  void ReleaseImages();
  // The image of a state in the shared list, cut from the bitmap's first cell on
  // first use; -1 without a bitmap.
  int ImageForState(TButtonState state);
  void DrawGlyph(Surface& surface, Point at, TButtonState state);
  // The cell size: (bitmap width / NumGlyphs, bitmap height).
  Point CellSize() const noexcept;
  std::function<void()> OnChange;

 private:
  // The bottom-left pixel's colour when it is drawn; otherwise the colour stays.
  void TakeTransparentColor() noexcept;

  PixelImage source_;
  int numGlyphs_ = 1;
  Color transparent_ = clOlive;
  int indexes_[4] = {-1, -1, -1, -1};
  TXPGlyphL* list_ = nullptr;
};

// Where the glyph and the caption go on a button (the caption measured on one line
// in the surface's current font).
struct ButtonLayout {
  Point glyphPos;
  Rect textBounds;
};
ButtonLayout CalcLayout(const TXPBGlyph& glyph, Surface& surface, const Rect& client, Point offset,
                        std::string_view caption, TButtonLayout layout, int margin, int spacing, bool rightToLeft);
// The caption, centred both ways in bounds (flags added to the caller's): in the
// disabled state once in clBtnHighlight one pixel right and down, then in
// clBtnShadow; otherwise once in color.
void DrawCaption(Surface& surface, std::string_view caption, const Rect& bounds, TButtonState state, unsigned flags,
                 Color color);
// CalcLayout, then the glyph and the caption; returns the caption's rectangle.
Rect DrawButton(TXPBGlyph& glyph, Surface& surface, const Rect& client, Point offset, std::string_view caption,
                TButtonLayout layout, int margin, int spacing, TButtonState state, unsigned textFlags, Color color,
                bool rightToLeft);

}  // namespace vantorel

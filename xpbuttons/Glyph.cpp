#include "xpbuttons/Glyph.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <utility>

namespace vantorel {
namespace {

constexpr std::uint32_t kAlphaMask = 0xFF000000u;
constexpr std::uint32_t kRgbMask = 0x00FFFFFFu;

bool IsOpaque(std::uint32_t pixel) noexcept { return (pixel & kAlphaMask) != 0; }

// 0xRRGGBB of an RGB colour (Color keeps 0x00BBGGRR).
std::uint32_t RgbOf(Color color) noexcept {
  const std::uint32_t r = color.value & 0xFFu;
  const std::uint32_t g = (color.value >> 8) & 0xFFu;
  const std::uint32_t b = (color.value >> 16) & 0xFFu;
  return (r << 16) | (g << 8) | b;
}

Color ColorOf(std::uint32_t pixel) noexcept {
  return Color::Rgb(static_cast<int>((pixel >> 16) & 0xFFu), static_cast<int>((pixel >> 8) & 0xFFu),
                    static_cast<int>(pixel & 0xFFu));
}

std::uint32_t PixelAt(const PixelImage& image, int x, int y) noexcept {
  return image
      .pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(x)];
}

bool IsEmpty(const PixelImage& image) noexcept { return image.width <= 0 || image.height <= 0; }

std::size_t PixelCount(int width, int height) noexcept {
  return static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0));
}

// A pixel belongs to the greyed shape when it is drawn and darker than light grey
// (luminance 0.3 R + 0.59 G + 0.11 B below 192, in hundredths to stay exact).
bool InGreyedShape(std::uint32_t pixel) noexcept {
  if (!IsOpaque(pixel)) return false;
  const std::uint32_t r = (pixel >> 16) & 0xFFu;
  const std::uint32_t g = (pixel >> 8) & 0xFFu;
  const std::uint32_t b = pixel & 0xFFu;
  return 30 * r + 59 * g + 11 * b < 192 * 100;
}

// The cache lives while a glyph needs it: created on demand, dropped by the last
// glyph that finds it empty.
std::unique_ptr<TXPGlyphC>& CacheSlot() noexcept {
  static std::unique_ptr<TXPGlyphC> cache;
  return cache;
}

TXPGlyphC& EnsureCache() {
  std::unique_ptr<TXPGlyphC>& cache = CacheSlot();
  if (!cache) cache = std::make_unique<TXPGlyphC>();
  return *cache;
}

}  // namespace

// ---- TXPGlyphL ----

int TXPGlyphL::AllocateSlot() {
  const auto freeSlot = std::find(usedSlots_.begin(), usedSlots_.end(), false);
  int index = static_cast<int>(freeSlot - usedSlots_.begin());
  if (freeSlot == usedSlots_.end()) {
    // A new slot holds a fully transparent image of the list's size until filled.
    images_.push_back(PixelImage{width_, height_, std::vector<std::uint32_t>(PixelCount(width_, height_), 0u)});
    usedSlots_.push_back(false);
    index = static_cast<int>(images_.size()) - 1;
  }
  // The count always equals the slots marked used, so a list is handed back to the
  // cache exactly when its last image is released.
  usedSlots_[static_cast<std::size_t>(index)] = true;
  ++used_;
  return index;
}

int TXPGlyphL::AddGlyph(const PixelImage& bitmap, Color maskColor) {
  // clNone's low bytes read as white, and a system colour has no RGB here: neither
  // masks anything.
  const bool masks = maskColor != clNone && !maskColor.IsSystem();
  const std::uint32_t mask = RgbOf(maskColor);
  PixelImage image{width_, height_, std::vector<std::uint32_t>(PixelCount(width_, height_), 0u)};
  // Every image of the list has the list's size: a bitmap of another size is cut or
  // padded with transparent pixels, and one whose pixels do not cover its size adds
  // a blank image rather than reading past them.
  const int w = std::min(width_, bitmap.width);
  const int h = std::min(height_, bitmap.height);
  if (bitmap.pixels.size() >= PixelCount(bitmap.width, bitmap.height)) {
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const std::uint32_t pixel = PixelAt(bitmap, x, y);
        const bool transparent = !IsOpaque(pixel) || (masks && (pixel & kRgbMask) == mask);
        image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] =
            transparent ? 0u : (kAlphaMask | (pixel & kRgbMask));
      }
    }
  }
  const int index = AllocateSlot();
  images_[static_cast<std::size_t>(index)] = std::move(image);
  return index;
}

void TXPGlyphL::ReleaseSlot(int index) {
  if (index < 0 || index >= Count() || !usedSlots_[static_cast<std::size_t>(index)]) return;
  usedSlots_[static_cast<std::size_t>(index)] = false;
  --used_;
}

void TXPGlyphL::Draw(Surface& surface, int index, Point at, bool disabled) const {
  if (index < 0 || index >= Count() || !usedSlots_[static_cast<std::size_t>(index)]) return;
  const PixelImage& image = images_[static_cast<std::size_t>(index)];
  if (!disabled) {
    surface.DrawImage(at.x, at.y, image);
    return;
  }
  // The greyed rendering: the shape embossed, a highlight one pixel right and down
  // under the shadow. Runs of a row are one fill each.
  std::vector<Rect> runs;
  for (int y = 0; y < image.height; ++y) {
    int x = 0;
    while (x < image.width) {
      if (!InGreyedShape(PixelAt(image, x, y))) {
        ++x;
        continue;
      }
      const int runStart = x;
      while (x < image.width && InGreyedShape(PixelAt(image, x, y))) ++x;
      runs.push_back(Rect{at.x + runStart, at.y + y, at.x + x, at.y + y + 1});
    }
  }
  for (const Rect& run : runs) {
    surface.FillRect(Rect{run.left + 1, run.top + 1, run.right + 1, run.bottom + 1}, clBtnHighlight);
  }
  for (const Rect& run : runs) surface.FillRect(run, clBtnShadow);
}

// ---- TXPGlyphC ----

TXPGlyphL& TXPGlyphC::ListForSize(int width, int height) {
  for (auto it = lists_.rbegin(); it != lists_.rend(); ++it) {
    if ((*it)->Width() == width && (*it)->Height() == height) return **it;
  }
  lists_.push_back(std::make_unique<TXPGlyphL>(width, height));
  return *lists_.back();
}

void TXPGlyphC::ReturnList(TXPGlyphL& list) {
  if (list.UsedCount() != 0) return;
  const auto it = std::find_if(lists_.begin(), lists_.end(),
                               [&](const std::unique_ptr<TXPGlyphL>& own) { return own.get() == &list; });
  if (it != lists_.end()) lists_.erase(it);
}

TXPGlyphC* GlyphCache() noexcept { return CacheSlot().get(); }

// ---- TXPBGlyph ----

TXPBGlyph::TXPBGlyph() { EnsureCache(); }

TXPBGlyph::~TXPBGlyph() {
  ReleaseImages();
  std::unique_ptr<TXPGlyphC>& cache = CacheSlot();
  if (cache && cache->IsEmpty()) cache.reset();
}

void TXPBGlyph::SetGlyph(const PixelImage& bitmap) {
  const bool empty = IsEmpty(bitmap);
  if (!empty && bitmap.pixels.size() < PixelCount(bitmap.width, bitmap.height)) {
    throw std::invalid_argument("glyph bitmap has fewer pixels than its size");
  }
  ReleaseImages();
  source_ = empty ? PixelImage{} : bitmap;
  if (!empty) {
    TakeTransparentColor();
    if (source_.width % source_.height == 0) {
      const int cells = source_.width / source_.height;
      numGlyphs_ = cells < 5 ? cells : 1;
    }
  }
  if (OnChange) OnChange();
}

void TXPBGlyph::SetNumGlyphs(int n) {
  // A button's bitmap holds one to four cells; zero or less keeps the count.
  if (n <= 0) return;
  n = std::min(n, 4);
  if (n == numGlyphs_) return;
  ReleaseImages();
  numGlyphs_ = n;
  GlyphChanged();
}

void TXPBGlyph::GlyphChanged() {
  TakeTransparentColor();
  ReleaseImages();
  if (OnChange) OnChange();
}

void TXPBGlyph::TakeTransparentColor() noexcept {
  if (IsEmpty(source_)) return;
  const std::uint32_t bottomLeft = PixelAt(source_, 0, source_.height - 1);
  if (IsOpaque(bottomLeft)) transparent_ = ColorOf(bottomLeft);
}

void TXPBGlyph::ReleaseImages() {
  for (int& index : indexes_) {
    if (index != -1 && list_ != nullptr) list_->ReleaseSlot(index);
    index = -1;
  }
  if (list_ != nullptr) {
    if (TXPGlyphC* cache = GlyphCache()) cache->ReturnList(*list_);
    list_ = nullptr;
  }
}

int TXPBGlyph::ImageForState(TButtonState state) {
  if (state == TButtonState::bsDown && numGlyphs_ < 3) state = TButtonState::bsUp;
  int& index = indexes_[static_cast<int>(state)];
  if (index != -1) return index;
  const Point cell = CellSize();
  if (IsEmpty(source_) || cell.x <= 0 || cell.y <= 0) return -1;
  if (list_ == nullptr) list_ = &EnsureCache().ListForSize(cell.x, cell.y);
  // Every state shows the first cell; the disabled look comes from drawing it greyed.
  PixelImage cut{cell.x, cell.y, {}};
  cut.pixels.reserve(PixelCount(cell.x, cell.y));
  for (int y = 0; y < cell.y; ++y) {
    const auto row = source_.pixels.begin() + static_cast<std::ptrdiff_t>(y) * source_.width;
    cut.pixels.insert(cut.pixels.end(), row, row + cell.x);
  }
  try {
    index = list_->AddGlyph(cut, transparent_);
  } catch (...) {
    // A list taken for this cut alone goes back, so the cache does not keep it.
    const bool holdsNone = std::all_of(std::begin(indexes_), std::end(indexes_), [](int i) { return i == -1; });
    if (holdsNone) ReleaseImages();
    throw;
  }
  return index;
}

void TXPBGlyph::DrawGlyph(Surface& surface, Point at, TButtonState state) {
  if (IsEmpty(source_)) return;
  const int index = ImageForState(state);
  if (index < 0 || list_ == nullptr) return;
  list_->Draw(surface, index, at, state == TButtonState::bsDisabled);
}

Point TXPBGlyph::CellSize() const noexcept {
  if (IsEmpty(source_)) return Point{0, 0};
  return Point{source_.width / numGlyphs_, source_.height};
}

// ---- layout and caption ----

ButtonLayout CalcLayout(const TXPBGlyph& glyph, Surface& surface, const Rect& client, Point offset,
                        std::string_view caption, TButtonLayout layout, int margin, int spacing, bool rightToLeft) {
  if (rightToLeft) {
    if (layout == TButtonLayout::blGlyphLeft) {
      layout = TButtonLayout::blGlyphRight;
    } else if (layout == TButtonLayout::blGlyphRight) {
      layout = TButtonLayout::blGlyphLeft;
    }
  }
  const Point clientSize{client.Width(), client.Height()};
  const Point glyphSize = glyph.CellSize();
  Point textSize{0, 0};
  if (!caption.empty()) {
    const Rect measured =
        surface.DrawFormattedText(Rect{0, 0, clientSize.x, 0}, caption, clBtnText, textformat::CalcRect);
    textSize = Point{measured.Width(), measured.Height()};
  }

  const bool horizontal = layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphRight;
  // One axis of a size: along the layout or across it.
  auto along = [horizontal](const Point& p) { return horizontal ? p.x : p.y; };
  auto across = [horizontal](const Point& p) { return horizontal ? p.y : p.x; };

  Point glyphPos{0, 0};
  Point textPos{0, 0};
  // Across the axis both are centred, an odd remainder going to the far side.
  const int glyphAcross = (across(clientSize) - across(glyphSize) + 1) / 2;
  const int textAcross = (across(clientSize) - across(textSize) + 1) / 2;

  if (textSize.x == 0 || glyphSize.x == 0) spacing = 0;
  const int total = along(clientSize);
  const int glyphAlong = along(glyphSize);
  const int textAlong = along(textSize);
  if (margin == -1) {
    if (spacing == -1) {
      margin = (total - (glyphAlong + textAlong)) / 3;
      spacing = margin;
    } else {
      margin = (total - (glyphAlong + spacing + textAlong) + 1) / 2;
    }
  } else if (spacing == -1) {
    spacing = (total - margin - glyphAlong - textAlong) / 2;
  }

  int glyphAt = 0;
  int textAt = 0;
  if (layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphTop) {
    glyphAt = margin;
    textAt = glyphAt + glyphAlong + spacing;
  } else {
    glyphAt = total - margin - glyphAlong;
    textAt = glyphAt - spacing - textAlong;
  }
  if (horizontal) {
    glyphPos = Point{glyphAt, glyphAcross};
    textPos = Point{textAt, textAcross};
  } else {
    glyphPos = Point{glyphAcross, glyphAt};
    textPos = Point{textAcross, textAt};
  }

  ButtonLayout result;
  // The press offset moves the picture only; the caption stays put.
  result.glyphPos = Point{glyphPos.x + client.left + offset.x, glyphPos.y + client.top + offset.y};
  const int textLeft = textPos.x + client.left;
  const int textTop = textPos.y + client.top;
  result.textBounds = Rect{textLeft, textTop, textLeft + textSize.x, textTop + textSize.y};
  return result;
}

void DrawCaption(Surface& surface, std::string_view caption, const Rect& bounds, TButtonState state, unsigned flags,
                 Color color) {
  if (caption.empty()) return;
  // Drawing, not measuring: a stray measuring bit would silently draw nothing.
  const unsigned format = (flags & ~textformat::CalcRect) | textformat::Center | textformat::VCenter;
  if (state == TButtonState::bsDisabled) {
    const Rect raised{bounds.left + 1, bounds.top + 1, bounds.right + 1, bounds.bottom + 1};
    surface.DrawFormattedText(raised, caption, clBtnHighlight, format);
    surface.DrawFormattedText(bounds, caption, clBtnShadow, format);
  } else {
    surface.DrawFormattedText(bounds, caption, color, format);
  }
}

Rect DrawButton(TXPBGlyph& glyph, Surface& surface, const Rect& client, Point offset, std::string_view caption,
                TButtonLayout layout, int margin, int spacing, TButtonState state, unsigned textFlags, Color color,
                bool rightToLeft) {
  const ButtonLayout placed = CalcLayout(glyph, surface, client, offset, caption, layout, margin, spacing, rightToLeft);
  glyph.DrawGlyph(surface, placed.glyphPos, state);
  DrawCaption(surface, caption, placed.textBounds, state, textFlags, color);
  return placed.textBounds;
}

}  // namespace vantorel

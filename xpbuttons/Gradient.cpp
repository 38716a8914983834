#include "xpbuttons/Gradient.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace vantorel {
namespace {

// The dither pattern is worked out for this many pixels across the bands only and
// then repeated, so a wide face costs no more randomness than a narrow one.
constexpr int kStrip = 16;

int Channel(Color color, int shift) noexcept { return static_cast<int>((color.value >> shift) & 0xFFu); }

std::uint32_t OpaquePixel(int r, int g, int b) noexcept {
  return 0xFF000000u | (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) |
         static_cast<std::uint32_t>(b);
}

std::uint32_t OpaquePixel(Color color) noexcept {
  return OpaquePixel(Channel(color, 0), Channel(color, 8), Channel(color, 16));
}

// n / d rounded to the nearest integer, exact halves to the even neighbour; d > 0.
long long DivideRoundingHalfToEven(long long n, long long d) noexcept {
  long long q = n / d;
  long long r = n % d;
  if (r < 0) {  // make the quotient the floor, so the remainder is in [0, d)
    q -= 1;
    r += d;
  }
  if (2 * r > d || (2 * r == d && (q & 1) != 0)) q += 1;
  return q;
}

// Entry `index` of a table of `steps` colours running from first to last.
std::uint32_t TableColor(Color first, Color last, int index, int steps) noexcept {
  auto channel = [&](int shift) {
    const int from = Channel(first, shift);
    const long long span = static_cast<long long>(Channel(last, shift)) - from;
    return from + static_cast<int>(DivideRoundingHalfToEven(static_cast<long long>(index) * span, steps - 1));
  };
  return OpaquePixel(channel(0), channel(8), channel(16));
}

// The bitmap seen along the bands' axis: rows for top-to-bottom gradients, columns
// for left-to-right ones. `along` picks the band line, `across` the pixel on it.
class BandView {
 public:
  BandView(PixelImage& image, bool bandsAreRows) noexcept : image_(image), rows_(bandsAreRows) {}
  int Along() const noexcept { return rows_ ? image_.height : image_.width; }
  int Across() const noexcept { return rows_ ? image_.width : image_.height; }
  int StripWidth() const noexcept { return std::min(kStrip, Across()); }

  // Paints band lines [from, to] (clipped) over the strip.
  void PaintLines(int from, int to, std::uint32_t pixel) noexcept {
    const int first = std::max(from, 0);
    const int last = std::min(to, Along() - 1);
    for (int a = first; a <= last; ++a) {
      for (int c = 0; c < StripWidth(); ++c) At(a, c) = pixel;
    }
  }

  // Repeats the strip over every following block of kStrip pixels across the bands.
  void RepeatStrip() noexcept {
    const int across = Across();
    if (across <= kStrip) return;
    std::uint32_t* pixels = image_.pixels.data();
    const std::size_t width = static_cast<std::size_t>(image_.width);
    if (rows_) {
      for (int y = 0; y < image_.height; ++y) {
        std::uint32_t* row = pixels + static_cast<std::size_t>(y) * width;
        for (int x = kStrip; x < across; x += kStrip) std::copy_n(row, std::min(kStrip, across - x), row + x);
      }
    } else {
      for (int y = kStrip; y < across; ++y) {
        std::copy_n(pixels + static_cast<std::size_t>(y % kStrip) * width, width,
                    pixels + static_cast<std::size_t>(y) * width);
      }
    }
  }

 private:
  std::uint32_t& At(int along, int across) noexcept {
    const int x = rows_ ? across : along;
    const int y = rows_ ? along : across;
    return image_
        .pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image_.width) + static_cast<std::size_t>(x)];
  }

  PixelImage& image_;
  bool rows_;
};

}  // namespace

GradientRandom DefaultGradientRandom() {
  return [seed = std::uint32_t{0}](int n) mutable {
    seed = seed * 134775813u + 1u;
    if (n <= 0) return 0;
    return static_cast<int>((static_cast<std::uint64_t>(seed) * static_cast<std::uint64_t>(n)) >> 32);
  };
}

int MulDiv(int a, int b, int c) noexcept {
  if (c == 0) return -1;
  long long product = static_cast<long long>(a) * b;
  long long divisor = c;
  if (divisor < 0) {
    divisor = -divisor;
    product = -product;
  }
  const long long half = divisor / 2;
  const long long result = product >= 0 ? (product + half) / divisor : (product - half) / divisor;
  // The system answers a quotient that does not fit with -1, as for a zero divisor.
  if (result > INT_MAX || result < INT_MIN) return -1;
  return static_cast<int>(result);
}

void PaintGradient(int width, int height, Color start, Color end, int steps, int style, bool dither, PixelImage& bitmap,
                   const GradientRandom& random) {
  if (width <= 0 || height <= 0) {
    bitmap.width = 0;
    bitmap.height = 0;
    bitmap.pixels.clear();
    return;
  }
  bitmap.width = width;
  bitmap.height = height;
  // assign keeps the storage of a bitmap painted before at this size or larger.
  bitmap.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), OpaquePixel(start));
  // Fewer than two steps is a single colour (and no division by steps - 1);
  // a style the painter does not know leaves the start colour too.
  if (steps < 2 || style < 0 || style > 3) return;

  const bool bandsAreRows = style == 1 || style == 3;
  const bool reversed = style == 2 || style == 3;
  const Color first = reversed ? end : start;
  const Color last = reversed ? start : end;
  BandView view(bitmap, bandsAreRows);
  const int along = view.Along();

  // Bands in order, so where rounding makes them overlap the later one shows.
  for (int i = 0; i < steps; ++i) {
    const int from = MulDiv(i, along, steps);
    const int to = MulDiv(i + 1, along, steps) - 1;
    if (from <= to) view.PaintLines(from, to, TableColor(first, last, i, steps));
  }

  if (dither) {
    std::optional<GradientRandom> ownRandom;
    if (!random) ownRandom = DefaultGradientRandom();
    const GradientRandom& draw = random ? random : *ownRandom;
    const int reach = along / (steps - 1);
    for (int i = 1; i < steps; ++i) {
      const int border = MulDiv(i, along, steps);
      const std::uint32_t previous = TableColor(first, last, i - 1, steps);
      for (int j = 0; j <= reach; ++j) {
        const int line = border + (j == 0 ? 0 : draw(j));
        if (line >= 0 && line < along) view.PaintLines(line, line, previous);
      }
    }
  }
  view.RepeatStrip();
}

}  // namespace vantorel

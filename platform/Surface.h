// A drawing surface: the device the editor and the buttons paint on. The Win32
// adapter wraps a device context; the headless one records every call.
#pragma once

#include <string_view>

#include "platform/Types.h"

namespace vantorel {

class Surface {
 public:
  virtual ~Surface() = default;
  virtual void FillRect(const Rect& rect, Color color) = 0;
  // Selects the font for the next text output and measurements.
  virtual void SetFont(const FontDesc& font) = 0;
  // Width and height in pixels of the text in the current font.
  virtual Point MeasureText(std::string_view bytes) = 0;
  // Draws the bytes (ANSI code page, one character per cell) with their top-left at
  // (x, y), each character advancing by the next entry of advances (which holds at
  // least bytes.size() entries), opaque over the cells in back. The opaque box is
  // boxHeight pixels tall, or the font's height where that is more: a caller whose
  // rows are taller than the text fills them in the same call.
  virtual void DrawTextRun(int x, int y, std::string_view bytes, const int* advances, Color fore, Color back,
                           int boxHeight) = 0;
  // A straight line from a to b (b excluded) with the given pen width.
  virtual void DrawLine(Point a, Point b, Color color, int width) = 0;
  // An unfilled one-pixel rectangle.
  virtual void DrawFrame(const Rect& rect, Color color) = 0;
  // The image with its top-left at (x, y), clipped to the surface: a pixel of alpha 0
  // leaves what is below it, every other pixel is drawn opaque.
  virtual void DrawImage(int x, int y, const PixelImage& image) = 0;
  // UTF-8 text laid out in rect by format (textformat bits, as DrawText's), in the
  // current font and color on a transparent background. Returns the rectangle the
  // text takes; with textformat::CalcRect it only measures (rect's right and bottom
  // fitted to the text) and draws nothing.
  virtual Rect DrawFormattedText(const Rect& rect, std::string_view utf8, Color color, unsigned format) = 0;
};

}  // namespace vantorel
